#pragma once
// The main window: it shows what the session says (the lamp, the status, the identity, the
// button row, the page) and hands the person's commands to the session.
#include <QColor>
#include "link/Task.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

class CommLog;
class Page;
class PageStore;
class Session;
class TrendWindow;
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

    Session &session() { return *m_session; }
    PageStore &pages() { return *m_pages; }
    // The I/O page (or frmNONE) placed in the client area; null before any.
    QWidget *shownPage() const { return m_shown; }
    // File / Export Report... without a file dialog: the unit, its port and every setting of the
    // pages, as a PDF; false when it cannot be written.
    bool writeReport(const QString &path);

signals:
    // An I/O page (or frmNONE) has been placed in the client area.
    void pageShown(QWidget *form);

protected:
    void closeEvent(QCloseEvent *e) override;
    bool event(QEvent *e) override;

private:
    // The handlers of the window's commands.
    void MDIForm_Load();
    co::Task<> btnSetting_Click();
    void mnuHelpVersion_Click();
    co::Task<> mnuFilesCompare_Click();
    co::Task<> mnuFilesFind_Click();
    co::Task<> mnuFilesReport_Click();
    void mnuViewLog_Click(bool show);
    void mnuViewTrend_Click(bool show);
    void mnuHelpAbout_Click();

    // What the session says, shown.
    void ShowPage(int modelnum);
    void setButtons(const QString &pattern);
    // The menu's commands follow the session's state.
    void followState();
    void setNetButton(const QString &caption, int pointSize, bool visible);
    void showLamp();
    void updateTitle();
    frmNONE *nonePage();
    void buildTools();
    CommLog *commLog();
    TrendWindow *trendWindow();

    Session *m_session;
    std::unique_ptr<PageStore> m_pages;
    frmNONE *m_none = nullptr;
    QPointer<QWidget> m_shown;
    CommLog *m_log = nullptr;
    TrendWindow *m_trend = nullptr;
    int m_logGrowth = 0; // how much the window grew for the log
    // While a monitoring pass reads, the window is drawn once, when the pass has read everything
    // (or a quarter of a second into it, whichever comes first).
    QTimer m_drawHold;
    bool m_drawPending = false;

    // Controls, by their names.
    QGroupBox *fraCom, *fraIO, *fraMonitoring, *fraStatus;
    QPushButton *btnConnect, *btnDisconnect, *btnSetting, *btnComNet;
    QPushButton *btnUpload, *btnDownload, *btnStart, *btnStop;
    LampShape *shpLamp;
    QLabel *lblComPortNo, *lblConStatus, *lblMastertype, *lblVersionNo, *lblExtName;
    QGroupBox *Frame6;
    QMenu *mnuFiles, *mnuHelp;
    QAction *mnuFilesOpen, *mnuFilesSave, *mnuFilesCompare, *mnuFilesFind, *mnuFilesVar, *mnuFilesEnd, *mnuHelpVersion;
    QWidget *pageArea;
    QMenu *mnuView;
    QAction *mnuViewLog, *mnuViewTrend, *mnuHelpAbout, *mnuFilesReport;
    QLabel *lblDevice;
    QLabel *lblNote; // a passing note of the session ("Download verified (12 values)")
};
