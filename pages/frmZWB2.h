#pragma once
// The 2-channel output page without range or output hold settings. Its operations are named
// after the model code (ZWBW2): frmZWBW2_Init and frmZWBW2_Download.
#include "pages/AnalogOutputPage.h"

class frmZWB2 : public AnalogOutputPage {
    Q_OBJECT
public:
    explicit frmZWB2(QWidget *parent = nullptr);
    co::Task<> frmZWBW2_Init() { return scalingInit(); }
    co::Task<> frmZWBW2_Download() { return scalingDownload(); }
    co::Task<> Init() override { return frmZWBW2_Init(); }
    co::Task<> Download() override { return frmZWBW2_Download(); }
    const cfg::Record *configRecord() const override;
};
