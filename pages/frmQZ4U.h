#pragma once
// The 4-channel current input page: no range list, every base in mA.
#include "pages/ScalingPage.h"

class frmQZ4U : public ScalingPage {
    Q_OBJECT
public:
    explicit frmQZ4U(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQZ4U)
    const cfg::Record *configRecord() const override;
};
