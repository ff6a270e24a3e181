#pragma once
#include "netpages/NetPage.h"

class QLineEdit;

class frmDeviceNet final : public NetPage {
    Q_OBJECT
public:
    explicit frmDeviceNet(QWidget *parent = nullptr);

    QGroupBox *Frame1 = nullptr;
    QComboBox *cmbStatus = nullptr;
    QLineEdit *txtSerial = nullptr;
    void followIdentity() override;

protected:
    QList<NetField> fields() const override;
};
