#pragma once
#include "netpages/NetPage.h"

class frmFLRemote final : public NetPage {
    Q_OBJECT
public:
    explicit frmFLRemote(QWidget *parent = nullptr);

    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;

protected:
    QList<NetField> fields() const override;
    QString emptyBoxMessage() const override;
};
