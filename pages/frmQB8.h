#pragma once
// The 8-channel voltage input page: the views split the channels, only bias, gain and range are edited.
#include "pages/ScalingPage.h"

class frmQB8 : public ScalingPage {
    Q_OBJECT
public:
    static const QStringList RangeList;
    explicit frmQB8(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQB8)
    const cfg::Record *configRecord() const override;
};
