#pragma once
// The 2-channel current output page: one view, the output hold frame beside the scaling.
#include "pages/AnalogOutputPage.h"

class frmWC2 : public AnalogOutputPage {
    Q_OBJECT
public:
    explicit frmWC2(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmWC2)
    const cfg::Record *configRecord() const override;
};
