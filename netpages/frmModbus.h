#pragma once
#include "netpages/NetPage.h"

class frmModbus final : public NetPage {
    Q_OBJECT
public:
    explicit frmModbus(QWidget *parent = nullptr);

    QComboBox *cmbMode = nullptr;
    QLineEdit *txtDataBit = nullptr;
    QComboBox *cmbParity = nullptr;
    QLineEdit *txtStop = nullptr;

protected:
    QList<NetField> fields() const override;
};
