#include "tests/TestKit.h"
#include "core/Globals.h"
#include <QAbstractEventDispatcher>
#include <QTimer>
#include <QEventLoop>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include "core/Commands.h"
#include "link/Await.h"

static QString iconName(MsgIcon i) {
    return i == MsgIcon::Critical ? "critical" : i == MsgIcon::Information ? "information" : "none";
}

namespace {
// A shown box or dialog lets the main loop come round before it is answered, as Qt's do: whatever
// would run while one is open (a held command, a queued report) runs meanwhile.
co::Task<> openAWhile() { co_await co::Delay(0); }

// A dialog's scripted step runs inside the command that opened it: nothing comes to rest there.
int stepDepth = 0;

// A message or dialog nobody scripted fails the test at once, and never waits for a person.
void failNow(const QString &what) { QTest::qFail(qPrintable("unexpected " + what), __FILE__, __LINE__); }

// Outside a ScriptedUi every message and dialog is unexpected: a test never blocks on one.
class StrictUi : public WidgetUi {
public:
    co::Task<> message(QString text, QString title, MsgIcon icon) override {
        failNow(QStringLiteral("message \"%1\" / \"%2\" (%3)").arg(text, title, iconName(icon)));
        co_return;
    }
    co::Task<int> showDialog(QDialog *dialog) override {
        failNow("dialog " + dialog->objectName());
        co_return int(QDialog::Rejected);
    }
    co::Task<QString> openFileName(QWidget *, QString, int, QString) override {
        failNow("open file dialog");
        co_return QString();
    }
    co::Task<QString> saveFileName(QWidget *, QString, int, QString) override {
        failNow("save file dialog");
        co_return QString();
    }
    void endProgram() override { failNow("end of the program"); }
};

StrictUi strictUi;
const bool strictInstalled = [] {
    setUi(&strictUi);
    return true;
}();
} // namespace

co::Task<> ScriptedUi::message(QString text, QString title, MsgIcon icon) {
    const Msg m{text, title, icon};
    messages.append(m);
    // Judged as it opens; it closes once the main loop has come round.
    if (!m_expected.isEmpty() && m_expected.first() == m) {
        m_expected.removeFirst();
    } else {
        const QString what = QStringLiteral("message \"%1\" / \"%2\" (%3)").arg(text, title, iconName(icon));
        unexpected.append(what);
        if (!m_recordOnly) failNow(what);
    }
    co_await openAWhile();
}

co::Task<bool> ScriptedUi::question(QString text, QString title) {
    questions.append(title + ": " + text);
    co_await openAWhile();
    if (!m_answers.isEmpty() && m_answers.first().first == text) co_return m_answers.takeFirst().second;
    unexpected.append(QStringLiteral("question \"%1\" / \"%2\"").arg(text, title));
    co_return false;
}

co::Task<int> ScriptedUi::showDialog(QDialog *dialog) {
    const QString name = dialog->objectName();
    dialogsShown.append(name);
    co_await openAWhile();
    auto it = m_dialogs.find(name);
    if (it == m_dialogs.end() || it->isEmpty()) {
        unexpected.append("dialog " + name);
        failNow("dialog " + name);
        co_return int(QDialog::Rejected);
    }
    DialogStep step = it->takeFirst();
    ++stepDepth;
    const int result = step(dialog);
    --stepDepth;
    // What its buttons started runs to its end before the dialog closes, as a person waits for it.
    while (Runner().busyIn(dialog)) co_await co::Delay(1);
    co_return result;
}

void ScriptedUi::showBeside(QDialog *dialog) {
    dialogsShown.append(dialog->objectName());
    beside.append(dialog);
}

co::Task<QString> ScriptedUi::openFileName(QWidget *, QString filter, int filterIndex, QString lastName) {
    lastFilter = filter;
    lastFilterIndex = filterIndex;
    lastFileName = lastName;
    ++fileDialogs;
    co_await openAWhile();
    if (m_files.isEmpty()) co_return QString();
    co_return m_files.takeFirst();
}

co::Task<QString> ScriptedUi::saveFileName(QWidget *, QString filter, int filterIndex, QString lastName) {
    lastFilter = filter;
    lastFilterIndex = filterIndex;
    lastFileName = lastName;
    ++fileDialogs;
    co_await openAWhile();
    if (m_files.isEmpty()) co_return QString();
    co_return m_files.takeFirst();
}

void ScriptedUi::endProgram() { ++programEnds; }

bool WaitFor(const std::function<bool()> &done, int timeoutMs) {
    if (done()) return true;
    // The main loop as the program runs it: asleep until something happens, looked at each time
    // it would go to sleep again (a loop that polled would show in every CPU figure).
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(timeoutMs);
    auto check = [&] {
        if (done()) loop.quit();
    };
    QAbstractEventDispatcher *d = QAbstractEventDispatcher::instance();
    QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, &loop, check);
    QObject::connect(d, &QAbstractEventDispatcher::awake, &loop, check);
    loop.exec();
    return done();
}

void Click(QAbstractButton *button) {
    const bool idle = Runner().idle();
    // A dialog at rest in its place (a dialog step's click): the click's command ends there.
    const QWidget *dialog = button->window();
    const bool dialogAtRest = !idle && !Runner().busyIn(dialog);
    button->click();
    if (idle)
        Settle();
    else if (dialogAtRest && !WaitFor([dialog] { return !Runner().busyIn(dialog); }, 10000))
        QTest::qFail("a dialog's command did not end", __FILE__, __LINE__);
}

void Trigger(QAction *action) {
    const bool idle = Runner().idle();
    action->trigger();
    if (idle) Settle();
}

void Settle(int timeoutMs) {
    if (stepDepth > 0) return;
    // One pass of the loop at least: a click's command may start from a queued look at the held ones.
    QCoreApplication::processEvents();
    if (!WaitFor([] { return Runner().idle(); }, timeoutMs)) QTest::qFail("the program did not come to rest", __FILE__, __LINE__);
}

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
    // No session here: the rig lets the unit go as the session would.
    QObject::connect(m_link, &Link::unitDropped, m_link, [] {
        g.Connected = false;
        g.Monitoring = false;
        g.ExtAsked = false;
    });
    Await(m_link->OpenComPort(1, Link::DefaultSettings));
}

SimRig::~SimRig() {
    // Whatever still waits on the link unwinds before it goes.
    m_link->shutDown();
    Settle();
    if (Link::current() == m_link) Link::setCurrent(nullptr);
    delete m_link;
}

#include "app/Dialogs.h"
#include "app/frmVireo.h"
#include "core/Session.h"
#include "config/PageStore.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPushButton>

// The dialogs' buttons, pressed as a person presses them.
static int press(QDialog *d, const char *button) {
    auto *b = d->findChild<QPushButton *>(button);
    if (!b) {
        QTest::qFail(qPrintable(QStringLiteral("%1 has no %2").arg(d->objectName(), button)), __FILE__, __LINE__);
        return QDialog::Rejected;
    }
    b->click();
    return QDialog::Accepted;
}
int ClickComPortOk(QDialog *d) { return press(d, "btnExit"); }
int ClickExtCommand1(QDialog *d) { return press(d, "Command1"); }
int ClickExtCommand2(QDialog *d) { return press(d, "Command2"); }

AppRig::AppRig(const sim::UnitConfig &cfg, int timeoutMs) : m_unit(std::make_shared<sim::SimUnit>(cfg)) {
    w = new frmVireo;
    device = AttachSim(w->session().link(), m_unit);
    w->session().link().setTimings(0, timeoutMs);
}

AppRig::~AppRig() {
    // A command still waiting (a test that ended in the middle of one) unwinds before the window goes.
    if (!Runner().idle()) {
        session().link().shutDown();
        Settle();
    }
    delete w;
}

void AppRig::connectViaSetting(bool answerExtension) {
    ui.onDialog("frmComPort", ClickComPortOk);
    if (answerExtension && m_unit->config().ext != "NONE" && m_unit->config().ext != "DM")
        ui.onDialog("frmExtSelect", ClickExtCommand1);
    press("btnSetting");
}

QString AppRig::buttons() const {
    QString s;
    for (const char *name : {"btnStart", "btnStop", "btnConnect", "btnDisconnect", "btnSetting", "btnComNet",
                             "btnUpload", "btnDownload"})
        s += find<QPushButton>(name)->isEnabled() ? 'T' : 'F';
    return s;
}

Session &AppRig::session() const { return w->session(); }
Link &AppRig::link() const { return w->session().link(); }
QObject *AppRig::window() const { return w; }

void AppRig::missing(const QString &name) const {
    QTest::qFail(qPrintable("the main window has no control " + name), __FILE__, __LINE__);
}

void AppRig::press(const QString &name) const {
    // A person cannot press what is disabled: a test that tries is wrong about the state.
    if (auto *b = w->findChild<QAbstractButton *>(name)) {
        if (!b->isEnabled()) QTest::qFail(qPrintable(name + " is disabled"), __FILE__, __LINE__);
        return Click(b);
    }
    if (auto *a = w->findChild<QAction *>(name)) {
        if (!a->isEnabled()) QTest::qFail(qPrintable(name + " is disabled"), __FILE__, __LINE__);
        return Trigger(a);
    }
    missing(name);
}

QString AppRig::text(const QString &name) const {
    const QLabel *l = find<QLabel>(name);
    return l ? l->text() : QString();
}

QColor AppRig::lamp() const {
    const LampShape *l = find<LampShape>("shpLamp");
    return l ? l->fillColor() : QColor();
}

Page *AppRig::page(int modelnum) const { return w->pages().page(modelnum); }
NetPage *AppRig::netPage(int netTyp) const { return w->pages().netPage(netTyp); }
QWidget *AppRig::shownPage() const { return w->shownPage(); }

#include "pages/Colors.h"
#include <QLineEdit>

QStringList MonitorOnePass(AppRig &rig) {
    rig.clearLines();
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(&rig.link(), &Link::waitEnded, rig.w, [&rig, once] {
        QObject::disconnect(*once);
        rig.session().commandStop();
    });
    Await(rig.session().commandStart());
    QObject::disconnect(*once);
    return rig.lines();
}

QByteArray CrLfFile(const QStringList &lines) {
    QByteArray b;
    for (const QString &l : lines)
        b += l.toLatin1() + "\r\n";
    return b;
}

QByteArray ReadBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

sim::UnitConfig StillUnit(const QString &model, const QString &ext, const QString &version) {
    sim::UnitConfig c;
    c.model = model;
    c.ext = ext;
    c.version = version;
    c.animate = false;
    return c;
}

QString BitColours(quint16 value, int cells) {
    QString s;
    for (int p = 0; p < cells; ++p) s += (value >> p) & 1 ? 'G' : 'R';
    return s;
}

namespace {
// The identification's lines at the start of every Upload.
const QStringList Identification = {"G00", "I01", "DF", "I02", "I06", "I10", "I03"};
} // namespace

QStringList UploadPageLines(AppRig &rig, int count) {
    rig.clearLines();
    Await(rig.session().commandUpload());
    const QStringList l = rig.lines();
    return l.mid(0, Identification.size()) == Identification ? l.mid(Identification.size(), count) : l;
}

QStringList DownloadPageLines(AppRig &rig) {
    rig.clearLines();
    Await(rig.session().commandDownload());
    const QStringList l = rig.lines();
    if (l.mid(0, 3) != Identification.mid(0, 3)) return l;
    // The Upload after it starts with the identification's "G00", "I01", "DF", "I02".
    const qsizetype upload = l.indexOf("I02", 3) - 3;
    return l.mid(3, upload >= 3 ? upload - 3 : -1);
}

QString CellColours(const QList<QLineEdit *> &cells) {
    QString s;
    for (const QLineEdit *c : cells) {
        const QColor b = BackColor(c);
        s += !c || !c->autoFillBackground() ? '-' : b == Colors::PointOn ? 'G' : b == Colors::PointOff ? 'R' : '-';
    }
    return s;
}

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

QString BuildFile(const QString &name) {
    // Tests live in build/tests, the programs (and the bench) in build.
    const QDir here(QCoreApplication::applicationDirPath());
    return here.exists(name) ? here.absoluteFilePath(name) : QDir(here.absoluteFilePath("..")).absoluteFilePath(name);
}

QString StartK5sim(QProcess &sim, const QStringList &args, bool logLines) {
    sim.setProgram(BuildFile("k5sim"));
    sim.setArguments(args + QStringList{"--still"} + (logLines ? QStringList{"--log"} : QStringList()));
    sim.start();
    if (!sim.waitForStarted(5000)) return {};
    QString path;
    QElapsedTimer t;
    t.start();
    while (path.isEmpty() && t.elapsed() < 5000) {
        sim.waitForReadyRead(200);
        while (sim.canReadLine()) {
            const QString line = QString::fromLocal8Bit(sim.readLine()).trimmed();
            if (line.startsWith("VIREO_COM1=")) path = line.mid(11);
        }
    }
    return path;
}

QStringList K5simLines(QProcess &sim) {
    // What was read already is kept with the process.
    QStringList lines = sim.property("k5simLines").toStringList();
    sim.setReadChannel(QProcess::StandardError);
    while (sim.waitForReadyRead(150)) {
    }
    for (const QByteArray &l : sim.readAllStandardError().split('\n'))
        if (l.startsWith("k5sim <- ")) lines << QString::fromLatin1(l.mid(9)).trimmed();
    sim.setProperty("k5simLines", lines);
    return lines;
}

#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

QString Ser2netProgram() {
    return QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/usr/bin", "/usr/local/sbin"});
}

quint16 FreeTcpPort() {
    QTcpServer s;
    return s.listen(QHostAddress::LocalHost, 0) ? s.serverPort() : 0;
}

QStringList StartSer2net(QProcess &ser2net, const QString &yamlPath, const QList<Ser2netPort> &ports) {
    const QString program = Ser2netProgram();
    if (program.isEmpty()) return {};
    QStringList names;
    QList<quint16> numbers;
    QByteArray yaml;
    for (int i = 0; i < ports.size(); ++i) {
        const quint16 n = FreeTcpPort();
        numbers << n;
        const QString accepter = (ports[i].rfc2217 ? "telnet(rfc2217),tcp,127.0.0.1," : "tcp,127.0.0.1,") + QString::number(n);
        // Without its character delay ser2net sends a reply on as it comes, not two characters' time later.
        yaml += QStringLiteral("connection: &port%1 {accepter: \"%2\", connector: \"serialdev,%3,9600n81,local\", "
                               "options: {chardelay: false}}\n")
                    .arg(i)
                    .arg(accepter, ports[i].device)
                    .toUtf8();
        names << QStringLiteral("%1://127.0.0.1:%2").arg(ports[i].rfc2217 ? "rfc2217" : "tcp").arg(n);
    }
    if (!WriteBytes(yamlPath, yaml)) return {};
    // In the foreground, without its pid file.
    ser2net.setProgram(program);
    ser2net.setArguments({"-n", "-d", "-P", yamlPath + ".pid", "-c", yamlPath});
    ser2net.setProcessChannelMode(QProcess::MergedChannels);
    ser2net.start();
    if (!ser2net.waitForStarted(5000)) return {};
    // Listening once a connection is taken.
    for (quint16 n : numbers) {
        QElapsedTimer t;
        t.start();
        bool up = false;
        while (!up && t.elapsed() < 5000 && ser2net.state() == QProcess::Running) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, n);
            up = probe.waitForConnected(200);
            probe.abort();
            if (!up) QThread::msleep(20);
        }
        if (!up) return {};
    }
    return names;
}

QStringList LabelsNamedOverTheirText(const QWidget *root) {
    QStringList names;
    for (const QLabel *l : root->findChildren<QLabel *>())
        if (!l->accessibleName().isEmpty()) names << l->objectName();
    return names;
}
