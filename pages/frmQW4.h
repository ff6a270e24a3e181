#pragma once
// The 4-channel RTD input page.
#include "pages/TemperaturePage.h"

class frmQW4 : public TemperaturePage {
    Q_OBJECT
public:
    static const QStringList TypeList;
    explicit frmQW4(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQW4)
    const cfg::Record *configRecord() const override;
};
