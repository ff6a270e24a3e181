#pragma once
// The 4-channel voltage/current input page.
#include "pages/ScalingPage.h"

class frmQB4 : public ScalingPage {
    Q_OBJECT
public:
    static const QStringList RangeList;

    explicit frmQB4(QWidget *parent = nullptr);
    void frmQB4_Init();
    void frmQB4_Download();

    void Init() override { frmQB4_Init(); }
    void Download() override { frmQB4_Download(); }
    void ReadingData() override;
    bool CheckData() override;
    void txt_able(bool enable) override;
    const cfg::Record *configRecord() const override;
};
