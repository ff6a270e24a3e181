#pragma once
// The 16-point discrete output page; the "K5G-KO16W" unit adds a reply delay timer.
#include "pages/DiscretePage.h"

class frmKO16 : public DiscretePage {
    Q_OBJECT
public:
    // The only model with the reply delay timer (item "58").
    static constexpr const char *DelayModel = "K5G-KO16W";

    explicit frmKO16(QWidget *parent = nullptr);
    void frmKO16_Init();
    void frmKO16_Download();
    void Init() override { frmKO16_Init(); }
    void Download() override { frmKO16_Download(); }
    const cfg::Record *configRecord() const override;
    // Checks the typed delay on every change; the text stays as typed whatever the verdict.
    void Text1_Change();

    QGroupBox *Frame3 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;

private:
    void showDelay(const QString &reply);
};
