#pragma once
// The 4-channel TH_502AT sensor input page: type and unit are written before the scaling.
#include "pages/TemperaturePage.h"

class frmQH4 : public TemperaturePage {
    Q_OBJECT
public:
    static const QStringList TypeList;
    explicit frmQH4(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQH4)
    const cfg::Record *configRecord() const override;
};
