#pragma once
// The 16-point discrete input page.
#include "pages/DiscretePage.h"

class frmKI16 : public DiscretePage {
    Q_OBJECT
public:
    // Sixteen points, the extension row and the output hold; the output page has them too.
    static const Decl Points;
    explicit frmKI16(QWidget *parent = nullptr);
    VIREO_DISCRETE_STEPS(frmKI16)
    const cfg::Record *configRecord() const override;
};
