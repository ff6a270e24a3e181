#pragma once
// The 4-channel current input page with drop outs and a startup timer.
#include "pages/ScalingPage.h"

class frmQX4M : public ScalingPage {
    Q_OBJECT
public:
    static const QStringList RangeList;
    explicit frmQX4M(QWidget *parent = nullptr);
    VIREO_DECLARED_STEPS(frmQX4M)
    const cfg::Record *configRecord() const override;

    QVector<QLineEdit *> txtDropout;
    QGroupBox *Frame3 = nullptr;
    QLineEdit *txtStartup = nullptr;
};
