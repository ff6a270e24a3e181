#pragma once
// The 8-channel output page with an output mode per channel pair.
#include "pages/DiscretePage.h"

class frmKOR16 : public DiscretePage {
    Q_OBJECT
public:
    explicit frmKOR16(QWidget *parent = nullptr);
    co::Task<> frmKOR16_Init();
    co::Task<> frmKOR16_Download();
    co::Task<> Init() override { return frmKOR16_Init(); }
    co::Task<> Download() override { return frmKOR16_Download(); }
    const cfg::Record *configRecord() const override;
    co::Task<> ReadingData() override;

    // optOut1 .. optOut8 as named: element 2p is pair p's "Mainteined", 2p + 1 its "Momentary".
    QVector<QRadioButton *> optOut;
    QVector<QGroupBox *> fraOutMode;
};
