#pragma once
// The load cell unit on the HLS network: only "Setting 1" can be seen, no output hold.
#include "pages/LoadCellPage.h"

class frmHLSGZ2 : public LoadCellPage {
    Q_OBJECT
public:
    explicit frmHLSGZ2(QWidget *parent = nullptr);
    void frmHLSGZ2_Init();
    void frmHLSGZ2_Download() { loadCellDownload(); }
    void Init() override { frmHLSGZ2_Init(); }
    void Download() override { frmHLSGZ2_Download(); }
    const cfg::Record *configRecord() const override;
};
