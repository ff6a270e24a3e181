#include "netpages/frmDeviceNet.h"
#include "core/Globals.h"
#include "pages/Widgets.h"

#include <QGridLayout>
#include <QVBoxLayout>

frmDeviceNet::frmDeviceNet(QWidget *parent) : NetPage("frmDeviceNet", "DeviceNet Setting", parent) {
    Frame1 = MakeFrame(this, "Frame1", "Status");
    auto *status = new QHBoxLayout(Frame1);
    cmbStatus = MakeCombo(Frame1, "cmbStatus", "Status", 100);
    cmbStatus->addItems({"OFF", "ON", ""});
    cmbStatus->setCurrentIndex(2);
    status->addWidget(cmbStatus);
    status->addStretch();
    body()->addWidget(Frame1);

    auto *serial = new QWidget(this);
    QGridLayout *gl = grid(serial);
    gl->setContentsMargins(0, 0, 0, 0);
    gl->addWidget(MakeLabel(serial, "lblSerial", "Serial ID"), 0, 0);
    txtSerial = MakeText(serial, "txtSerial", "Serial ID", 120);
    gl->addWidget(txtSerial, 0, 1);
    gl->setColumnStretch(2, 1);
    body()->addWidget(serial);

    addTimeoutFrame(body(), "x 0.1 sec");
    m_values = {cmbStatus, txtSerial, txtTimeout};
}

void frmDeviceNet::followIdentity() {
    // The KI8R base has no status setting to offer.
    Frame1->setVisible(g.modelnum != 9);
}

QList<NetPage::NetField> frmDeviceNet::fields() const {
    return {listField("68", cmbStatus, {"OFF"}, 1), textField("50", txtSerial), textField("51", txtTimeout)};
}
