#include "netpages/frmCCLINK.h"

#include <QVBoxLayout>

frmCCLINK::frmCCLINK(QWidget *parent) : NetPage("frmCCLINK", "CC-Link Setting", parent) {
    addTimeoutFrame(body(), "x 0.1 sec");
    m_values = {txtTimeout};
}

QList<NetPage::NetField> frmCCLINK::fields() const {
    return {textField("51", txtTimeout)};
}
