#include <QScopeGuard>
#include "core/Session.h"
#include "core/Commands.h"
#include "core/Globals.h"
#include "core/Identify.h"
#include "core/PageContract.h"
#include "core/Ui.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <utility>

namespace {
Session *currentSession = nullptr;
} // namespace

const char *const ConfigFileFilter = "uJx Files (*.uJx);;Text Files (*.txt);;All Files (*)";

QString &ConfigDialogFileName() {
    static QString name;
    return name;
}

Session::Session(QObject *parent) : QObject(parent), m_link(new Link(this)), m_runner(new CommandRunner(this)) {
    currentSession = this;
    Link::setCurrent(m_link);
    m_runner->setLink(m_link);
    connect(m_link, &Link::comPortSelected, this, &Session::comPortChanged);
    connect(m_link, &Link::portOpened, this, &Session::deviceOpened);
    connect(m_link, &Link::portLost, this, &Session::onPortLost);
    connect(m_link, &Link::unitDropped, this, &Session::disconnectUnit);
    connect(m_runner, &CommandRunner::idleChanged, this, &Session::tellState);
}

Session::~Session() {
    UnloadProgress();
    if (Link::current() == m_link) Link::setCurrent(nullptr);
    if (currentSession == this) currentSession = nullptr;
}

Session *Session::current() { return currentSession; }

void Session::setPages(PageSet *pages) {
    m_pages = pages;
    if (m_pages) m_pages->setSession(this);
}

void Session::load() {
    InitGlobals();
    emit extensionChanged(QString());
    emit networkButtonChanged(QString(), 0, false);
    emit comPortChanged(g.ComPortNo);
    setButtons("FFFFTFFF");
}

void Session::choosePort(int comPortNo, const QString &device) {
    if (!device.isEmpty()) PortMap::choose(comPortNo, device);
    g.ComPortNo = comPortNo;
}

// ---- states

Session::State Session::state() const {
    if (g.ProgramEnding) return State::Ending;
    if (g.Monitoring) return State::Monitoring;
    if (m_connecting) return State::Connecting;
    if (!m_runner->idle()) return State::Running;
    return g.Connected ? State::Idle : State::Disconnected;
}

bool Session::actionEnabled(Action a) const {
    const State s = state();
    const bool working = s != State::Monitoring && s != State::Ending;
    switch (a) {
    case Action::Open:
    case Action::Save:
    case Action::ExportReport:
    case Action::FindUnits: return working;
    case Action::Compare: return working && g.Connected;
    case Action::Exit:
    case Action::Views: return true;
    }
    return true;
}

void Session::tellState() {
    const State s = state();
    // Told on every change of the buttons too: the actions follow the connection as well.
    m_told = s;
    emit stateChanged(s);
}

void Session::setButtons(const QString &pattern) {
    // Told every time, changed or not: what shows the row follows the session whatever happened to it.
    m_buttons = pattern;
    emit buttonsChanged(m_buttons);
    tellState();
}

void Session::setButton(Button b, bool enabled) {
    QString p = m_buttons;
    p[int(b)] = enabled ? 'T' : 'F';
    setButtons(p);
}

// Columns: Start Stop Connect Disconnect Setting network Upload Download.
void Session::all_btn_control(bool b) { setButtons(b ? "TTTTTTTT" : "FFFFFFFF"); }

void Session::io_btn_control(bool b) {
    const QString x = b ? "T" : "F";
    setButtons(x + "FF" + x + x + x + x + x);
}

void Session::monitor_btn_control() {
    g.Monitoring = true;
    setButtons("FTFTFFFF");
}

void Session::connect_btn_control() { setButtons(g.Connected ? "TFFTTTTT" : "TFTFTFFF"); }

void Session::stop_btn_control() {
    g.Monitoring = false;
    setButtons(g.Connected ? "TFFTTTTT" : "TFTFFFFF");
}

void Session::setting_btn_control() { setButtons(g.Connected ? "TFFTTTTT" : "TFTFFFFF"); }

void Session::disconnect_btn_control() { setButtons("FFTFTFFF"); }

void Session::setLamp(Lamp l) {
    if (l == m_lamp) return;
    m_lamp = l;
    emit lampChanged(l);
}

void Session::setStatus(const QString &text) { emit statusChanged(text); }

void Session::disconnectUnit() {
    m_link->CloseComPort();
    g.Connected = false;
    g.Monitoring = false;
    g.ExtAsked = false;
    noteDisconnected();
}

void Session::noteDisconnected() {
    setLamp(Lamp::Disconnected);
    setStatus("Disconnected");
    emit unitChanged();
    tellState();
}

void Session::showExtension() {
    if (m_quiet) return;
    const bool shown = g.ExtChCount > 0 && !g.ExtType.isEmpty();
    emit extensionChanged(shown ? "+" + g.ExtType : QString());
}

void Session::SetNetType(const QString &model) {
    const NetKind k = NetKindOf(model);
    g.NetTyp = k.netTyp;
    if (m_quiet) return;
    if (k.netTyp == 99) emit networkButtonChanged(QString(), 0, false);
    else emit networkButtonChanged(k.caption, k.points, !k.needsSubTyp || g.SubTyp != 0);
}

void Session::ShowPage(int modelnum) {
    m_shown = modelnum >= 0 && modelnum <= 25 ? modelnum : 99;
    g.PageShown = true;
    emit pageToShow(m_shown);
}

// ---- routing

Session::Route Session::route(IoPage *&p) {
    p = nullptr;
    if (g.ActivePage == -1) return Route::None;
    if (g.ActivePage >= 0 && g.ActivePage <= 25 && m_pages) p = m_pages->ioPage(g.ActivePage);
    return p ? Route::Page : Route::Invalid;
}

co::Task<IoPage *> Session::routedPage(QString where) {
    IoPage *p = nullptr;
    const Route r = route(p);
    if (r == Route::Invalid) co_await debugInfo(where);
    if (r != Route::Page) co_return nullptr;
    co_return p;
}

IoPage *Session::activePage() {
    IoPage *p = nullptr;
    return route(p) == Route::Page ? p : nullptr;
}

co::Task<> Session::debugInfo(QString where) {
    co_await MsgBox("Not definced modelnum in frmVireo -> " + where, "Debug info", MsgIcon::Critical);
    disconnectUnit();
}

co::Task<> Session::endCommand() {
    // A line that died under the command and was not reported by it is reported now.
    if (g.Connected && !m_link->isOpen()) co_return co_await connectionLost();
    if (g.Connected) io_btn_control(true);
    else connect_btn_control();
}

co::Task<> Session::connectionLost() {
    const QString reason = std::exchange(m_lostReason, QString());
    disconnectNow();
    if (!reason.isEmpty()) co_await MsgBox("The connection to the unit was lost: " + reason, "Connection", MsgIcon::Critical);
}

void Session::onPortLost(const QString &reason) {
    m_lostReason = reason;
    // While idle nothing else would notice: the person would see "Connected" until the next
    // command. A command or monitoring pass under way meets the closed port itself; this then
    // runs once it has unwound and finds nothing left to do if it already disconnected.
    // Queued: the port's own error handler is still on the stack, no place for a message box.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_runner->run([this]() -> co::Task<> {
                if (g.Connected && !m_link->isOpen()) co_await connectionLost();
            });
        },
        Qt::QueuedConnection);
}

// ---- commands

co::Task<Outcome> Session::commandConnect() {
    OutcomeScope scope;
    all_btn_control(false);
    m_lostReason.clear();
    m_connecting = true;
    tellState();
    {
        const auto connected = qScopeGuard([this] { m_connecting = false; });
        co_await ConnectUnit();
    }
    const Outcome upload = co_await commandUpload();
    // A unit that must be initialised first, or the person's cancel, says more than the line.
    const Outcome o = upload.kind == Outcome::Kind::NeedsInit || upload.cancelled() ? upload : scope.outcome();
    if (g.ProgramEnding) co_return o;
    connect_btn_control();
    co_return o;
}

co::Task<Outcome> Session::commandUpload() {
    OutcomeScope scope;
    all_btn_control(false);
    const Identified id = co_await IdentifyUnit();
    if (id == Identified::ProgramEnded || id == Identified::NeedsInit) co_return identifiedOutcome(id, scope);
    emit unitChanged();
    // Once the link is down the rest of the Upload could only fail again.
    if (m_link->isOpen()) {
        IoPage *p = co_await routedPage("btnUpload");
        if (p) {
            co_await p->ReadingData();
            if (m_link->isOpen())
                if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr) co_await n->btnUpload_Click();
        }
    }
    co_await endCommand();
    co_return identifiedOutcome(id, scope);
}

void Session::commandDisconnect() {
    NoteCancelled();
    disconnectNow();
}

void Session::disconnectNow() {
    setLamp(Lamp::Disconnected);
    disconnectUnit();
    IoPage *p = nullptr;
    if (route(p) == Route::Page) p->onDisconnect();
    else if (route(p) == Route::Invalid) co::Start(debugInfo("btnDisconnect"));
    disconnect_btn_control();
}

co::Task<> Session::commandSetting(std::function<co::Task<std::optional<PortChoice>>()> ask) {
    all_btn_control(false);
    // The dialog opens on the port in use.
    emit comPortChanged(g.ComPortNo);
    std::optional<PortChoice> choice;
    if (ask) choice = co_await ask();
    if (choice) {
        for (int k = 1; k <= 8 && k <= choice->devices.size(); ++k)
            if (!choice->devices[k - 1].isEmpty()) PortMap::choose(k, choice->devices[k - 1]);
        m_link->CloseComPort();
        g.ComPortNo = choice->comPortNo;
        // The Connect that follows opens the port again if this fails, and says why.
        co_await OpenComPort(*m_link);
        co_await commandConnect();
    }
    setting_btn_control();
    setButton(Setting, !g.Connected);
}

co::Task<> Session::commandNetwork() {
    if (g.NetTyp < 0 || g.NetTyp > 7) {
        co_await MsgBox("Not definced NetTyp in frmVireo -> btnComNet", "Debug info", MsgIcon::Critical);
        disconnectUnit();
        co_return co_await endCommand();
    }
    all_btn_control(false);
    if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr) co_await n->showModal();
    setting_btn_control();
    const bool confirmed = co_await ShowNotice();
    if (confirmed) disconnectNow();
    setButton(Setting, !g.Connected);
}

void Session::commandExit() {
    NoteCancelled();
    endProgram();
}

void Session::endProgram() {
    if (g.ProgramEnding) return;
    m_runner->dropHeld();
    g.ProgramEnding = true;
    g.Monitoring = false;
    UnloadProgress();
    tellState();
    // The command under way unwinds from its wait now: no line, box or page step after this.
    m_link->shutDown();
    ui().endProgram();
}

co::Task<bool> Session::checkConnection() {
    all_btn_control(false);
    const bool ok = co_await ConnectUnit();
    connect_btn_control();
    co_return ok;
}

co::Task<bool> Session::identifyOnly() {
    all_btn_control(false);
    const bool ok = co_await identifyUnitOnly() == Identified::Yes;
    co_await endCommand();
    co_return ok;
}
