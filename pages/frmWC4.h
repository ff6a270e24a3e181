#pragma once
// The 4-channel current output page: its second view holds only the output hold frame.
#include "pages/AnalogOutputPage.h"

class frmWC4 : public AnalogOutputPage {
    Q_OBJECT
public:
    explicit frmWC4(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmWC4)
    const cfg::Record *configRecord() const override;
};
