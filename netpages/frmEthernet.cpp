#include "netpages/frmEthernet.h"
#include "pages/InputChecks.h"
#include "core/Ui.h"
#include "pages/Settings.h"
#include "pages/Widgets.h"
#include "link/Numbers.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <QScopeGuard>
#include <utility>

frmEthernet::frmEthernet(QWidget *parent) : NetPage("frmEthernet", "Ethernet Setting", parent) {
    auto *addresses = new QWidget(this);
    QGridLayout *gl = grid(addresses);
    gl->setContentsMargins(0, 0, 0, 0);
    gl->addWidget(MakeLabel(addresses, "lblIP", "IP Address"), 0, 0);
    gl->addWidget(addressRow("txtIP", "IP address", txtIP, &frmEthernet::txtIP_Change), 0, 1);
    gl->addWidget(MakeLabel(addresses, "lblSNM", "Subnet Mask"), 1, 0);
    gl->addWidget(addressRow("txtSNM", "Subnet mask", txtSNM, &frmEthernet::txtSNM_Change), 1, 1);
    Label1 = MakeLabel(addresses, "Label1", "Default Gateway");
    gl->addWidget(Label1, 2, 0);
    m_gatewayRow = addressRow("txtDGW", "Default gateway", txtDGW, &frmEthernet::txtDGW_Change);
    gl->addWidget(m_gatewayRow, 2, 1);
    gl->addWidget(MakeLabel(addresses, "lblMacCaption", "MAC Address"), 3, 0);
    auto *mac = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        lblMac[i] = MakeLabel(addresses, IndexedName("lblMac", i), QString());
        lblMac[i]->setMinimumWidth(90);
        lblMac[i]->setFrameShape(QFrame::StyledPanel);
        lblMac[i]->setAccessibleDescription(i == 0 ? "MAC address, first half" : "MAC address, second half");
        mac->addWidget(lblMac[i]);
    }
    mac->addStretch();
    gl->addLayout(mac, 3, 1);
    body()->addWidget(addresses);

    // The network time-out keeps the family's box and check, as index 0 of the array.
    addTimeoutFrame(body(), "x 0.1 Sec");
    txtTimeout[0] = NetPage::txtTimeout;
    txtTimeout[0]->setObjectName(IndexedName("txtTimeout", 0));

    QGroupBox *sockets = MakeFrame(this, "fraTCPSocket", "TCP Socket");
    QGridLayout *sl = grid(sockets);
    sl->addWidget(new QLabel("Linger Timer", sockets), 0, 2);
    sl->addWidget(new QLabel("x 0.1sec", sockets), 0, 3);
    for (int i = 1; i <= 4; ++i) {
        sl->addWidget(MakeLabel(sockets, IndexedName("lblPort", i), QStringLiteral("Port%1").arg(i)), i, 0);
        txtPort[i] =
            MakeText(sockets, IndexedName("txtPort", i), QStringLiteral("Port %1 number").arg(i), 70);
        // Port numbers are the unit's own; the page only shows them and writes them back.
        txtPort[i]->setEnabled(false);
        sl->addWidget(txtPort[i], i, 1);
        txtTimeout[i] = MakeText(sockets, IndexedName("txtTimeout", i),
                                 QStringLiteral("Port %1 linger timer (x 0.1 sec)").arg(i), 70);
        sl->addWidget(txtTimeout[i], i, 2);
        connect(txtPort[i], &QLineEdit::textChanged, this, [this, i] { txtPort_Change(i); });
        connect(txtTimeout[i], &QLineEdit::textChanged, this, [this, i] { txtTimeout_Change(i); });
    }
    sl->setColumnStretch(4, 1);
    body()->addWidget(sockets);
}

QWidget *frmEthernet::addressRow(const QString &name, const QString &accessible, Address &boxes,
                                 void (frmEthernet::*check)(int)) {
    auto *row = new QWidget(this);
    auto *hl = new QHBoxLayout(row);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->setSpacing(3);
    for (int i = 3; i >= 0; --i) {
        boxes[i] =
            MakeText(row, IndexedName(name, i), QStringLiteral("%1, part %2").arg(accessible).arg(4 - i), 44);
        boxes[i]->setAlignment(Qt::AlignRight);
        hl->addWidget(boxes[i]);
        if (i > 0) hl->addWidget(new QLabel(".", row));
        connect(boxes[i], &QLineEdit::textChanged, this, [this, check, i] { (this->*check)(i); });
    }
    hl->addStretch();
    return row;
}

void frmEthernet::load() {
    EnableControls(false);
}

void frmEthernet::EnableControls(bool enable) {
    setButtons(enable);
    QList<QWidget *> boxes(txtTimeout.begin(), txtTimeout.end());
    for (const Address *a : {&txtIP, &txtSNM, &txtDGW})
        boxes += QList<QWidget *>(a->begin(), a->end());
    paintAll(boxes, enable, enable);
    for (int i = 1; i <= 4; ++i)
        paint(txtPort[i], false);
}

void frmEthernet::showGateway(const QString &versionReply) {
    // Only the 1.0 series keeps a default gateway. Blanks the unit puts before
    // the version text (" 1.02") do not make it another series.
    m_gateway = TrimBlanks(AfterColon(versionReply)).left(3) == "1.0";
    Label1->setVisible(m_gateway);
    m_gatewayRow->setVisible(m_gateway);
    for (QLineEdit *b : txtDGW)
        b->setVisible(m_gateway);
}

void frmEthernet::showAddress(const Address &boxes, const QString &reply) {
    QString d[4];
    SplitDotted(AfterColon(reply), d[0], d[1], d[2], d[3]);
    for (int i = 0; i < 4; ++i)
        boxes[i]->setText(d[i]);
}

QString frmEthernet::dotted(const Address &boxes) {
    return QStringList{boxes[3]->text(), boxes[2]->text(), boxes[1]->text(), boxes[0]->text()}.join('.');
}

co::Task<> frmEthernet::btnUpload_Click() {
    const bool wasBusy = std::exchange(m_busy, true);
    const auto idle = qScopeGuard([this, wasBusy] { m_busy = wasBusy; });
    EnableControls(false);
    bool ok = co_await writeKey("F");
    QString r;
    // Most items ride on the group selected by the key write; a few select it again.
    // Each read while all before it were answered; `ok` then says whether this one was.
    auto next = [&](QString item, bool select = false) -> co::Task<> {
        if (!ok) co_return;
        if (select) r = co_await ReadItemRetry(Count, Group, item);
        else r = co_await InquireItemRetry(Count, item);
        ok = !r.isEmpty();
    };
    co_await next("06");
    if (ok) showGateway(r);
    if (m_gateway) {
        co_await next("25");
        if (ok) showAddress(txtDGW, r);
    }
    co_await next("51", true);
    if (ok) txtTimeout[0]->setText(AfterColon(r));
    co_await next("29", true);
    if (ok) showAddress(txtIP, r);
    co_await next("30");
    if (ok) showAddress(txtSNM, r);
    for (int i = 0; i < 2; ++i) {
        co_await next(QString::number(27 + i));
        if (ok) lblMac[i]->setText(AfterColon(r));
    }
    for (int i = 1; i <= 4; ++i) {
        co_await next(QString::number(30 + i));
        if (ok) txtPort[i]->setText(AfterColon(r));
    }
    // A linger value carries a second label: only what follows its second colon counts.
    for (int i = 1; i <= 4; ++i) {
        co_await next(QString::number(40 + i));
        if (ok) txtTimeout[i]->setText(AfterColon(AfterColon(r)));
    }
    m_uploadOk = ok;
    if (!ok) co_await uploadFailed();
    EnableControls(true);
}

QString frmEthernet::emptyBoxMessage() const {
    auto anyEmpty = [](auto begin, auto end) {
        return std::any_of(begin, end, [](const QLineEdit *b) { return b && b->text().isEmpty(); });
    };
    if (anyEmpty(txtIP.begin(), txtIP.end())) return "Please enter number in IP Address.";
    if (anyEmpty(txtSNM.begin(), txtSNM.end())) return "Please enter number in Subnet Mask.";
    if (anyEmpty(txtPort.begin() + 1, txtPort.end())) return "Please enter number in TCP Port No.";
    return NetPage::emptyBoxMessage();
}

co::Task<bool> frmEthernet::writeSettings(QString *refusal) {
    const bool wasBusy = std::exchange(m_busy, true);
    const auto idle = qScopeGuard([this, wasBusy] {
        EnableControls(true);
        m_busy = wasBusy;
    });
    EnableControls(false);
    const bool keyed = co_await writeKey("F");
    if (!keyed) {
        co_await downloadFailed();
        co_return false;
    }
    if (const QString empty = emptyBoxMessage(); !empty.isEmpty()) {
        co_await MsgBox(empty, AppTitle, MsgIcon::Information);
        if (refusal) *refusal = empty;
        co_return false;
    }
    auto box = [](QString item, const QLineEdit *b) -> co::Task<> {
        ExpectSent(b, b->text());
        co_await WriteDataRetry(Count, item, b->text());
    };
    auto address = [](QString item, Address boxes, QString spoken) -> co::Task<> {
        ExpectSentJoined(boxes[0]->objectName().section('(', 0, 0), spoken, dotted(boxes),
                         [boxes] { return dotted(boxes); });
        co_await WriteDataRetry(Count, item, dotted(boxes));
    };
    co_await box("51", txtTimeout[0]);
    co_await address("29", txtIP, "IP address");
    co_await address("30", txtSNM, "Subnet mask");
    const QString version = co_await InquireItemRetry(Count, "06");
    if (version.isEmpty()) {
        co_await downloadFailed();
        co_return false;
    }
    showGateway(version);
    if (m_gateway) co_await address("25", txtDGW, "Default gateway");
    for (int i = 1; i <= 4; ++i) co_await box(QString::number(30 + i), txtPort[i]);
    for (int i = 1; i <= 4; ++i) co_await box(QString::number(40 + i), txtTimeout[i]);
    co_return true;
}

void frmEthernet::octetChange(QLineEdit *box) {
    const int caret = box->cursorPosition();
    if (box->text().size() > 3) {
        // The cut is a change of its own and is checked there; checking again here
        // would only repeat its message.
        box->setText(box->text().left(3));
        box->setCursorPosition(caret);
        return;
    }
    const int v = CheckInteger(box);
    if (v != 0 && (v > 255 || v < 0)) ShowMessage("Please enter 0 to 255.", AppTitle, MsgIcon::Information);
    box->setCursorPosition(caret);
}

void frmEthernet::plainChange(QLineEdit *box) {
    if (!box) return;
    const int caret = box->cursorPosition();
    CheckInteger(box);
    box->setCursorPosition(caret);
}

void frmEthernet::txtIP_Change(int index) {
    octetChange(txtIP.at(index));
}
void frmEthernet::txtSNM_Change(int index) {
    octetChange(txtSNM.at(index));
}
void frmEthernet::txtDGW_Change(int index) {
    octetChange(txtDGW.at(index));
}
void frmEthernet::txtPort_Change(int index) {
    // Port numbers are unsigned 16-bit numbers: 0 to 65535 all count as numbers here.
    QLineEdit *box = txtPort.at(index);
    if (!box) return;
    const int caret = box->cursorPosition();
    if (!box->text().isEmpty() && !WholeNumber(box->text(), 0, 65535))
        ShowMessage("Please enter number.", AppTitle, MsgIcon::Information);
    box->setCursorPosition(caret);
}

void frmEthernet::txtTimeout_Change(int index) {
    if (index == 0)
        NetPage::txtTimeout_Change();
    else
        plainChange(txtTimeout.at(index));
}
