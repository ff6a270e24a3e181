#pragma once
// The 8-channel relay output page: a DI and a DO text per channel.
#include "pages/DiscretePage.h"

class frmHM8 : public DiscretePage {
    Q_OBJECT
public:
    explicit frmHM8(QWidget *parent = nullptr);
    co::Task<> frmHM8_Init();
    co::Task<> frmHM8_Download() { return discreteDownload(); }
    co::Task<> Init() override { return frmHM8_Init(); }
    co::Task<> Download() override { return frmHM8_Download(); }
    const cfg::Record *configRecord() const override;
    co::Task<> ReadingData() override;

private:
    co::Task<> readState(int i);
};
