#pragma once
// The 4-point discrete input page: points only, nothing to set.
#include "pages/DiscretePage.h"

class frmKI4H : public DiscretePage {
    Q_OBJECT
public:
    explicit frmKI4H(QWidget *parent = nullptr);
    VIREO_DISCRETE_STEPS(frmKI4H)
    const cfg::Record *configRecord() const override;
};
