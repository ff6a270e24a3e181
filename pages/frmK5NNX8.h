#pragma once
// The 8-channel pulse counter page of the Ethernet unit "K5N-NX8".
#include "pages/PulsePage.h"

class frmK5NNX8 : public PulsePage {
    Q_OBJECT
public:
    explicit frmK5NNX8(QWidget *parent = nullptr);
    VIREO_PULSE_STEPS(frmK5NNX8)
    const cfg::Record *configRecord() const override;
};
