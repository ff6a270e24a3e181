#pragma once
// The 4-channel thermocouple input page.
#include "pages/TemperaturePage.h"

class frmQK4 : public TemperaturePage {
    Q_OBJECT
public:
    static const QStringList TypeList;
    explicit frmQK4(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQK4)
    const cfg::Record *configRecord() const override;
};
