#include "netpages/frmMechatro.h"
#include "pages/Widgets.h"

#include <QVBoxLayout>

frmMechatro::frmMechatro(QWidget *parent) : NetPage("frmMechatro", "MECHATROLINK Setting", parent) {
    lblMode = MakeLabel(this, "lblMode", "MECHATROLINK - I");
    lblByte = MakeLabel(this, "lblByte", "17 Byte Mode");
    lblAddress = MakeLabel(this, "lblAddress", "Address : 0x60");
    for (QLabel *l : {lblMode, lblByte, lblAddress}) {
        l->setMinimumWidth(200);
        body()->addWidget(l);
    }
    addTimeoutFrame(body(), "x 0.1 sec");
    m_values = {txtTimeout};
    // The unit's mode is set by its switch; the upload only looks at the page's items.
    m_uploadKey.clear();
}

void frmMechatro::showMode(const QString &reply) const {
    // The whole reply is compared, letter case included.
    struct Mode {
        const char *reply, *mode, *bytes;
    };
    static const Mode modes[] = {
        {"MODE:M-II/32Byte", "MECHATROLINK - II", "32 Byte Mode"},
        {"MODE:M-II/17byte", "MECHATROLINK - II", "17 Byte Mode"},
        {"MODE:M-I/17byte", "MECHATROLINK - I", "17 Byte Mode"},
    };
    for (const Mode &m : modes) {
        if (reply == QLatin1String(m.reply)) {
            lblMode->setText(m.mode);
            lblByte->setText(m.bytes);
            return;
        }
    }
    lblMode->setText("MODE SWITCH ERROR");
    lblByte->setText("MODE SWITCH ERROR");
}

QList<NetPage::NetField> frmMechatro::fields() const {
    return {{"08", [this](const QString &r) { showMode(r); }, nullptr},
            {"07", [this](const QString &r) { lblAddress->setText("Address : 0x" + r); }, nullptr},
            textField("51", txtTimeout)};
}
