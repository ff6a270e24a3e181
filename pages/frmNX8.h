#pragma once
// The 8-channel pulse counter page.
#include "pages/PulsePage.h"

class frmNX8 : public PulsePage {
    Q_OBJECT
public:
    explicit frmNX8(QWidget *parent = nullptr);
    VIREO_PULSE_STEPS(frmNX8)
    const cfg::Record *configRecord() const override;
    static const cfg::Record *EightChannelRecord();
};
