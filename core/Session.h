#pragma once
// The session with the unit, beneath any window: it owns the link and the command runner and
// runs every command (Connect, Upload, Download, Start and Stop, Disconnect, Setting, the network
// page, Open, Save, Compare, Exit) as a coroutine, keeps the connection state and the unit's
// identity in the globals, and tells each change by a signal. It is the one command model:
// its state says which actions can be taken now. The main window, the tools and the
// command-line program observe it and bind to it.
//
// Its parts, a file each: Session.cpp (states, the buttons, Connect, Upload, Start and Stop,
// Disconnect, Setting, the network page, Exit), Identify.cpp (the connection check and the
// identification), Download.cpp, Monitor.cpp, Files.cpp (Open, Save, a file loaded), Compare.cpp.
#include "core/Commands.h"
#include "core/Outcome.h"
#include "core/Verify.h"
#include "link/Task.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class Link;
class PageSet;
class IoPage;
class LoadedConfig;
class NetUnitPage;

// The file dialog's filters, the one preselected (from 1), and the name it offers next (the last
// one chosen in either dialog).
extern const char *const ConfigFileFilter;
constexpr int ConfigFilterIndex = 1;
QString &ConfigDialogFileName();

class Session : public QObject {
    Q_OBJECT
public:
    // Off: never set since start-up.
    enum class Lamp { Off, Disconnected, Connected, Monitoring };
    Q_ENUM(Lamp)
    // The eight command buttons, in the order of their state table.
    enum Button { Start, Stop, Connect, Disconnect, Setting, Network, Upload, Download, ButtonCount };
    // Where the session stands.
    enum class State { Disconnected, Connecting, Idle, Running, Monitoring, Ending };
    Q_ENUM(State)
    // The window's actions besides the eight buttons, and whether each can be taken now.
    enum class Action { Open, Save, ExportReport, Compare, FindUnits, Exit, Views };
    Q_ENUM(Action)

    // What the COM dialog chose: the option, and the device each option opens.
    struct PortChoice {
        int comPortNo = 1;
        QStringList devices; // index k - 1 for COMk; empty: leave as it is
    };

    explicit Session(QObject *parent = nullptr);
    ~Session() override;
    // The session the pages and the module routines work for (the one made last).
    static Session *current();

    Link &link() { return *m_link; }
    CommandRunner &runner() { return *m_runner; }
    void setPages(PageSet *pages);
    PageSet *pages() const { return m_pages; }

    // Start-up: defaults, and only Setting enabled.
    void load();

    // What a Download came to: refused before writing, written and judged by its read-back, or
    // written to a unit of another model than the page's.
    struct DownloadResult {
        enum class End {
            Verified,        // the read-back holds every value sent
            Differs,         // the unit holds other values than some sent (named)
            NotVerified,     // the read-back did not complete, or did not read a value sent
            NothingToVerify, // the page sends nothing the unit reports back
            OtherModel,      // written, but the unit is another model: nothing compared
            RangeRefused,    // the page's check refused it: nothing written
            StartRefused,    // the unit answered the download start with a refusal
            Silent,          // nothing answered the download start: nothing written
            NoPage,          // no page to download from
            Cancelled,       // the person's Disconnect or Exit, before or while writing
        };
        End end = End::NoPage;
        QString detail;    // RangeRefused: what the check refused; OtherModel: the unit's model
        Outcome write;     // the writes (the download start and every page's)
        Outcome readBack;  // the Upload after them
        Verification verification;
        SentValues sent;   // every value sent, as it went out
        bool written() const {
            return end != End::RangeRefused && end != End::StartRefused && end != End::NoPage && end != End::Silent;
        }
    };

    // The commands (the main window's buttons and menu items run these through the runner).
    co::Task<Outcome> commandConnect();
    co::Task<Outcome> commandUpload();
    co::Task<DownloadResult> commandDownload();
    // The I/O page, the network page, or both written, then one read-back and one verification of
    // all that was sent (a file's network settings; Compare's Download of the pages that differ).
    co::Task<DownloadResult> downloadPages(bool io, bool network);
    // Monitoring: passes one after another until Stop; the main loop runs between passes, and a
    // click held during a pass runs there. Ends when monitoring ends.
    co::Task<> commandStart();
    void commandStop();
    // The person's Disconnect: what runs ends "cancelled".
    void commandDisconnect();
    // Setting: `ask` shows the COM dialog and gives the choice (nothing when closed without OK).
    co::Task<> commandSetting(std::function<co::Task<std::optional<PortChoice>>()> ask);
    co::Task<> commandNetwork();
    co::Task<> commandOpen();
    co::Task<> commandSave();
    // Exit: the command under way is cancelled and unwinds; the program ends.
    void commandExit();
    // Compare with Unit: the unit read as an Upload reads it into copies of the pages, not shown;
    // `show` shows the differences and gives what the person chose.
    enum class CompareChoice { Close, Download, Upload };
    struct Comparison {
        bool read = false;  // the unit was read completely (else nothing was compared)
        Outcome outcome;    // of the reading
        QString refusal;    // a unit of another model: nothing was compared
        QString unitModel;
        QList<Difference> rows;
        int values = 0;     // settings compared
        bool ioDiffers = false, networkDiffers = false;
    };
    co::Task<> commandCompare(std::function<co::Task<CompareChoice>(const Comparison &)> show);
    co::Task<Comparison> compareWithUnit();
    // The connection check, and the identification's reads (no page), for whoever needs only
    // those; false after their failure messages.
    co::Task<bool> checkConnection();
    co::Task<bool> identifyOnly();
    // File Open and Save without the file dialog. With `error`, a failure is told there instead
    // of in a box.
    co::Task<bool> openFile(QString path);
    co::Task<bool> saveFile(QString path, QString *error = nullptr);
    // The file the pages make now; empty with *error set when they cannot make one.
    QByteArray configBytes(QString *error);
    // A file's contents loaded as File Open loads them; false after the failure message.
    co::Task<bool> loadConfig(QByteArray bytes);
    // A file of this model is not for the unit on the line (the one identified last).
    static bool otherModel(const QString &fileModel);
    // The port COMk opens the device given (the command-line program's port).
    void choosePort(int comPortNo, const QString &device = {});

    // States as they stand.
    Lamp lamp() const { return m_lamp; }
    State state() const;
    bool actionEnabled(Action a) const;
    QString buttons() const { return m_buttons; }
    bool buttonEnabled(Button b) const { return m_buttons.at(b) == 'T'; }
    // The modelnum of the page last placed (99 for the stand-in), -1 before any.
    int shownPage() const { return m_shown; }
    // The page of ActivePage; null when there is none.
    IoPage *activePage();

    // A page that gave the unit up (Link::dropUnit) ends the connection here.
    void disconnectUnit();
    // Sets NetTyp from the model text's first four characters, and tells the network button.
    void SetNetType(const QString &model);

signals:
    void lampChanged(Session::Lamp lamp);
    void statusChanged(const QString &text); // "Connected" / "Disconnected"
    void comPortChanged(int comPortNo);
    void deviceOpened(const QString &device);
    void modelChanged(const QString &model);
    void versionChanged(const QString &versionText);
    void extensionChanged(const QString &caption); // "+XD16" and so on; empty when none
    // The network button: caption, font size in points (0: unchanged), visible.
    void networkButtonChanged(const QString &caption, int points, bool visible);
    // Place the page of this modelnum; any value outside 0 to 25 is the stand-in for unknown models.
    void pageToShow(int modelnum);
    void buttonsChanged(const QString &pattern); // eight T/F in the order of Button
    // The state, and with it which actions can be taken, changed.
    void stateChanged(Session::State state);
    // The connection, or the model of the unit connected, changed (the window's title).
    void unitChanged();
    // A passing note for the status area ("Download verified (12 values)").
    void noteShown(const QString &text);
    // A monitoring pass begins to read the page's live values, and has read them.
    void passStarted();
    void passDone();

private:
    enum class Route { None, Page, Invalid };
    // The one place that turns ActivePage into a page: -1 none, 0..25 a page, anything else invalid.
    Route route(IoPage *&p);
    // The page of ActivePage; null when there is none, or after the routing error was reported.
    co::Task<IoPage *> routedPage(QString where);
    // The internal routing error: "Debug info" message and a disconnect.
    co::Task<> debugInfo(QString where);
    // Every command ends with the buttons of the state it leaves: connected and idle, or not connected.
    co::Task<> endCommand();
    // The line died: disconnect as the Disconnect button does and say so once.
    co::Task<> connectionLost();
    void onPortLost(const QString &reason);

    // The routines of the commands.
    co::Task<bool> ConnectUnit();
    enum class Identified { Yes, Failed, NeedsInit, ProgramEnded };
    co::Task<Identified> IdentifyUnit();
    void ShowPage(int modelnum);
    co::Task<> MonitorLoop();
    enum class WriteStart { Written, Refused, Silent };
    co::Task<WriteStart> WriteUnit(bool page, Outcome *written);
    // Disconnects as the Disconnect button does, for the session's own reasons.
    void disconnectNow();
    // Ends the program, for the session's own reasons (the unit needs initialising).
    void endProgram();
    // What Upload's identification left, as an outcome.
    Outcome identifiedOutcome(Identified id, const OutcomeScope &scope) const;
    void applyLoaded(LoadedConfig &loaded);
    // The identification's reads into the globals (an Upload's first lines); false after its failure.
    co::Task<Identified> identifyUnitOnly();
    void noteDisconnected();

    // The button rows of the state table.
    void setButtons(const QString &pattern);
    void setButton(Button b, bool enabled);
    void all_btn_control(bool b);
    void io_btn_control(bool b);
    void monitor_btn_control();
    void connect_btn_control();
    void stop_btn_control();
    void setting_btn_control();
    void disconnect_btn_control();

    void setLamp(Lamp l);
    void setStatus(const QString &text);
    void showExtension();
    void tellState();

    Link *m_link;
    CommandRunner *m_runner;
    PageSet *m_pages = nullptr;
    Lamp m_lamp = Lamp::Off;
    QString m_buttons = QStringLiteral("FFFFFFFF");
    int m_shown = -1;
    int m_monitorDepth = 0;
    bool m_quiet = false; // Compare reads the unit: the window keeps showing the page's identity
    bool m_connecting = false;
    State m_told = State::Disconnected;
    QString m_lostReason;
};
