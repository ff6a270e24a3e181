#pragma once
// The 2-channel voltage output page.
#include "pages/AnalogOutputPage.h"

class frmWB2 : public AnalogOutputPage {
    Q_OBJECT
public:
    static const QStringList RangeList;
    explicit frmWB2(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmWB2)
    const cfg::Record *configRecord() const override;
};
