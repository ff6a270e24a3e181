#pragma once
// The two-channel load cell page; what it shows and reads follows the firmware and the network kind.
#include "pages/LoadCellPage.h"

class frmGZ2 : public LoadCellPage {
    Q_OBJECT
public:
    explicit frmGZ2(QWidget *parent = nullptr);
    void frmGZ2_Init();
    void frmGZ2_Download() { loadCellDownload(); }
    void Init() override { frmGZ2_Init(); }
    void Download() override { frmGZ2_Download(); }
    const cfg::Record *configRecord() const override;
    void configLoaded() override;
};
