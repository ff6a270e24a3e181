#include "tests/TestKit.h"
#include "app/Globals.h"

#include <QDialog>

static QString iconName(MsgIcon i) {
    return i == MsgIcon::Critical ? "critical" : i == MsgIcon::Information ? "information" : "none";
}

void ScriptedUi::message(const QString &text, const QString &title, MsgIcon icon) {
    const Msg m{text, title, icon};
    messages.append(m);
    if (!m_expected.isEmpty() && m_expected.first() == m) {
        m_expected.removeFirst();
        return;
    }
    unexpected.append(QStringLiteral("message \"%1\" / \"%2\" (%3)").arg(text, title, iconName(icon)));
}

bool ScriptedUi::question(const QString &text, const QString &title) {
    questions.append(title + ": " + text);
    if (!m_answers.isEmpty() && m_answers.first().first == text) return m_answers.takeFirst().second;
    unexpected.append(QStringLiteral("question \"%1\" / \"%2\"").arg(text, title));
    return false;
}

int ScriptedUi::execDialog(QDialog *dialog) {
    const QString name = dialog->objectName();
    dialogsShown.append(name);
    auto it = m_dialogs.find(name);
    if (it == m_dialogs.end() || it->isEmpty()) {
        unexpected.append("dialog " + name);
        return QDialog::Rejected;
    }
    DialogStep step = it->takeFirst();
    return step(dialog);
}

QString ScriptedUi::openFileName(QWidget *, const QString &filter, int filterIndex, const QString &lastName) {
    lastFilter = filter;
    lastFilterIndex = filterIndex;
    lastFileName = lastName;
    ++fileDialogs;
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

QString ScriptedUi::saveFileName(QWidget *, const QString &filter, int filterIndex, const QString &lastName) {
    lastFilter = filter;
    lastFilterIndex = filterIndex;
    lastFileName = lastName;
    ++fileDialogs;
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

void ScriptedUi::endProgram() { ++programEnds; }

QString ScriptedUi::problems() const {
    QStringList p = unexpected;
    for (const Msg &m : m_expected)
        p.append(QStringLiteral("expected message never shown: \"%1\" / \"%2\"").arg(m.text, m.title));
    for (const auto &a : m_answers) p.append("scripted question never asked: \"" + a.first + "\"");
    for (const QString &f : m_files) p.append("scripted file never asked for: " + f);
    for (auto it = m_dialogs.begin(); it != m_dialogs.end(); ++it)
        if (!it->isEmpty()) p.append("scripted dialog never shown: " + it.key());
    return p.join("; ");
}

void ScriptedUi::reset() {
    messages.clear();
    unexpected.clear();
    dialogsShown.clear();
    m_expected.clear();
    m_dialogs.clear();
    m_files.clear();
    m_answers.clear();
    questions.clear();
    fileDialogs = 0;
    programEnds = 0;
}

sim::SimDevice *AttachSim(Link &link, std::shared_ptr<sim::SimUnit> unit) {
    auto dev = std::make_unique<sim::SimDevice>(std::move(unit));
    sim::SimDevice *raw = dev.get();
    link.setDevice(std::move(dev));
    return raw;
}

SimRig::SimRig(const sim::UnitConfig &cfg, int pauseMs, int timeoutMs)
    : m_unit(std::make_shared<sim::SimUnit>(cfg)), m_link(new Link) {
    m_device = AttachSim(*m_link, m_unit);
    m_link->setTimings(pauseMs, timeoutMs);
    Link::setCurrent(m_link);
    m_link->OpenComPort();
}

SimRig::~SimRig() {
    if (Link::current() == m_link) Link::setCurrent(nullptr);
    delete m_link;
}

#include "app/Dialogs.h"
#include "app/frmVireo.h"

#include <QPushButton>

int ClickComPortOk(QDialog *d) {
    static_cast<frmComPort *>(d)->btnExit_Click();
    return QDialog::Accepted;
}
int ClickExtCommand1(QDialog *d) {
    static_cast<frmExtSelect *>(d)->Command1_Click();
    return QDialog::Accepted;
}
int ClickExtCommand2(QDialog *d) {
    static_cast<frmExtSelect *>(d)->Command2_Click();
    return QDialog::Accepted;
}

AppRig::AppRig(const sim::UnitConfig &cfg, int timeoutMs) : m_unit(std::make_shared<sim::SimUnit>(cfg)) {
    w = new frmVireo;
    device = AttachSim(w->link(), m_unit);
    w->link().setTimings(0, timeoutMs);
}

AppRig::~AppRig() { delete w; }

void AppRig::connectViaSetting(bool answerExtension) {
    ui.onDialog("frmComPort", ClickComPortOk);
    if (answerExtension && m_unit->config().ext != "NONE" && m_unit->config().ext != "DM")
        ui.onDialog("frmExtSelect", ClickExtCommand1);
    w->btnSetting_Click();
}

QString AppRig::buttons() const {
    QString s;
    for (QPushButton *b : {w->btnStart, w->btnStop, w->btnConnect, w->btnDisconnect, w->btnSetting, w->btnComNet,
                           w->btnUpload, w->btnDownload})
        s += b->isEnabled() ? 'T' : 'F';
    return s;
}
