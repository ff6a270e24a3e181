#pragma once
// The session with the unit, beneath any window: it owns the link and runs every command
// (Connect, Upload, Download, Start and Stop, Disconnect, Setting, the network page, Open, Save,
// Exit), keeps the connection state and the unit's identity in the globals, and tells each
// change by a signal. The main window, the tools and the command-line program observe it.
#include "core/Outcome.h"
#include "core/Verify.h"

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
    void setPages(PageSet *pages) { m_pages = pages; }
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
        QString detail;    // RangeRefused: the check's text; OtherModel: the unit's model
        Outcome write;     // the writes (the download start and every page's)
        Outcome readBack;  // the Upload after them
        Verification verification;
        SentValues sent;   // every value sent, as it went out
        bool written() const {
            return end != End::RangeRefused && end != End::StartRefused && end != End::NoPage && end != End::Silent;
        }
    };

    // The commands (the main window's buttons and menu items run these).
    Outcome commandConnect();
    Outcome commandUpload();
    DownloadResult commandDownload();
    // The I/O page, the network page, or both written, then one read-back and one verification of
    // all that was sent (a file's network settings; Compare's Download of the pages that differ).
    DownloadResult downloadPages(bool io, bool network);
    void commandStart();
    void commandStop();
    // The person's Disconnect: what runs ends "cancelled".
    void commandDisconnect();
    // Setting: `ask` shows the COM dialog and returns the choice (nothing when closed without OK).
    void commandSetting(const std::function<std::optional<PortChoice>()> &ask);
    void commandNetwork();
    void commandOpen();
    void commandSave();
    void commandExit();
    // Compare with Unit: the unit read as an Upload reads it into copies of the pages, not shown;
    // `show` shows the differences and returns what the person chose.
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
    void commandCompare(const std::function<CompareChoice(const Comparison &)> &show);
    Comparison compareWithUnit();
    // The connection check, and the identification's reads (no page), for whoever needs only
    // those; false after their failure messages.
    bool checkConnection();
    bool identifyOnly();
    // File Open and Save without the file dialog.
    bool openFile(const QString &path);
    // With `error`, a failure is told there instead of in a box.
    bool saveFile(const QString &path, QString *error = nullptr);
    // The file the pages make now; empty with *error set when they cannot make one.
    QByteArray configBytes(QString *error);
    // A file's contents loaded as File Open loads them; false after the failure message.
    bool loadConfig(const QByteArray &bytes);

    // States as they stand.
    Lamp lamp() const { return m_lamp; }
    QString buttons() const { return m_buttons; }
    bool buttonEnabled(Button b) const { return m_buttons.at(b) == 'T'; }
    // The modelnum of the page last placed (99 for the stand-in), -1 before any.
    int shownPage() const { return m_shown; }
    // The page of ActivePage; null when there is none.
    IoPage *activePage();

    // The module routines' side: the port closed, the state reset (DisconnectUnit).
    void noteDisconnected();
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
    IoPage *routedPage(const QString &where);
    // The internal routing error: "Debug info" message and a disconnect.
    void debugInfo(const QString &where);
    // Every command ends with the buttons of the state it leaves: connected and idle, or not connected.
    void endCommand();
    // The line died: disconnect as the Disconnect button does and say so once.
    void connectionLost();
    void onPortLost(const QString &reason);

    // The routines of the commands.
    bool ConnectUnit();
    enum class Identified { Yes, Failed, NeedsInit, ProgramEnded };
    Identified IdentifyUnit();
    void ShowPage(int modelnum);
    void MonitorLoop();
    enum class WriteStart { Written, Refused, Silent };
    WriteStart WriteUnit(bool page, Outcome *written);
    // Disconnects as the Disconnect button does, for the session's own reasons.
    void disconnectNow();
    // Ends the program, for the session's own reasons (the unit needs initialising).
    void endProgram();
    // What Upload's identification left, as an outcome.
    Outcome identifiedOutcome(Identified id, const OutcomeScope &scope) const;
    void applyLoaded(LoadedConfig &loaded);
    // The identification's reads into the globals (an Upload's first lines); false after its failure.
    Identified identifyUnitOnly();

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

    Link *m_link;
    PageSet *m_pages = nullptr;
    Lamp m_lamp = Lamp::Off;
    QString m_buttons = QStringLiteral("FFFFFFFF");
    int m_shown = -1;
    int m_monitorDepth = 0;
    bool m_quiet = false; // Compare reads the unit: the window keeps showing the page's identity
    QString m_lostReason;
};
