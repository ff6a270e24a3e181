#pragma once
// The 4-channel voltage output page.
#include "pages/AnalogOutputPage.h"

class frmWB4 : public AnalogOutputPage {
    Q_OBJECT
public:
    static const QStringList RangeList;
    explicit frmWB4(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmWB4)
    const cfg::Record *configRecord() const override;
};
