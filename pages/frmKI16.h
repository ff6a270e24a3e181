#pragma once
// The 16-point discrete input page.
#include "pages/DiscretePage.h"

class frmKI16 : public DiscretePage {
    Q_OBJECT
public:
    explicit frmKI16(QWidget *parent = nullptr);
    VIREO_DISCRETE_STEPS(frmKI16)
};
