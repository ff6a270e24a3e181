#pragma once
// Shared test rig: a scripted UI seam and the simulated unit wired to a link.
#include "app/Dialogs.h"
#include "core/Ui.h"
#include "link/Link.h"
#include "sim/SimDevice.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QtTest>
#include <functional>
#include <memory>

class ScriptedUi : public WidgetUi {
public:
    struct Msg {
        QString text, title;
        MsgIcon icon;
        bool operator==(const Msg &o) const { return text == o.text && title == o.title && icon == o.icon; }
    };
    using DialogStep = std::function<int(QDialog *)>;

    ScriptedUi() : m_previous(&ui()) { setUi(this); }
    ~ScriptedUi() override { setUi(m_previous); }

    // Messages must arrive in the order they are expected; anything else is recorded as unexpected.
    void expect(const QString &text, const QString &title, MsgIcon icon) { m_expected.append({text, title, icon}); }
    // The next modal showing of the dialog with this object name runs the step (which returns the result).
    void onDialog(const QString &objectName, DialogStep step) { m_dialogs[objectName].append(std::move(step)); }
    // The next question with this text gets the answer; a question nobody scripted is unexpected (and No).
    void onQuestion(const QString &text, bool yes) { m_answers.append({text, yes}); }
    void onOpenFile(const QString &path) { m_files.append(path); }
    // For tests that count messages themselves: an unscripted one is recorded, not a failure.
    void recordOnly() { m_recordOnly = true; }
    void onSaveFile(const QString &path) { m_files.append(path); }

    co::Task<> message(QString text, QString title, MsgIcon icon) override;
    co::Task<bool> question(QString text, QString title) override;
    co::Task<int> showDialog(QDialog *dialog) override;
    void showBeside(QDialog *dialog) override;
    co::Task<QString> openFileName(QWidget *, QString filter, int filterIndex, QString lastName) override;
    co::Task<QString> saveFileName(QWidget *, QString filter, int filterIndex, QString lastName) override;
    void endProgram() override;
    // The views opened beside whatever ran (Version, About), in order.
    QList<QDialog *> beside;

    QList<Msg> messages;       // every message shown
    QStringList unexpected;    // messages and dialogs nobody scripted
    QStringList dialogsShown;  // object names, in order
    QStringList questions;     // every question asked, "title: text"
    QString lastFilter;
    int lastFilterIndex = 0;
    QString lastFileName;      // the name the last file dialog offered
    int fileDialogs = 0;       // file dialogs shown
    int programEnds = 0;

    // Empty when every expectation was met and nothing unexpected happened.
    QString problems() const;
    void reset();

private:
    UiSeam *m_previous;
    bool m_recordOnly = false;
    QList<Msg> m_expected;
    QMap<QString, QList<DialogStep>> m_dialogs;
    QStringList m_files;
    QList<std::pair<QString, bool>> m_answers;
};

// The main loop runs until every command has ended and nothing is held or waits (at most
// timeoutMs; a test that would wait longer fails).
void Settle(int timeoutMs = 10000);
// A command or operation run to its end by the main loop; its result.
template <class T> T Await(co::Task<T> &&task, int timeoutMs = 10000);
template <class T> T Await(co::Task<T> &task, int timeoutMs = 10000) { return Await(std::move(task), timeoutMs); }
bool WaitFor(const std::function<bool()> &done, int timeoutMs);
// A person's click (a menu item's trigger), and the program left to come to rest after it.
class QAbstractButton;
class QAction;
void Click(QAbstractButton *button);
void Trigger(QAction *action);

template <class T> T Await(co::Task<T> &&task, int timeoutMs) {
    co::Task<T> t = std::move(task);
    if (!WaitFor([&t] { return t.done(); }, timeoutMs)) QTest::qFail("a command did not end", __FILE__, __LINE__);
    // A command the program's end cancelled has unwound: it has no result.
    try {
        if constexpr (std::is_void_v<T>) {
            if (t.done()) t.result();
        } else {
            if (t.done()) return t.result();
        }
    } catch (const co::Cancelled &) {
    }
    if constexpr (!std::is_void_v<T>) return T{};
}

// The simulated unit on an in-process device, installed as the current link.
struct SimRig {
    explicit SimRig(const sim::UnitConfig &cfg = {}, int pauseMs = 0, int timeoutMs = 150);
    ~SimRig();
    sim::SimUnit &unit() { return *m_unit; }
    sim::SimDevice &device() { return *m_device; }
    Link &link() { return *m_link; }
    QStringList lines() const { return m_unit->received(); }
    void clearLines() { m_unit->clearReceived(); }

    std::shared_ptr<sim::SimUnit> m_unit;
    sim::SimDevice *m_device = nullptr;
    Link *m_link = nullptr;
    bool m_ownsLink = true;
};

// Points an existing link at a fresh simulated unit; returns the device (owned by the link).
sim::SimDevice *AttachSim(Link &link, std::shared_ptr<sim::SimUnit> unit);

class frmVireo;
class NetPage;
class Page;
class Session;
class QAbstractButton;
class QDialog;
class QLabel;

// The real main window against the simulated unit in-process, with a scripted UI. Tests reach
// the window's controls by their names and press them as a person does.
struct AppRig {
    explicit AppRig(const sim::UnitConfig &cfg = {}, int timeoutMs = 60);
    ~AppRig();
    sim::SimUnit &unit() { return *m_unit; }
    QStringList lines() const { return m_unit->received(); }
    void clearLines() { m_unit->clearReceived(); }
    // Setting, then OK in the port dialog (answering the extension question with the 16-point module).
    void connectViaSetting(bool answerExtension = true);
    // Eight letters T/F: Start Stop Connect Disconnect Setting network Upload Download.
    QString buttons() const;

    Session &session() const;
    Link &link() const;
    // A control of the main window (its pages included) by name; the test fails when there is none.
    template <class T = QWidget> T *find(const QString &name) const {
        T *c = window()->findChild<T *>(name);
        if (!c) missing(name);
        return c;
    }
    // Presses the button, or triggers the menu item, of this name.
    void press(const QString &name) const;
    // The text of a label of the main window.
    QString text(const QString &name) const;
    QColor lamp() const;
    // The page of a kind, created on first use; the page or stand-in placed now.
    Page *page(int modelnum) const;
    NetPage *netPage(int netTyp) const;
    QWidget *shownPage() const;

    ScriptedUi ui;
    std::shared_ptr<sim::SimUnit> m_unit;
    frmVireo *w = nullptr;
    sim::SimDevice *device = nullptr;

private:
    QObject *window() const;
    void missing(const QString &name) const;
};

// Dialog steps for ScriptedUi.
int ClickComPortOk(QDialog *d);
int ClickExtCommand1(QDialog *d);
int ClickExtCommand2(QDialog *d);

class QLineEdit;
// Files as tests write and read them: lines each ended by CR LF; a whole file's bytes
// ("<missing>" when it cannot be read); bytes written over a file.
QByteArray CrLfFile(const QStringList &lines);
QByteArray ReadBytes(const QString &path);
bool WriteBytes(const QString &path, const QByteArray &bytes);

class QProcess;
// k5sim in a process of its own on a pseudo-terminal (still, its lines logged unless told): the
// device path it reports, empty when it did not start. K5simLines: the lines it has received so far.
QString StartK5sim(QProcess &sim, const QStringList &args, bool logLines = true);
QStringList K5simLines(QProcess &sim);
QString BuildFile(const QString &name); // a program beside the test's own (k5sim, vireo-cli)

// A unit of this model whose live values and points keep still, so tests can assert them.
sim::UnitConfig StillUnit(const QString &model, const QString &ext = "NONE", const QString &version = "1.02");
// Starts monitoring through the main window and stops it as the first transaction ends, so
// exactly one pass runs; returns the lines the unit received from Start on.
QStringList MonitorOnePass(AppRig &rig);
// The point cells' colours, cell 0 first: G for a set point, R for a clear one, - for neither.
QString CellColours(const QList<QLineEdit *> &cells);
// What cells showing the value's bits (cell p bit p) look like to CellColours.
QString BitColours(quint16 value, int cells = 16);
// An Upload through the main window: the page's lines (Init, then its first reading), that is
// the lines after the identification, as many as asked for.
QStringList UploadPageLines(AppRig &rig, int count);
// A Download through the main window: the page's lines between the opening "F" and the Upload after it.
QStringList DownloadPageLines(AppRig &rig);

// The one guard at the end of a test: every scripted message, dialog and answer was used, and
// nothing unscripted came (of a rig, or of a scripted seam of its own).
// Labels whose accessible name a screen reader would read instead of their text.
QStringList LabelsNamedOverTheirText(const QWidget *root);
inline QString ProblemsOf(const ScriptedUi &ui) { return ui.problems(); }
inline QString ProblemsOf(const AppRig &rig) { return rig.ui.problems(); }
#define NO_SURPRISES(x) QVERIFY2(ProblemsOf(x).isEmpty(), qPrintable(ProblemsOf(x)))

// Debian's ser2net in front of devices, on 127.0.0.1 at free ports: one accepter for each port
// given, raw TCP or Telnet with RFC 2217. The names VIREO opens them by (tcp://127.0.0.1:N,
// rfc2217://127.0.0.1:N), empty when ser2net is not installed or did not start. yamlPath: where
// its configuration is written.
struct Ser2netPort {
    QString device;
    bool rfc2217 = false;
};
QString Ser2netProgram(); // empty when absent
QStringList StartSer2net(QProcess &ser2net, const QString &yamlPath, const QList<Ser2netPort> &ports);
quint16 FreeTcpPort();
