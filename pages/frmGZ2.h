#pragma once
// The two-channel load cell page; what it shows and reads follows the firmware and the network kind.
#include "pages/LoadCellPage.h"

class frmGZ2 : public LoadCellPage {
    Q_OBJECT
public:
    explicit frmGZ2(QWidget *parent = nullptr);
    co::Task<> frmGZ2_Init();
    co::Task<> frmGZ2_Download() { return loadCellDownload(); }
    co::Task<> Init() override { return frmGZ2_Init(); }
    co::Task<> Download() override { return frmGZ2_Download(); }
    const cfg::Record *configRecord() const override;
    void configLoaded() override;
};
