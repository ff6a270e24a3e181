#pragma once
// The 2-channel output page without range or output hold settings. Its operations are named
// after the model code (ZWBW2): frmZWBW2_Init and frmZWBW2_Download.
#include "pages/AnalogOutputPage.h"

class frmZWB2 : public AnalogOutputPage {
    Q_OBJECT
public:
    explicit frmZWB2(QWidget *parent = nullptr);
    void frmZWBW2_Init() { scalingInit(); }
    void frmZWBW2_Download() { scalingDownload(); }
    void Init() override { frmZWBW2_Init(); }
    void Download() override { frmZWBW2_Download(); }
    const cfg::Record *configRecord() const override;
};
