#pragma once
// The 8-point discrete input page: points only, nothing to set.
#include "pages/DiscretePage.h"

class frmKI8R : public DiscretePage {
    Q_OBJECT
public:
    explicit frmKI8R(QWidget *parent = nullptr);
    VIREO_DISCRETE_STEPS(frmKI8R)
    const cfg::Record *configRecord() const override;
};
