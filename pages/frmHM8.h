#pragma once
// The 8-channel relay output page: a DI and a DO text per channel.
#include "pages/DiscretePage.h"

class frmHM8 : public DiscretePage {
    Q_OBJECT
public:
    explicit frmHM8(QWidget *parent = nullptr);
    void frmHM8_Init();
    void frmHM8_Download() { discreteDownload(); }
    void Init() override { frmHM8_Init(); }
    void Download() override { frmHM8_Download(); }
    const cfg::Record *configRecord() const override;
    void ReadingData() override;

private:
    void readState(int i);
};
