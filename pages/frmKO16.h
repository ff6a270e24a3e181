#pragma once
// The 16-point discrete output page; the "K5G-KO16W" unit adds a reply delay timer.
#include "pages/DiscretePage.h"

class frmKO16 : public DiscretePage {
    Q_OBJECT
public:
    // The only model with the reply delay timer (item "58").
    static constexpr const char *DelayModel = "K5G-KO16W";

    explicit frmKO16(QWidget *parent = nullptr);
    co::Task<> frmKO16_Init();
    co::Task<> frmKO16_Download();
    co::Task<> Init() override { return frmKO16_Init(); }
    co::Task<> Download() override { return frmKO16_Download(); }
    const cfg::Record *configRecord() const override;
    // Checks the typed delay on every change; the text stays as typed whatever the verdict.
    void Text1_Change();

    QGroupBox *Frame3 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;

private:
    void showDelay(const QString &reply);
};
