#include "netpages/NetPage.h"
#include "pages/Colors.h"
#include "core/Commands.h"
#include "link/Link.h"
#include "core/Globals.h"
#include "core/Session.h"
#include "core/Verify.h"
#include "netpages/NetRecords.h"
#include "pages/Settings.h"
#include "pages/InputChecks.h"
#include "core/Ui.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QScopeGuard>
#include <utility>

NetPage::NetPage(const QString &name, const QString &caption, QWidget *parent) : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);
    setModal(true);

    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(10);
    m_body = new QVBoxLayout;
    m_body->setSpacing(8);
    outer->addLayout(m_body);

    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    btnUpload = MakeButton(this, "btnUpload", "Upload");
    btnDownload = MakeButton(this, "btnDownload", "Download");
    btnExit = MakeButton(this, "btnExit", "Exit");
    for (QPushButton *b : {btnUpload, btnDownload, btnExit}) {
        b->setMinimumWidth(84);
        row->addWidget(b);
    }
    outer->addLayout(row);

    // Each talks to the unit: a click during another's wait runs after it.
    ConnectCommand(btnUpload, [this] { return btnUpload_Click(); });
    ConnectCommand(btnDownload, [this] { return btnDownload_Click(); });
    ConnectCommand(btnExit, [this] { return btnExit_Click(); });
}

void NetPage::Form_Load() {
    if (std::exchange(m_loaded, true)) return;
    load();
}

void NetPage::load() {
    followIdentity();
    btnDownload->setEnabled(false);
    paintAll(m_values + m_shownOnly, true, false);
}

QGroupBox *NetPage::addTimeoutFrame(QVBoxLayout *into, const QString &unitCaption) {
    QGroupBox *frame = MakeFrame(this, "fraTimeOut", "TimeOut");
    auto *row = new QHBoxLayout(frame);
    txtTimeout = MakeText(frame, "txtTimeout", "Network time-out (" + unitCaption + ")", 80);
    row->addWidget(txtTimeout);
    row->addWidget(new QLabel(unitCaption, frame));
    row->addStretch();
    into->addWidget(frame);
    connect(txtTimeout, &QLineEdit::textChanged, this, [this] { txtTimeout_Change(); });
    return frame;
}

QGridLayout *NetPage::grid(QWidget *parent) {
    auto *gl = new QGridLayout(parent);
    gl->setHorizontalSpacing(10);
    gl->setVerticalSpacing(6);
    return gl;
}

NetPage::NetField NetPage::textField(const QString &item, QLineEdit *box, bool written) {
    NetField f{item, [box](const QString &r) { box->setText(AfterColon(r)); }, nullptr, box};
    if (written) f.data = [box]() -> std::optional<QString> { return box->text(); };
    return f;
}

NetPage::NetField NetPage::listField(const QString &item, QComboBox *list, const QStringList &matches,
                                     int fallback) {
    return {item,
            [=](const QString &r) {
                const qsizetype i = matches.indexOf(AfterColon(r));
                list->setCurrentIndex(i < 0 ? fallback : int(i));
            },
            [list]() -> std::optional<QString> { return QString::number(list->currentIndex()); }, list};
}

QString NetPage::emptyBoxMessage() const {
    if (txtTimeout && txtTimeout->text().isEmpty()) return "Please enter number in TimeOut Box.";
    return {};
}

void NetPage::setButtons(bool enable) {
    for (QPushButton *b : {btnUpload, btnDownload, btnExit})
        b->setEnabled(enable);
}

void NetPage::paint(QWidget *control, bool white) {
    const QColor c = white ? Colors::Window() : Colors::ButtonFace();
    SetBackColor(control, c);
    // A closed drop-down list paints its button role, not its base.
    if (auto *list = qobject_cast<QComboBox *>(control)) {
        QPalette p = list->palette();
        for (auto grp : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(grp, QPalette::Button, c);
        list->setPalette(p);
    }
}

void NetPage::paintAll(const QList<QWidget *> &controls, bool enable, bool white) {
    for (QWidget *w : controls) {
        w->setEnabled(enable);
        paint(w, white);
    }
}

co::Task<> NetPage::uploadFailed() {
    co_await MsgBox("Uploading incomplete", "Uploading", MsgIcon::Critical);
    if (Link *l = Link::current()) l->dropUnit();
}

co::Task<> NetPage::downloadFailed() {
    co_await MsgBox("Downloading incomplete", "Downloading", MsgIcon::Critical);
    if (Link *l = Link::current()) l->dropUnit();
}

co::Task<bool> NetPage::writeKey(QString key) { co_return !(co_await WriteItemRetry(Count, Group, "01", key)).isEmpty(); }

co::Task<> NetPage::btnUpload_Click() {
    followIdentity();
    const bool wasBusy = std::exchange(m_busy, true);
    // However it ends (the program ending included), the page is not left busy.
    const auto idle = qScopeGuard([this, wasBusy] { m_busy = wasBusy; });
    setButtons(false);
    bool ok = !(co_await ReadItemRetry(Count, Group, "01")).isEmpty();
    if (ok && !m_uploadKey.isEmpty()) ok = co_await writeKey(m_uploadKey);
    // The list is taken after the key write: a page may depend on what earlier items showed.
    for (const NetField &f : fields()) {
        if (!ok) break;
        if (!f.show) continue;
        const QString r = co_await ReadItemRetry(Count, Group, f.item);
        if (r.isEmpty())
            ok = false;
        else
            f.show(r);
    }
    m_uploadOk = ok;
    if (ok) {
        paintAll(m_values, true, true);
        setButtons(true);
    } else {
        co_await uploadFailed();
        btnUpload->setEnabled(true);
        btnExit->setEnabled(true);
        btnDownload->setEnabled(m_downloadAfterFailedUpload);
    }
}

co::Task<> NetPage::btnDownload_Click() {
    SendRecord sent;
    const bool wrote = co_await writeSettings(nullptr);
    if (!wrote) co_return;
    // The read-back, and what the Download sent compared with what the unit holds now.
    OutcomeScope readBack;
    co_await btnUpload_Click();
    co_await ReportVerification(Verify(sent.values(), readBack));
}

co::Task<Outcome> NetPage::writeToUnit() {
    OutcomeScope s;
    QString refusal;
    const bool wrote = co_await writeSettings(&refusal);
    const Outcome o = s.outcome();
    if (wrote || !o.complete() || refusal.isEmpty()) co_return o;
    co_return Outcome::refused(refusal);
}

co::Task<bool> NetPage::writeSettings(QString *refusal) {
    const bool wasBusy = std::exchange(m_busy, true);
    const auto idle = qScopeGuard([this, wasBusy] { m_busy = wasBusy; });
    paintAll(m_values, true, false);
    setButtons(false);
    auto finish = [&](bool enableValues) {
        for (QWidget *w : m_values) {
            if (!enableValues) w->setEnabled(false);
            paint(w, true);
        }
        setButtons(true);
    };

    const QString present = co_await ReadItemRetry(Count, Group, "01");
    if (present.isEmpty()) {
        co_await downloadFailed();
        finish(false);
        co_return false;
    }
    const QString empty = emptyBoxMessage();
    if (!empty.isEmpty()) {
        co_await MsgBox(empty, AppTitle, MsgIcon::Information);
        if (refusal) *refusal = empty;
        finish(true);
        co_return false;
    }
    co_await writeKey(m_downloadKey);
    for (const NetField &f : fields()) {
        if (!f.data) continue;
        if (const auto d = f.data()) {
            ExpectSent(f.control, *d);
            co_await WriteItemRetry(Count, Group, f.item, *d);
        }
    }
    finish(false);
    co_return true;
}

co::Task<> NetPage::btnExit_Click() {
    hide();
    if (Session *s = Session::current()) co_await s->commandConnect();
}

co::Task<> NetPage::showModal() { co_await ShowModal(this); }

void NetPage::txtTimeout_Change() {
    if (!txtTimeout) return;
    if (CheckInteger(txtTimeout) < 0) ShowMessage("Please enter 0 to 32767.", AppTitle, MsgIcon::Information);
}

void NetPage::reject() {
    // Closing the window mid-exchange would leave the sequence running behind a hidden page.
    if (m_busy) return;
    QDialog::reject();
}
