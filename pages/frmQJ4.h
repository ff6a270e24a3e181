#pragma once
// The 4-channel input page with a live percent column and editable bases.
#include "pages/ScalingPage.h"

class frmQJ4 : public ScalingPage {
    Q_OBJECT
public:
    explicit frmQJ4(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQJ4)
    const cfg::Record *configRecord() const override;
    co::Task<> ReadingData() override;
};
