#pragma once
// The analog output pages: the scaling page of frmQB4 with the items "20" to "25", told by one
// row of the family's table each (channels, views, hold frame, switch range, range list, units).
#include "pages/ScalingPage.h"

class AnalogOutputPage : public ScalingPage {
    Q_OBJECT
public:
    struct Member {
        int rows;
        int views;                      // 1: one view, no view buttons
        std::optional<Place> hold;      // the output hold frame and where it sits
        SwitchRange switchRange;
        QStringList ranges;             // empty: no range list
        QString rangeHead;
        const QStringList *unitTable;   // unit labels by range
        QString fixedUnit;              // or the one unit of every channel
    };

    // adjust: what a page changes in the declaration its row gives.
    AnalogOutputPage(const QString &name, int modelnum, const Member &member,
                     const std::function<void(Decl &)> &adjust = {}, QWidget *parent = nullptr);
};
