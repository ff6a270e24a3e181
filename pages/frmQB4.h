#pragma once
// The 4-channel voltage/current input page.
#include "pages/ScalingPage.h"

class frmQB4 : public ScalingPage {
    Q_OBJECT
public:
    static const QStringList RangeList;
    explicit frmQB4(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQB4)
    const cfg::Record *configRecord() const override;
};
