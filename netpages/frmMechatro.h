#pragma once
#include "netpages/NetPage.h"

class QLabel;

class frmMechatro final : public NetPage {
    Q_OBJECT
public:
    explicit frmMechatro(QWidget *parent = nullptr);

    QLabel *lblMode = nullptr;
    QLabel *lblByte = nullptr;
    QLabel *lblAddress = nullptr;

protected:
    QList<NetField> fields() const override;

private:
    void showMode(const QString &reply) const;
};
