#pragma once
// The load cell unit on the HLS network: only "Setting 1" can be seen, no output hold.
#include "pages/LoadCellPage.h"

class frmHLSGZ2 : public LoadCellPage {
    Q_OBJECT
public:
    explicit frmHLSGZ2(QWidget *parent = nullptr);
    co::Task<> frmHLSGZ2_Init();
    co::Task<> frmHLSGZ2_Download() { return loadCellDownload(); }
    co::Task<> Init() override { return frmHLSGZ2_Init(); }
    co::Task<> Download() override { return frmHLSGZ2_Download(); }
    const cfg::Record *configRecord() const override;
};
