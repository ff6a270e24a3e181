#pragma once
#include "netpages/NetPage.h"

class frmCCLINK final : public NetPage {
    Q_OBJECT
public:
    explicit frmCCLINK(QWidget *parent = nullptr);

protected:
    QList<NetField> fields() const override;
};
