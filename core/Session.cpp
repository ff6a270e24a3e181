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

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <cerrno>
#include <utility>

namespace {
Session *currentSession = nullptr;

// A record never comes near this; the rest of a bigger file is not read anyway.
constexpr qint64 MaxFileBytes = 1 << 20;
} // namespace

const char *const ConfigFileFilter = "uJx Files (*.uJx);;Text Files (*.txt);;All Files (*)";

QString &ConfigDialogFileName() {
    static QString name;
    return name;
}

void DisconnectUnit() {
    if (Link *l = Link::current()) l->CloseComPort();
    g.Connected = false;
    g.Monitoring = false;
    g.ExtAsked = false;
    if (currentSession) currentSession->noteDisconnected();
}

Session::Session(QObject *parent) : QObject(parent), m_link(new Link(this)) {
    currentSession = this;
    Link::setCurrent(m_link);
    connect(m_link, &Link::comPortSelected, this, &Session::comPortChanged);
    connect(m_link, &Link::portOpened, this, &Session::deviceOpened);
    connect(m_link, &Link::portLost, this, &Session::onPortLost);
}

Session::~Session() {
    UnloadProgress();
    if (Link::current() == m_link) Link::setCurrent(nullptr);
    if (currentSession == this) currentSession = nullptr;
}

Session *Session::current() { return currentSession; }

void Session::load() {
    InitGlobals();
    emit extensionChanged(QString());
    emit networkButtonChanged(QString(), 0, false);
    emit comPortChanged(g.ComPortNo);
    setButtons("FFFFTFFF");
}

// ---- states

void Session::setButtons(const QString &pattern) {
    // Told every time, changed or not: what shows the row follows the session whatever happened to it.
    m_buttons = pattern;
    emit buttonsChanged(m_buttons);
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
    setButtons("FTFTFFFF");
    g.Monitoring = true;
}

void Session::connect_btn_control() { setButtons(g.Connected ? "TFFTTTTT" : "TFTFTFFF"); }

void Session::stop_btn_control() {
    setButtons(g.Connected ? "TFFTTTTT" : "TFTFFFFF");
    g.Monitoring = false;
}

void Session::setting_btn_control() { setButtons(g.Connected ? "TFFTTTTT" : "TFTFFFFF"); }

void Session::disconnect_btn_control() { setButtons("FFTFTFFF"); }

void Session::setLamp(Lamp l) {
    if (l == m_lamp) return;
    m_lamp = l;
    emit lampChanged(l);
}

void Session::setStatus(const QString &text) { emit statusChanged(text); }

void Session::noteDisconnected() {
    setLamp(Lamp::Disconnected);
    setStatus("Disconnected");
    emit unitChanged();
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

IoPage *Session::routedPage(const QString &where) {
    IoPage *p = nullptr;
    const Route r = route(p);
    if (r == Route::Invalid) debugInfo(where);
    return r == Route::Page ? p : nullptr;
}

IoPage *Session::activePage() {
    IoPage *p = nullptr;
    return route(p) == Route::Page ? p : nullptr;
}

void Session::debugInfo(const QString &where) {
    MsgBox("Not definced modelnum in frmVireo -> " + where, "Debug info", MsgIcon::Critical);
    DisconnectUnit();
}

void Session::endCommand() {
    // A line that died under the command and was not reported by it is reported now.
    if (g.Connected && !m_link->isOpen()) return connectionLost();
    if (g.Connected) io_btn_control(true);
    else connect_btn_control();
}

void Session::connectionLost() {
    const QString reason = std::exchange(m_lostReason, QString());
    disconnectNow();
    if (!reason.isEmpty()) MsgBox("The connection to the unit was lost: " + reason, "Connection", MsgIcon::Critical);
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
            RunCommand([this] {
                if (g.Connected && !m_link->isOpen() && !g.ProgramEnding) connectionLost();
            });
        },
        Qt::QueuedConnection);
}

// ---- the connection check and the identification

bool Session::ConnectUnit() {
    QString failure;
    const bool opened = OpenComPort(*m_link, &failure);
    const QString r = opened ? BeforeColon(ReadItemRetry(1, "00", "01")) : QString();
    if (r == "MNTSW") {
        setLamp(Lamp::Connected);
        emit comPortChanged(g.ComPortNo);
        g.Connected = true;
        setStatus("Connected");
        return true;
    }
    setButton(Setting, true);
    // One box for every failed connection; a port that would not open adds its reason.
    MsgBox(failure.isEmpty() ? QStringLiteral("Connection Error") : "Connection Error\r\n" + failure, "Connection",
           MsgIcon::Critical);
    DisconnectUnit();
    return false;
}

Session::Identified Session::identifyUnitOnly() {
    auto fail = [] {
        MsgBox("Upload Error", "Upload", MsgIcon::Critical);
        DisconnectUnit();
        return Identified::Failed;
    };
    WriteItemRetry(3, "00", "01", "F");

    QString r = InquireItemRetry(3, "02");
    // "CNG", "NEEDLESS" or nothing after the colon is the unit not answering, not a model.
    if (IsProtocolAnswer(r) || AfterColon(r).isEmpty()) return fail();
    g.UnitModel = AfterColon(r);
    g.IdentifiedModel = g.UnitModel;
    if (!m_quiet) emit modelChanged(g.UnitModel);
    const ModelKind kind = KindOfModel(g.UnitModel, g.modelnum);
    g.modelnum = kind.modelnum;
    g.SubTyp = kind.subTyp;
    SetNetType(g.UnitModel);

    r = InquireItemRetry(3, "06");
    if (r.isEmpty()) return fail();
    const QString v = AfterColon(r);
    g.VersionText = "Version : " + v;
    if (!m_quiet) emit versionChanged(g.VersionText);
    g.NewFirmware = !IsKnownVersion(v);

    r = InquireItemRetry(3, "10");
    if (r.isEmpty()) return fail();
    const QString e = AfterColon(r);
    g.ExtName = e == "CNG" ? QStringLiteral("NONE") : AfterDash(e);
    if (g.ExtName == "DM") g.ExtName = "NONE";
    if (g.ExtName == "NONE") {
        g.ExtChCount = 0;
        g.ExtType.clear();
        showExtension();
    } else if (!g.ExtAsked) {
        // Only the two known kinds have modules to offer; either answer to another is none.
        const QString asked = g.ExtName;
        const QString prefix = asked == "DI" ? "XD" : asked == "DO" ? "XF" : QString();
        if (prefix.isEmpty()) g.ExtName = "NONE";
        const int points = AskExtension(asked);
        if (points == 16 || points == 8) {
            g.ExtChCount = prefix.isEmpty() ? 0 : points;
            g.ExtType = prefix.isEmpty() ? QString() : prefix + QString::number(points);
            showExtension();
        }
        g.ExtAsked = true;
    }
    if (g.ProgramEnding) return Identified::ProgramEnded;

    r = InquireItemRetry(3, "03");
    if (r.isEmpty()) return fail();
    const QString c = AfterColon(r);
    // Only the unit's own not-initialised text asks for initialising; "NEEDLESS" (a "CNU") does not.
    if (c.startsWith('N') && !IsProtocolAnswer(r)) {
        MsgBox("Need Initialize", "Initialize Error\r\n", MsgIcon::Critical);
        disconnectNow();
        endProgram();
        return Identified::NeedsInit;
    }
    static const QList<std::pair<QString, int>> counts = {{"1CHs", 1}, {"2CHs", 2}, {"4CHs", 4}, {"16CHs", 16}, {"8CHs", 8}};
    for (const auto &[text, n] : counts)
        if (c == text) g.ChCount = n;
    return Identified::Yes;
}

Session::Identified Session::IdentifyUnit() {
    const Identified id = identifyUnitOnly();
    if (id != Identified::Yes) return id;
    // A kind whose page this version lacks is handled like an unknown model.
    IoPage *p = m_pages && g.modelnum >= 0 && g.modelnum <= 25 ? m_pages->ioPage(g.modelnum) : nullptr;
    g.ActivePage = p ? g.modelnum : 99;
    if (p) {
        p->Init();
        if (g.ProgramEnding) return Identified::ProgramEnded;
    }
    ShowPage(g.ActivePage);
    return Identified::Yes;
}

Outcome Session::identifiedOutcome(Identified id, const OutcomeScope &scope) const {
    if (id == Identified::NeedsInit) {
        Outcome o;
        o.kind = Outcome::Kind::NeedsInit;
        return o;
    }
    const Outcome o = scope.outcome();
    // Exit in the extension question: the program ends, nothing failed on the line.
    if (id == Identified::ProgramEnded && o.complete()) return Outcome::asCancelled();
    // The identification's own failure: its reads gave nothing usable (a model text of CNG).
    if (id == Identified::Failed && o.complete()) {
        Outcome r = Outcome::refused(QStringLiteral("the unit's identification gave no model"));
        r.kind = Outcome::Kind::Incomplete;
        r.why = Exchange::Failure::Cng;
        r.group = "00";
        r.item = "02";
        return r;
    }
    return o;
}

bool Session::checkConnection() {
    all_btn_control(false);
    const bool ok = ConnectUnit();
    connect_btn_control();
    return ok;
}

bool Session::identifyOnly() {
    all_btn_control(false);
    const bool ok = identifyUnitOnly() == Identified::Yes;
    endCommand();
    return ok;
}

// ---- commands

Outcome Session::commandConnect() {
    OutcomeScope scope;
    all_btn_control(false);
    m_lostReason.clear();
    ConnectUnit();
    const Outcome upload = commandUpload();
    // A unit that must be initialised first, or the person's cancel, says more than the line.
    const Outcome o = upload.kind == Outcome::Kind::NeedsInit || upload.cancelled() ? upload : scope.outcome();
    if (g.ProgramEnding) return o;
    connect_btn_control();
    return o;
}

Outcome Session::commandUpload() {
    OutcomeScope scope;
    all_btn_control(false);
    const Identified id = IdentifyUnit();
    if (id == Identified::ProgramEnded || id == Identified::NeedsInit || g.ProgramEnding)
        return identifiedOutcome(id, scope);
    emit unitChanged();
    auto end = [&] {
        endCommand();
        return identifiedOutcome(id, scope);
    };
    // Once the link is down the rest of the Upload could only fail again.
    if (!m_link->isOpen()) return end();
    IoPage *p = routedPage("btnUpload");
    if (!p) return end();
    p->ReadingData();
    if (g.ProgramEnding) return scope.outcome();
    if (!m_link->isOpen()) return end();
    if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr) n->btnUpload_Click();
    if (g.ProgramEnding) return scope.outcome();
    return end();
}

Session::DownloadResult Session::commandDownload() { return downloadPages(true, false); }

Session::DownloadResult Session::downloadPages(bool io, bool network) {
    using End = DownloadResult::End;
    DownloadResult result;
    const quint64 cancels = CancelCount();
    g.ChkErrNo = 0;
    all_btn_control(false);
    IoPage *p = routedPage("btnDownload");
    if (!p) {
        endCommand();
        return result;
    }
    ClearCheckRefusal();
    const bool ok = p->hasCheckData() ? p->CheckData() : true;
    static const char *const details[] = {
        "Non-numeric symbols have been used.",
        "Drop out : 0.10 to 50.00",
        "Max : -2099999999 to 2100000000",
        "Min : -2100000000 to 2099999999",
        "Min < Max",
        "Reset Value :  Min =< Reset Value =< Max",
        "Position Setpoint :  Min =< Position Setpoint =< Max",
        "Position Hys :  0 =< hys ,  hys < Abs(Max - Min) ",
        "Full Scale :  -32000 to 32000 ",
        "Zero Scale :  -32000 to 32000 ",
        "Speed Hys : 0.00 to 115.00",
        "Speed Setpoint :  -15.00 to 115.00",
        "Bias : -320.00 to 320.00",
        "Gain : -3.2000 to 3.2000",
    };
    const QString detail = g.ChkErrNo >= 1 && g.ChkErrNo <= 14
                               ? QStringLiteral("Check data range. \r\n") + details[g.ChkErrNo - 1]
                               : QStringLiteral("Check data range.");
    if (!ok) {
        MsgBox("Data Error \r\n" + detail, "Data Range Error", MsgIcon::Critical);
        io_btn_control(true);
        result.end = End::RangeRefused;
        const std::optional<CheckRefusal> why = LastCheckRefusal();
        result.detail = why ? why->describe() : QString(detail).replace("\r\n", " ").simplified();
        return result;
    }
    // What the pages send, each value taken as its line goes out, to be found again in the unit.
    SendRecord sent;
    WriteStart start = WriteStart::Written;
    if (io) start = WriteUnit(true, &result.write);
    if (start == WriteStart::Written && network)
        if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr) result.write = result.write + n->writeToUnit();
    if (g.ProgramEnding || CancelCount() != cancels) {
        // The Disconnect or Exit that cancelled it has set the buttons.
        result.end = End::Cancelled;
        result.sent = sent.values();
        return result;
    }
    if (start == WriteStart::Refused) {
        // A read-back now would put the unit's old values over the edits, and say nothing.
        if (m_link->isOpen())
            MsgBox("The unit did not accept the start of the download.\r\n"
                   "Nothing was written; the edited values are still on the page.",
                   "Download", MsgIcon::Critical);
        endCommand();
        result.end = End::StartRefused;
        return result;
    }
    IoPage *written = activePage();
    // Written, or nothing came back at all: the Upload that follows reads back or reports.
    {
        OutcomeScope readBack;
        result.readBack = commandUpload();
        result.verification = Verify(sent.values(), readBack);
    }
    result.sent = sent.values();
    if (g.ProgramEnding || result.readBack.cancelled()) {
        result.end = End::Cancelled;
        return result;
    }
    if (result.readBack.complete() && activePage() != written) {
        result.end = End::OtherModel;
        result.detail = g.UnitModel;
        NoteDownload(QStringLiteral("Download written, not verified (the unit is a %1)").arg(g.UnitModel));
        return result;
    }
    if (start == WriteStart::Silent) {
        // Nothing took the download start: the Upload after it has said what became of the line.
        result.end = End::Silent;
        return result;
    }
    Verification &v = result.verification;
    switch (v.result) {
    case Verification::Result::Verified: result.end = End::Verified; break;
    case Verification::Result::Differs: result.end = End::Differs; break;
    case Verification::Result::NothingToVerify:
        result.end = End::NothingToVerify;
        // Only a read-back that completed says the unit took the download.
        if (!result.readBack.complete()) {
            result.end = End::NotVerified;
            v.result = Verification::Result::NotVerified;
            v.readBack = result.readBack;
        }
        break;
    case Verification::Result::NotVerified: result.end = End::NotVerified; break;
    }
    if (result.end == End::NotVerified && !result.write.complete() && !result.write.cancelled()) {
        // The writes broke off: say so rather than blame the read-back.
        NoteDownload(QStringLiteral("Download not verified"));
        MsgBox(QStringLiteral("The download did not complete (%1): the unit may hold only part of it, so "
                              "nothing is verified. Download again.")
                   .arg(result.write.where()),
               "Download", MsgIcon::Critical);
        return result;
    }
    ReportVerification(v);
    return result;
}

Session::WriteStart Session::WriteUnit(bool page, Outcome *written) {
    OutcomeScope scope;
    const quint64 answersBefore = m_link->answers();
    if (WriteItemRetry(3, "00", "01", "F").isEmpty()) {
        if (written) *written = scope.outcome();
        return m_link->answers() == answersBefore ? WriteStart::Silent : WriteStart::Refused;
    }
    IoPage *p = nullptr;
    if (page && route(p) == Route::Page) p->Download();
    if (written) *written = scope.outcome();
    return WriteStart::Written;
}

void Session::commandStart() {
    if (!g.Connected) {
        commandConnect();
        if (g.ProgramEnding) return;
    }
    IoPage *p = routedPage("btnStart_Click");
    if (!p) return endCommand();
    p->onStart();
    monitor_btn_control();
    // Started again from inside a pass that Stop had ended: that loop simply carries on.
    if (m_monitorDepth > 0) return;
    MonitorLoop();
}

void Session::MonitorLoop() {
    if (!g.Monitoring) return;
    ++m_monitorDepth;
    m_lostReason.clear();
    {
        // Between passes the program is idle: a click runs there; one held during a pass waits for it.
        IdleScope idle(IdleScope::Monitor);
        while (g.Monitoring && !g.ProgramEnding) {
            QCoreApplication::processEvents();
            RunHeldCommands();
            if (!g.Monitoring || g.ProgramEnding) break;
            // A dead line cannot be monitored; end as a disconnect would, instead of spinning.
            if (!m_link->isOpen()) {
                connectionLost();
                break;
            }
            setLamp(Lamp::Monitoring);
            IoPage *p = nullptr;
            if (route(p) != Route::Page) break;
            CommandScope pass;
            emit passStarted();
            p->ReadingData();
            emit passDone();
        }
    }
    --m_monitorDepth;
    if (m_monitorDepth > 0 || g.ProgramEnding) return;
    // Stopped during the pass in which the line died: nothing in the loop saw it.
    if (g.Connected && !m_link->isOpen()) connectionLost();
    // A page's own failure routine disconnected during a pass: the buttons and the page follow
    // as after Disconnect, not as during monitoring (or after a Stop that came first).
    else if (!g.Connected) disconnectNow();
}

void Session::commandStop() {
    stop_btn_control();
    IoPage *p = routedPage("btnStop_Click");
    if (!p) return endCommand();
    p->onStop();
    setLamp(Lamp::Connected);
}

void Session::commandDisconnect() {
    NoteCancelled();
    disconnectNow();
}

void Session::disconnectNow() {
    setLamp(Lamp::Disconnected);
    DisconnectUnit();
    if (IoPage *p = routedPage("btnDisconnect")) p->onDisconnect();
    disconnect_btn_control();
}

void Session::commandSetting(const std::function<std::optional<PortChoice>()> &ask) {
    all_btn_control(false);
    // The dialog opens on the port in use.
    emit comPortChanged(g.ComPortNo);
    if (std::optional<PortChoice> choice = ask ? ask() : std::nullopt) {
        if (g.ProgramEnding) return;
        for (int k = 1; k <= 8 && k <= choice->devices.size(); ++k)
            if (!choice->devices[k - 1].isEmpty()) PortMap::choose(k, choice->devices[k - 1]);
        m_link->CloseComPort();
        g.ComPortNo = choice->comPortNo;
        // The Connect that follows opens the port again if this fails, and says why.
        OpenComPort(*m_link);
        commandConnect();
    }
    if (g.ProgramEnding) return;
    setting_btn_control();
    setButton(Setting, !g.Connected);
}

void Session::commandNetwork() {
    if (g.NetTyp < 0 || g.NetTyp > 7) {
        MsgBox("Not definced NetTyp in frmVireo -> btnComNet", "Debug info", MsgIcon::Critical);
        DisconnectUnit();
        return endCommand();
    }
    all_btn_control(false);
    if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr) n->showModal();
    if (g.ProgramEnding) return;
    setting_btn_control();
    if (ShowNotice()) commandDisconnect();
    if (g.ProgramEnding) return;
    setButton(Setting, !g.Connected);
}

void Session::commandExit() {
    NoteCancelled();
    endProgram();
}

void Session::endProgram() {
    if (g.ProgramEnding) return;
    m_link->shutDown();
    DropHeldCommands();
    g.ProgramEnding = true;
    g.Monitoring = false;
    UnloadProgress();
    ui().endProgram();
}

// ---- files

void Session::commandSave() {
    if (!g.PageShown) {
        MsgBox("No Config Data", "Save Error", MsgIcon::None);
        return;
    }
    const QString path = AskSaveFileName(nullptr, ConfigFileFilter, ConfigFilterIndex, ConfigDialogFileName());
    if (path.isEmpty()) return;
    ConfigDialogFileName() = path;
    saveFile(path);
}

void Session::commandOpen() {
    const QString path = AskOpenFileName(nullptr, ConfigFileFilter, ConfigFilterIndex, ConfigDialogFileName());
    if (path.isEmpty()) return;
    ConfigDialogFileName() = path;
    openFile(path);
    // While monitoring, Download stays off with the rest of the command row.
    if (g.Connected && !g.Monitoring) setButton(Download, true);
}

QByteArray Session::configBytes(QString *error) {
    QString e;
    const QByteArray bytes = m_pages ? m_pages->buildConfig(&e) : QByteArray();
    if (bytes.isEmpty() && error) *error = e.isEmpty() ? QStringLiteral("There are no pages to save from.") : e;
    return bytes;
}

bool Session::saveFile(const QString &path, QString *error) {
    auto fail = [error](const QString &description) {
        if (error) *error = description;
        else MsgBox(description, "Open Error", MsgIcon::Critical);
        return false;
    };
    QString why;
    const QByteArray bytes = configBytes(&why);
    if (bytes.isEmpty()) return fail(why);
    const QString where = QDir::toNativeSeparators(path);
    // The old file is replaced only once every byte of the new one is on the disk.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return fail(QStringLiteral("%1: %2").arg(where, f.errorString()));
    // The explicit flush matters: after a short write (a disk that fills up) commit() alone
    // would still put the cut file in place of the old one. Its own error text is "Unknown
    // error" then; the system's says what happened.
    errno = 0;
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        const int err = errno;
        const QString reason = err != 0 ? qt_error_string(err) : f.errorString();
        f.cancelWriting();
        return fail(QStringLiteral("%1: %2").arg(where, reason));
    }
    if (!f.commit()) return fail(QStringLiteral("%1: %2").arg(where, f.errorString()));
    return true;
}

bool Session::openFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        MsgBox(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), f.errorString()), AppTitle,
               MsgIcon::Critical);
        return false;
    }
    return loadConfig(f.read(MaxFileBytes));
}

bool Session::loadConfig(const QByteArray &bytes) {
    QString error;
    std::unique_ptr<LoadedConfig> loaded = m_pages ? m_pages->readConfig(bytes, &error) : nullptr;
    if (!loaded) {
        MsgBox(error, AppTitle, MsgIcon::Critical);
        return false;
    }
    const QString model = loaded->identity.model;
    if (g.Connected && !g.IdentifiedModel.isEmpty() && model != g.IdentifiedModel &&
        !AskYesNo(QStringLiteral("The file is for %1; the connected unit is %2. Load anyway?")
                      .arg(model, g.IdentifiedModel),
                  AppTitle))
        return false;
    applyLoaded(*loaded);
    return true;
}

// The one place a loaded file becomes the identity and the pages: identity first, then the
// page, then the network page.
void Session::applyLoaded(LoadedConfig &loaded) {
    const FileIdentity &id = loaded.identity;
    g.UnitModel = id.model;
    g.VersionText = id.versionText;
    g.ChCount = id.chCount;
    emit modelChanged(id.model);
    g.modelnum = id.modelnum;
    g.SubTyp = id.subTyp;
    SetNetType(id.model);
    emit versionChanged(id.versionText);
    g.NewFirmware = !IsKnownVersion(AfterColon(id.versionText));
    g.ExtChCount = 0;
    g.ExtType.clear();
    showExtension();
    g.ActivePage = id.modelnum;
    if (loaded.hasPage()) {
        loaded.applyPage();
        ShowPage(id.modelnum);
    }
    loaded.applyNetwork();
    // A network page created while the file was checked saw the identity before it.
    if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr) n->followIdentity();
}

// ---- compare

Session::Comparison Session::compareWithUnit() {
    Comparison c;
    if (!m_pages) return c;
    const Globals page = g;
    // The page's identity and state come back whatever the unit turns out to be; the link's
    // state is what the reading left.
    auto restore = [&page] {
        const bool connected = g.Connected, monitoring = g.Monitoring, asked = g.ExtAsked;
        const int port = g.ComPortNo;
        g = page;
        g.Connected = connected;
        g.Monitoring = monitoring;
        g.ExtAsked = asked;
        g.ComPortNo = port;
    };
    // Fresh copies every time: a value an earlier reading left is nothing the unit said now.
    m_pages->dropCopies();
    OutcomeScope scope;
    m_quiet = true;
    const Identified id = identifyUnitOnly();
    m_quiet = false;
    if (id != Identified::Yes) {
        c.outcome = identifiedOutcome(id, scope);
        if (id == Identified::Failed) restore();
        return c;
    }
    c.unitModel = g.UnitModel;
    if (g.UnitModel != page.UnitModel) {
        c.refusal = QStringLiteral("The unit is a %1; the page is for %2. Nothing was compared.")
                        .arg(g.UnitModel, page.UnitModel);
        restore();
        return c;
    }
    // The reads of an Upload, into copies: the page and its edits stay as they are.
    Settings unitIo, unitNet;
    IoPage *copy = g.modelnum >= 0 && g.modelnum <= 25 ? m_pages->copyOf(g.modelnum) : nullptr;
    if (copy) {
        copy->Init();
        if (g.Connected && m_link->isOpen()) copy->ReadingData();
        unitIo = m_pages->settings(copy);
    }
    NetUnitPage *netCopy = m_pages->netCopyOf(g.NetTyp);
    if (netCopy && g.Connected && m_link->isOpen()) {
        netCopy->btnUpload_Click();
        unitNet = m_pages->settings(netCopy);
    }
    c.outcome = scope.outcome();
    if (c.outcome.complete() && (!g.Connected || !m_link->isOpen())) c.outcome = Outcome::asCancelled();
    restore();
    if (!c.outcome.complete() || g.ProgramEnding) return c;
    // What a Download would write and the unit reports, on both sides: a setting the unit's kind
    // does not exchange, or one the page never writes, is nothing a Download could change.
    auto differences = [&c](const Settings &shown, const Settings &unit) {
        QSet<QString> notOnUnit;
        for (const SettingValue &u : unit)
            if (!u.exchanged || !u.written) notOnUnit.insert(u.key);
        Settings compared;
        for (const SettingValue &s : shown)
            if (s.written && s.exchanged && !notOnUnit.contains(s.key)) compared << s;
        c.values += int(compared.size());
        return CompareSettings(compared, unit);
    };
    IoPage *p = activePage();
    NetUnitPage *n = m_pages->netPage(g.NetTyp);
    const QList<Difference> io = p ? differences(m_pages->settings(p), unitIo) : QList<Difference>();
    const QList<Difference> net = n && netCopy ? differences(m_pages->settings(n), unitNet) : QList<Difference>();
    c.ioDiffers = !io.isEmpty();
    c.networkDiffers = !net.isEmpty();
    c.rows = io + net;
    c.read = true;
    return c;
}

void Session::commandCompare(const std::function<CompareChoice(const Comparison &)> &show) {
    if (!g.Connected || g.Monitoring) return;
    all_btn_control(false);
    const Comparison c = compareWithUnit();
    if (g.ProgramEnding) return;
    endCommand();
    if (!c.refusal.isEmpty()) return MsgBox(c.refusal, "Compare with Unit", MsgIcon::Information);
    if (!c.read) {
        if (!c.outcome.cancelled() && c.outcome.kind != Outcome::Kind::NeedsInit)
            MsgBox(QStringLiteral("The unit could not be read completely (%1): nothing was compared.").arg(c.outcome.where()),
                   "Compare with Unit", MsgIcon::Critical);
        return;
    }
    if (!show) return;
    switch (show(c)) {
    case CompareChoice::Download:
        // Every page that differs is written, and all of it verified by one read-back.
        downloadPages(c.ioDiffers || !c.networkDiffers, c.networkDiffers);
        return;
    case CompareChoice::Upload: commandUpload(); return;
    case CompareChoice::Close: return;
    }
}
