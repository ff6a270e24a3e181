// The main window's part of the engineer's tools: the View menu, Help / About, the device in the
// status area and the model in the title. Kept apart from the commands of frmVireo.cpp.
#include "core/Globals.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "pages/Widgets.h"
#include "app/frmVireo.h"
#include "app/Dialogs.h"
#include "config/PageStore.h"
#include "link/Link.h"
#include "link/PortInfo.h"
#include "pages/Page.h"
#include "tools/CommLog.h"
#include "tools/TrendWindow.h"
#include "tools/Report.h"
#include "tools/frmAbout.h"
#include "core/Commands.h"
#include "pages/Record.h"
#include "link/PortMap.h"
#include "link/TextRoutines.h"
#include "netpages/NetPage.h"
#include "netpages/NetRecords.h"

#include <QDateTime>

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

void frmVireo::buildTools() {
    mnuView = new QMenu("View", this);
    mnuView->setObjectName("mnuView");
    menuBar()->insertMenu(mnuHelp->menuAction(), mnuView);
    mnuViewLog = mnuView->addAction("Communication log");
    mnuViewLog->setObjectName("mnuViewLog");
    mnuViewLog->setCheckable(true);
    mnuViewLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuViewTrend = mnuView->addAction("Trend");
    mnuViewTrend->setObjectName("mnuViewTrend");
    mnuViewTrend->setCheckable(true);
    mnuViewTrend->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuFilesReport = new QAction("Export Report...", this);
    mnuFilesReport->setObjectName("mnuFilesReport");
    mnuFiles->insertAction(mnuFilesVar, mnuFilesReport);
    // Read while a transaction waits, the pages could change under it: run it after, as Save does.
    connect(mnuFilesReport, &QAction::triggered, this, [this] { m_session->runner().run([this] { return mnuFilesReport_Click(); }); });
    mnuHelpAbout = mnuHelp->addAction("About");
    mnuHelpAbout->setObjectName("mnuHelpAbout");
    connect(mnuViewLog, &QAction::triggered, this, &frmVireo::mnuViewLog_Click);
    connect(mnuViewTrend, &QAction::triggered, this, &frmVireo::mnuViewTrend_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmVireo::mnuHelpAbout_Click);

    // The device COMk opened, beside "COMk".
    lblDevice = MakeLabel(fraStatus, "lblDevice", QString());
    lblDevice->setToolTip("The device the COM port opened");
    if (auto *row = qobject_cast<QBoxLayout *>(fraStatus->layout()))
        row->insertWidget(row->indexOf(lblComPortNo) + 1, lblDevice);
    connect(m_session, &Session::deviceOpened, this, [this](const QString &device) {
        // With two adapters plugged in, the description tells which one this is.
        const PortDescription p = PortInfo::describe(device);
        lblDevice->setText("(" + (p.description.isEmpty() ? device : device + ", " + p.description) + ")");
        QString tip = "The device the COM port opened";
        if (!p.summary().isEmpty()) tip += ": " + p.summary();
        if (!p.byId.isEmpty()) tip += "\n/dev/serial/by-id/" + p.byId;
        lblDevice->setToolTip(tip);
    });

    connect(this, &frmVireo::pageShown, this, [this](QWidget *form) {
        if (m_trend) m_trend->setPage(qobject_cast<Page *>(form));
    });
    // The log records from start-up: after a failure the lines that led to it are there.
    commLog();
}

CommLog *frmVireo::commLog() {
    if (!m_log) {
        m_log = new CommLog(this);
        m_log->hide();
        m_log->setLink(&m_session->link());
        connect(m_log->toggleViewAction(), &QAction::toggled, mnuViewLog, &QAction::setChecked);
    }
    return m_log;
}

void frmVireo::mnuViewLog_Click(bool show) {
    CommLog *log = commLog();
    // Docked when first opened: at start-up it only records, and makes no window of its own.
    if (show && dockWidgetArea(log) == Qt::NoDockWidgetArea) addDockWidget(Qt::RightDockWidgetArea, log);
    mnuViewLog->setChecked(show);
    if (show == !log->isHidden()) return;
    // Beside the main window: the window grows by the log's width rather than squeezing the page,
    // as far as the screen allows, and moves left if it would leave the screen.
    const bool docked = !log->isFloating() && !isMaximized() && !isFullScreen();
    log->setVisible(show);
    if (!docked) return;
    if (!show) {
        resize(qMax(WindowWidth, width() - m_logGrowth), height());
        m_logGrowth = 0;
        return;
    }
    const int grow = log->sizeHint().width();
    int target = width() + grow;
    const QScreen *s = isVisible() ? screen() : nullptr;
    const QRect avail = s ? s->availableGeometry() : QRect();
    if (s) target = qMin(target, avail.width() - (frameGeometry().width() - width()));
    m_logGrowth = qMax(0, target - width());
    resize(width() + m_logGrowth, height());
    resizeDocks({log}, {grow}, Qt::Horizontal);
    if (s && frameGeometry().right() > avail.right())
        move(qMax(avail.left(), x() - (frameGeometry().right() - avail.right())), y());
}

TrendWindow *frmVireo::trendWindow() {
    if (!m_trend) {
        m_trend = new TrendWindow(this);
        m_trend->setPage(qobject_cast<Page *>(shownPage()));
        connect(m_trend, &TrendWindow::openChanged, mnuViewTrend, &QAction::setChecked);
    }
    return m_trend;
}

void frmVireo::mnuViewTrend_Click(bool show) {
    TrendWindow *t = trendWindow();
    mnuViewTrend->setChecked(show);
    t->setVisible(show);
    if (show) {
        t->raise();
        t->activateWindow();
    }
}

void frmVireo::mnuHelpAbout_Click() { ui().showBeside(new frmAbout(this)); }

void frmVireo::updateTitle() {
    const QString model = g.UnitModel.trimmed();
    setWindowTitle(g.Connected && !model.isEmpty() ? QStringLiteral("VIREO - %1").arg(model)
                                                   : QStringLiteral("VIREO"));
}

co::Task<> frmVireo::mnuFilesReport_Click() {
    const QString model = g.UnitModel.trimmed();
    const QString name = QStringLiteral("vireo-report-%1.pdf").arg(model.isEmpty() ? QStringLiteral("unit") : model);
    const QString path = co_await AskSaveFileName(this, "PDF files (*.pdf);;All files (*)", 1, name);
    if (path.isEmpty()) co_return;
    if (!writeReport(path)) co_await MsgBox("The report could not be written to " + path + ".", AppTitle, MsgIcon::Critical);
}

bool frmVireo::writeReport(const QString &path) {
    report::Contents c;
    const QString model = g.UnitModel.trimmed();
    c.title = model.isEmpty() || model == "NONE" ? QStringLiteral("VIREO report") : "VIREO report: " + model;
    const QString device = PortMap::deviceFor(g.ComPortNo);
    const PortDescription port = PortInfo::describe(device);
    c.facts = {
        {"Model", model},
        {"Version", AfterColon(g.VersionText).trimmed()},
        {"Channels", g.ChCount > 0 ? QString::number(g.ChCount) : QString()},
        {"Extension module", g.ExtChCount > 0 ? g.ExtType : QStringLiteral("none")},
        {"Network", btnComNet->isVisible() || !btnComNet->text().isEmpty() ? btnComNet->text() : QString()},
        {"Port", QStringLiteral("COM%1 (%2)").arg(g.ComPortNo).arg(device)},
        {"Adapter", port.summary().isEmpty() ? QStringLiteral("not known") : port.summary()},
        {"Connected", g.Connected ? QStringLiteral("yes") : QStringLiteral("no")},
        {"Date", QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss")},
    };
    if (!port.byId.isEmpty()) c.facts.insert(7, {"Adapter by-id", port.byId});
    // The settings as the pages' records name them, the one description Save and Compare use too.
    if (Page *p = g.ActivePage >= 0 && g.ActivePage <= 25 ? m_pages->page(g.ActivePage) : nullptr)
        c.io = report::Rows(m_pages->settings(p));
    if (NetRecord(g.NetTyp))
        if (NetPage *n = m_pages->netPage(g.NetTyp)) {
            c.netTitle = "Network settings (" + n->windowTitle().trimmed() + ")";
            c.net = report::Rows(m_pages->settings(n));
        }
    return report::WritePdf(path, c);
}
