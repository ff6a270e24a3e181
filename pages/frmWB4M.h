#pragma once
// The 4-channel voltage output page with ranges set from the PC: only bias, gain and range are
// edited; the scales go back to the unit as they were read.
#include "pages/AnalogOutputPage.h"

class frmWB4M : public AnalogOutputPage {
    Q_OBJECT
public:
    static const QStringList RangeList;
    explicit frmWB4M(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmWB4M)
    const cfg::Record *configRecord() const override;
};
