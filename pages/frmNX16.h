#pragma once
// The 16-channel pulse counter page.
#include "pages/PulsePage.h"

class frmNX16 : public PulsePage {
    Q_OBJECT
public:
    explicit frmNX16(QWidget *parent = nullptr);
    VIREO_PULSE_STEPS(frmNX16)
    const cfg::Record *configRecord() const override;
};
