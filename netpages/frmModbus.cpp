#include "netpages/frmModbus.h"
#include "pages/Widgets.h"

#include <QGridLayout>
#include <QVBoxLayout>

frmModbus::frmModbus(QWidget *parent) : NetPage("frmModbus", "Modbus Setting", parent) {
    auto *line = new QWidget(this);
    QGridLayout *gl = grid(line);
    gl->setContentsMargins(0, 0, 0, 0);
    cmbMode = MakeCombo(line, "cmbMode", "Transmission mode", 90);
    cmbMode->addItems({"RTU", "ASCII", ""});
    cmbMode->setCurrentIndex(2);
    txtDataBit = MakeText(line, "txtDataBit", "Data bits", 90);
    cmbParity = MakeCombo(line, "cmbParity", "Parity", 90);
    cmbParity->addItems({"NONE", "ODD", "EVEN", ""});
    cmbParity->setCurrentIndex(3);
    txtStop = MakeText(line, "txtStop", "Stop bits", 90);
    // Data and stop bits are fixed by the unit: shown, never written.
    txtDataBit->setReadOnly(true);
    txtStop->setReadOnly(true);

    gl->addWidget(MakeLabel(line, "lblMode", "Mode"), 0, 0);
    gl->addWidget(cmbMode, 0, 1);
    gl->addWidget(MakeLabel(line, "lblDataBit", "Data Bit"), 0, 2);
    gl->addWidget(txtDataBit, 0, 3);
    gl->addWidget(MakeLabel(line, "lblParity", "Parity"), 1, 0);
    gl->addWidget(cmbParity, 1, 1);
    gl->addWidget(MakeLabel(line, "lblStop", "Stop Bit"), 1, 2);
    gl->addWidget(txtStop, 1, 3);
    gl->setColumnMinimumWidth(2, 70);
    body()->addWidget(line);

    addTimeoutFrame(body(), "x 0.1 sec");
    m_values = {cmbMode, cmbParity, txtTimeout};
    m_shownOnly = {txtDataBit, txtStop};
    m_downloadAfterFailedUpload = true;
}

QList<NetPage::NetField> frmModbus::fields() const {
    return {listField("54", cmbMode, {"RTU"}, 1), textField("55", txtDataBit, false),
            listField("56", cmbParity, {"NONE", "ODD", "EVEN"}, 0), textField("57", txtStop, false),
            textField("51", txtTimeout)};
}
