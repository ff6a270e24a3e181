#pragma once
// The main window: the commands, the button states, the status display and the monitoring loop.
#include <QColor>
#include <QMainWindow>
#include <QMap>
#include <QPointer>

class CommLog;
class Link;
class Page;
class TrendWindow;
class NetPage;
class frmNONE;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;

// The connection lamp: a filled round shape.
class LampShape : public QWidget {
    Q_OBJECT
public:
    explicit LampShape(QWidget *parent = nullptr);
    void setFillColor(const QColor &c);
    QColor fillColor() const { return m_color; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_color;
};

class frmVireo : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int WindowWidth = 808;  // 12120 twips
    static constexpr int WindowHeight = 573; // 8600 twips

    explicit frmVireo(QWidget *parent = nullptr);
    ~frmVireo() override;
    Link &link() { return *m_link; }

    // Commands.
    void MDIForm_Load();
    void btnConnect_Click();
    void btnDisconnect_Click();
    void btnSetting_Click();
    void btnComNet_Click();
    void btnUpload_Click();
    void btnDownload_Click();
    void btnStart_Click();
    void btnStop_Click();
    void mnuFilesOpen_Click();
    void mnuFilesSave_Click();
    void mnuFilesEnd_Click();
    void mnuHelpVersion_Click();

    // Button states.
    void all_btn_control(bool b);
    void io_btn_control(bool b);
    void disconnect_btn_control();

    // The monitoring passes; returns when monitoring ends.
    void MonitorLoop();
    // The download start and the page's download; false when the unit did not accept the start.
    bool WriteUnit();

    // Time-out timer operations of the transaction.
    void IntervalTimerOn(int ms);
    void IntervalTimerOff();
    void IntervalTimerCheck(bool &flag);
    void IntervalTimer_Timer();

    // The page of a kind, created on first use; null for a kind without a page.
    Page *page(int modelnum);
    // The network page of a network kind, created on first use; null for none.
    NetPage *netPage(int netTyp);
    frmNONE *nonePage();
    // Places an I/O page (or frmNONE) in the client area.
    void ShowPage(QWidget *form);
    QWidget *shownPage() const { return m_shown; }
    // Shows the chosen extension module in the status area.
    void showExtension();
    // The network button as the network kind wants it.
    void setNetButton(const QString &caption, int pointSize, bool visible);

    // Controls, by their names.
    QGroupBox *fraCom, *fraIO, *fraMonitoring, *fraStatus;
    QPushButton *btnConnect, *btnDisconnect, *btnSetting, *btnComNet;
    QPushButton *btnUpload, *btnDownload, *btnStart, *btnStop;
    LampShape *shpLamp;
    QLabel *lblComPortNo, *lblConStatus, *lblMastertype, *lblVersionNo, *lblExtName;
    QGroupBox *Frame6;
    QMenu *mnuFiles, *mnuHelp;
    QAction *mnuFilesOpen, *mnuFilesSave, *mnuFilesVar, *mnuFilesEnd, *mnuHelpVersion;
    QWidget *pageArea;

    // The engineer's tools: communication log, trend, About, and what the title and status show.
    QMenu *mnuView;
    QAction *mnuViewLog, *mnuViewTrend, *mnuHelpAbout, *mnuFilesReport;
    QLabel *lblDevice;
    // Created on first use.
    CommLog *commLog();
    TrendWindow *trendWindow();
    void mnuViewLog_Click(bool show);
    void mnuViewTrend_Click(bool show);
    void mnuHelpAbout_Click();
    // File / Export Report...: the unit, its port and every setting of the pages, as a PDF.
    void mnuFilesReport_Click();
    // The same written to path without a file dialog; false when it cannot be written.
    bool writeReport(const QString &path);
    // "VIREO" alone, or with the model of the connected unit.
    void updateTitle();

signals:
    // An I/O page (or frmNONE) has been placed in the client area.
    void pageShown(QWidget *form);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    enum class Route { None, Page, Invalid };
    // The one place that turns ActivePage into a page: -1 none, 0..25 a page, anything else invalid.
    Route route(Page *&p);
    // The page of ActivePage; null when there is none, or after the routing error was reported.
    Page *routedPage(const QString &where);
    // The internal routing error: "Debug info" message and a disconnect.
    void debugInfo(const QString &where);
    // Every command ends with the buttons of the state it leaves: connected and idle, or not connected.
    void endCommand();
    // The line died: disconnect as the Disconnect button does and say so once.
    void connectionLost();
    void monitor_btn_control();
    void connect_btn_control();
    void stop_btn_control();
    void setting_btn_control();
    void setButtons(const QString &pattern); // eight T/F in the column order of the state table
    void onPortLost(const QString &reason);
    void buildTools();

    Link *m_link;
    QMap<int, Page *> m_pages;
    QMap<int, NetPage *> m_netPages;
    frmNONE *m_none = nullptr;
    QPointer<QWidget> m_shown;
    int m_monitorDepth = 0;
    QString m_lostReason;
    CommLog *m_log = nullptr;
    TrendWindow *m_trend = nullptr;
    int m_logGrowth = 0; // how much the window grew for the log
};

// The main window, for the routines and dialogs that address it by name.
frmVireo *MainForm();
