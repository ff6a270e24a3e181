// The main window's part of the engineer's tools: the View menu, Help / About, the device in the
// status area and the model in the title. Kept apart from the commands of frmVireo.cpp.
#include "core/Globals.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "pages/Widgets.h"
#include "app/frmVireo.h"
#include "app/Dialogs.h"
#include "link/Link.h"
#include "pages/Page.h"
#include "tools/CommLog.h"
#include "tools/TrendWindow.h"
#include "tools/frmAbout.h"

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
    connect(m_session, &Session::deviceOpened, this,
            [this](const QString &device) { lblDevice->setText("(" + device + ")"); });

    connect(this, &frmVireo::pageShown, this, [this](QWidget *form) {
        if (m_trend) m_trend->setPage(qobject_cast<Page *>(form));
    });
}

CommLog *frmVireo::commLog() {
    if (!m_log) {
        m_log = new CommLog(this);
        m_log->hide();
        m_log->setLink(&m_session->link());
        addDockWidget(Qt::RightDockWidgetArea, m_log);
        connect(m_log->toggleViewAction(), &QAction::toggled, mnuViewLog, &QAction::setChecked);
    }
    return m_log;
}

void frmVireo::mnuViewLog_Click(bool show) {
    CommLog *log = commLog();
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

void frmVireo::mnuHelpAbout_Click() {
    frmAbout dlg(this);
    ShowModal(&dlg);
}

void frmVireo::updateTitle() {
    const QString model = g.UnitModel.trimmed();
    setWindowTitle(g.Connected && !model.isEmpty() ? QStringLiteral("VIREO - %1").arg(model)
                                                   : QStringLiteral("VIREO"));
}
