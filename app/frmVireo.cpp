#include "app/frmVireo.h"
#include "app/Colors.h"
#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/Globals.h"
#include "app/Identify.h"
#include "app/Ui.h"
#include "app/Widgets.h"
#include "config/ConfigFile.h"
#include "link/Link.h"
#include "link/Protocol.h"
#include "pages/Page.h"
#include "pages/PageRegistry.h"
#include "netpages/NetPage.h"
#include "netpages/NetPages.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>
#include <utility>

namespace {
frmVireo *mainForm = nullptr;
}

frmVireo *MainForm() { return mainForm; }

// ---- LampShape

LampShape::LampShape(QWidget *parent) : QWidget(parent), m_color(Qt::lightGray) {
    setObjectName("shpLamp");
    setFixedSize(22, 22);
    setAccessibleName("Connection lamp");
}

void LampShape::setFillColor(const QColor &c) {
    // Set on every monitoring pass: repaint only on a change.
    if (c == m_color) return;
    m_color = c;
    update();
}

void LampShape::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(m_color);
    p.drawEllipse(rect().adjusted(1, 1, -2, -2));
}

// ---- frmVireo

frmVireo::frmVireo(QWidget *parent) : QMainWindow(parent), m_link(new Link(this)) {
    mainForm = this;
    setObjectName("frmVireo");
    setWindowTitle("VIREO");

    mnuFiles = menuBar()->addMenu("File");
    mnuFiles->setObjectName("mnuFiles");
    mnuFilesOpen = mnuFiles->addAction("Open");
    mnuFilesOpen->setObjectName("mnuFilesOpen");
    mnuFilesSave = mnuFiles->addAction("Save");
    mnuFilesSave->setObjectName("mnuFilesSave");
    mnuFilesVar = mnuFiles->addSeparator();
    mnuFilesVar->setObjectName("mnuFilesVar");
    mnuFilesEnd = mnuFiles->addAction("Exit");
    mnuFilesEnd->setObjectName("mnuFilesEnd");
    mnuHelp = menuBar()->addMenu("Help");
    mnuHelp->setObjectName("mnuHelp");
    mnuHelpVersion = mnuHelp->addAction("Version");
    mnuHelpVersion->setObjectName("mnuHelpVersion");

    auto *central = new QWidget(this);
    central->setObjectName("clientArea");
    setCentralWidget(central);
    auto *outer = new QGridLayout(central);
    outer->setContentsMargins(0, 0, 6, 4);
    outer->setSpacing(6);

    pageArea = new QWidget(central);
    pageArea->setObjectName("pageArea");
    pageArea->setFixedSize(Page::PageWidth, Page::PageHeight);
    outer->addWidget(pageArea, 0, 0, Qt::AlignLeft | Qt::AlignTop);

    auto *side = new QVBoxLayout;
    side->setContentsMargins(0, 6, 0, 0);
    auto frame = [&](const QString &name, const QString &caption, QList<QPushButton **> buttons,
                     QStringList names, QStringList captions) {
        QGroupBox *f = MakeFrame(central, name, caption);
        auto *v = new QVBoxLayout(f);
        v->setSpacing(4);
        for (int i = 0; i < buttons.size(); ++i) {
            *buttons[i] = MakeButton(f, names[i], captions[i]);
            (*buttons[i])->setMinimumHeight(28);
            v->addWidget(*buttons[i]);
        }
        side->addWidget(f);
        return f;
    };
    fraCom = frame("fraCom", "Com", {&btnConnect, &btnDisconnect, &btnSetting, &btnComNet},
                   {"btnConnect", "btnDisconnect", "btnSetting", "btnComNet"},
                   {"Connect", "Disconnect", "Setting", QString()});
    fraIO = frame("fraIO", "I/O", {&btnUpload, &btnDownload}, {"btnUpload", "btnDownload"}, {"Upload", "Download"});
    fraMonitoring = frame("fraMonitoring", "Monitoring", {&btnStart, &btnStop}, {"btnStart", "btnStop"},
                          {"Start", "Stop"});
    side->addStretch();
    outer->addLayout(side, 0, 1);
    outer->setColumnStretch(1, 1);

    fraStatus = MakeFrame(central, "fraStatus", QString());
    auto *status = new QHBoxLayout(fraStatus);
    status->setContentsMargins(8, 2, 8, 2);
    shpLamp = new LampShape(fraStatus);
    lblComPortNo = MakeLabel(fraStatus, "lblComPortNo", "COM1");
    lblConStatus = MakeLabel(fraStatus, "lblConStatus", "Disconnected");
    lblMastertype = MakeLabel(fraStatus, "lblMastertype", "Welcome");
    lblVersionNo = MakeLabel(fraStatus, "lblVersionNo", QString());
    lblConStatus->setMinimumWidth(90);
    lblMastertype->setMinimumWidth(110);
    QFont bold = lblMastertype->font();
    bold.setBold(true);
    lblMastertype->setFont(bold);
    Frame6 = MakeFrame(fraStatus, "Frame6", QString());
    auto *f6 = new QHBoxLayout(Frame6);
    f6->setContentsMargins(6, 0, 6, 0);
    lblExtName = MakeLabel(Frame6, "lblExtName", QString());
    lblExtName->setFont(bold);
    f6->addWidget(lblExtName);
    status->addWidget(shpLamp);
    status->addWidget(lblComPortNo);
    status->addSpacing(8);
    status->addWidget(lblConStatus);
    status->addSpacing(16);
    status->addWidget(lblMastertype);
    status->addWidget(Frame6);
    status->addSpacing(16);
    status->addWidget(lblVersionNo);
    status->addStretch();
    outer->addWidget(fraStatus, 1, 0, 1, 2);
    outer->setRowStretch(2, 1);

    // Stop and Disconnect act at once; the others never run inside another command's wait.
    ConnectCommand(btnConnect, [this] { btnConnect_Click(); });
    connect(btnDisconnect, &QPushButton::clicked, this, &frmVireo::btnDisconnect_Click);
    ConnectCommand(btnSetting, [this] { btnSetting_Click(); });
    ConnectCommand(btnComNet, [this] { btnComNet_Click(); });
    ConnectCommand(btnUpload, [this] { btnUpload_Click(); });
    ConnectCommand(btnDownload, [this] { btnDownload_Click(); });
    ConnectCommand(btnStart, [this] { btnStart_Click(); });
    connect(btnStop, &QPushButton::clicked, this, &frmVireo::btnStop_Click);
    // A file opened while a transaction waits would change the page under it: run it after.
    connect(mnuFilesOpen, &QAction::triggered, this, [this] { RunCommand([this] { mnuFilesOpen_Click(); }); });
    connect(mnuFilesSave, &QAction::triggered, this, [this] { RunCommand([this] { mnuFilesSave_Click(); }); });
    connect(mnuFilesEnd, &QAction::triggered, this, &frmVireo::mnuFilesEnd_Click);
    connect(mnuHelpVersion, &QAction::triggered, this, &frmVireo::mnuHelpVersion_Click);
    connect(m_link, &Link::comPortSelected, this,
            [this](int k) { lblComPortNo->setText(QStringLiteral("COM%1").arg(k)); });
    connect(m_link, &Link::portLost, this, &frmVireo::onPortLost);
    buildTools();

    Link::setCurrent(m_link);
    MainWindowHooks hooks;
    hooks.disconnected = [this] {
        shpLamp->setFillColor(Colors::LampDisconnected);
        lblConStatus->setText("Disconnected");
        updateTitle();
    };
    hooks.connectCommand = [this] { btnConnect_Click(); };
    SetMainWindowHooks(hooks);
    MDIForm_Load();
}

frmVireo::~frmVireo() {
    SetMainWindowHooks({});
    UnloadProgress();
    if (Link::current() == m_link) Link::setCurrent(nullptr);
    if (mainForm == this) mainForm = nullptr;
}

void frmVireo::MDIForm_Load() {
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    resize(WindowWidth, WindowHeight);
    InitGlobals();
    Frame6->setVisible(false);
    btnComNet->setVisible(false);
    lblComPortNo->setText(QStringLiteral("COM%1").arg(g.ComPortNo));
    setButtons("FFFFTFFF");
    btnSetting->setFocus();
}

// ---- button states (columns: Start Stop Connect Disconnect Setting network Upload Download)

void frmVireo::setButtons(const QString &p) {
    QPushButton *order[] = {btnStart, btnStop, btnConnect, btnDisconnect, btnSetting, btnComNet, btnUpload, btnDownload};
    for (int i = 0; i < 8; ++i) order[i]->setEnabled(p.at(i) == 'T');
}

void frmVireo::all_btn_control(bool b) { setButtons(b ? "TTTTTTTT" : "FFFFFFFF"); }

void frmVireo::io_btn_control(bool b) {
    const QString x = b ? "T" : "F";
    setButtons(x + "FF" + x + x + x + x + x);
}

void frmVireo::monitor_btn_control() {
    setButtons("FTFTFFFF");
    g.Monitoring = true;
}

void frmVireo::connect_btn_control() { setButtons(g.Connected ? "TFFTTTTT" : "TFTFTFFF"); }

void frmVireo::stop_btn_control() {
    setButtons(g.Connected ? "TFFTTTTT" : "TFTFFFFF");
    g.Monitoring = false;
}

void frmVireo::setting_btn_control() { setButtons(g.Connected ? "TFFTTTTT" : "TFTFFFFF"); }

void frmVireo::disconnect_btn_control() { setButtons("FFTFTFFF"); }

// ---- routing

frmVireo::Route frmVireo::route(Page *&p) {
    p = nullptr;
    if (g.ActivePage == -1) return Route::None;
    if (g.ActivePage >= 0 && g.ActivePage <= 25) p = page(g.ActivePage);
    return p ? Route::Page : Route::Invalid;
}

Page *frmVireo::routedPage(const QString &where) {
    Page *p = nullptr;
    const Route r = route(p);
    if (r == Route::Invalid) debugInfo(where);
    return r == Route::Page ? p : nullptr;
}

void frmVireo::debugInfo(const QString &where) {
    MsgBox("Not definced modelnum in frmVireo -> " + where, "Debug info", MsgIcon::Critical);
    DisconnectUnit();
}

void frmVireo::endCommand() {
    // A line that died under the command and was not reported by it is reported now.
    if (g.Connected && !m_link->isOpen()) return connectionLost();
    if (g.Connected) io_btn_control(true);
    else connect_btn_control();
}

void frmVireo::connectionLost() {
    const QString reason = std::exchange(m_lostReason, QString());
    btnDisconnect_Click();
    if (!reason.isEmpty()) MsgBox("The connection to the unit was lost: " + reason, "Connection", MsgIcon::Critical);
}

Page *frmVireo::page(int modelnum) {
    if (Page *p = m_pages.value(modelnum)) return p;
    const PageKind *kind = FindPageKind(modelnum);
    if (!kind || !kind->create) return nullptr;
    Page *p = kind->create(pageArea);
    p->hide();
    m_pages.insert(modelnum, p);
    return p;
}

NetPage *frmVireo::netPage(int netTyp) {
    if (NetPage *p = m_netPages.value(netTyp)) return p;
    NetPage *p = CreateNetPage(netTyp, this);
    if (p) m_netPages.insert(netTyp, p);
    return p;
}

frmNONE *frmVireo::nonePage() {
    if (!m_none) {
        m_none = new frmNONE(pageArea);
        m_none->hide();
    }
    return m_none;
}

void frmVireo::ShowPage(QWidget *form) {
    if (m_shown && m_shown != form) m_shown->hide();
    form->hide();
    form->move(0, 0);
    form->resize(Page::PageWidth, Page::PageHeight);
    form->show();
    m_shown = form;
    g.PageShown = true;
    emit pageShown(form);
}

void frmVireo::showExtension() {
    const bool shown = g.ExtChCount > 0 && !g.ExtType.isEmpty();
    lblExtName->setText(shown ? "+" + g.ExtType : QString());
    Frame6->setVisible(shown);
}

void frmVireo::setNetButton(const QString &caption, int pointSize, bool visible) {
    btnComNet->setText(caption);
    if (pointSize > 0) {
        QFont f = btnComNet->font();
        f.setPointSize(pointSize);
        btnComNet->setFont(f);
    }
    btnComNet->setVisible(visible);
}

// ---- commands

void frmVireo::btnConnect_Click() {
    all_btn_control(false);
    m_lostReason.clear();
    ConnectUnit(*this);
    btnUpload_Click();
    if (g.ProgramEnding) return;
    connect_btn_control();
}

void frmVireo::btnUpload_Click() {
    all_btn_control(false);
    const IdentifyResult id = IdentifyUnit(*this);
    if (id == IdentifyResult::ProgramEnded || g.ProgramEnding) return;
    updateTitle();
    // Once the link is down the rest of the Upload could only fail again.
    if (!m_link->isOpen()) return endCommand();
    Page *p = routedPage("btnUpload");
    if (!p) return endCommand();
    p->ReadingData();
    if (g.ProgramEnding) return;
    if (!m_link->isOpen()) return endCommand();
    if (NetPage *n = netPage(g.NetTyp)) n->btnUpload_Click();
    if (g.ProgramEnding) return;
    endCommand();
}

void frmVireo::btnDownload_Click() {
    g.ChkErrNo = 0;
    all_btn_control(false);
    Page *p = routedPage("btnDownload");
    if (!p) return endCommand();
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
    if (ok) {
        const WriteStart start = WriteUnit();
        if (g.ProgramEnding) return;
        if (start == WriteStart::Refused) {
            // A read-back now would put the unit's old values over the edits, and say nothing.
            if (m_link->isOpen())
                MsgBox("The unit did not accept the start of the download.\r\n"
                       "Nothing was written; the edited values are still on the page.",
                       "Download", MsgIcon::Critical);
            return endCommand();
        }
        // Written, or nothing came back at all: the Upload that follows reads back or reports.
        btnUpload_Click();
    } else {
        MsgBox("Data Error \r\n" + detail, "Data Range Error", MsgIcon::Critical);
        io_btn_control(true);
    }
}

frmVireo::WriteStart frmVireo::WriteUnit() {
    const quint64 answersBefore = m_link->answers();
    if (WriteItemRetry(3, "00", "01", "F").isEmpty())
        return m_link->answers() == answersBefore ? WriteStart::Silent : WriteStart::Refused;
    Page *p = nullptr;
    if (route(p) == Route::Page) p->Download();
    return WriteStart::Written;
}

void frmVireo::btnStart_Click() {
    if (!g.Connected) {
        btnConnect_Click();
        if (g.ProgramEnding) return;
    }
    Page *p = routedPage("btnStart_Click");
    if (!p) return endCommand();
    p->onStart();
    monitor_btn_control();
    // Started again from inside a pass that Stop had ended: that loop simply carries on.
    if (m_monitorDepth > 0) return;
    MonitorLoop();
}

void frmVireo::MonitorLoop() {
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
            shpLamp->setFillColor(Colors::LampMonitoring);
            Page *p = nullptr;
            if (route(p) != Route::Page) break;
            CommandScope pass;
            p->ReadingData();
        }
    }
    --m_monitorDepth;
    if (m_monitorDepth > 0 || g.ProgramEnding) return;
    // Stopped during the pass in which the line died: nothing in the loop saw it.
    if (g.Connected && !m_link->isOpen()) connectionLost();
    // A page's own failure routine disconnected during a pass: the buttons and the page follow
    // as after Disconnect, not as during monitoring (or after a Stop that came first).
    else if (!g.Connected) btnDisconnect_Click();
}

void frmVireo::onPortLost(const QString &reason) {
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

void frmVireo::btnStop_Click() {
    stop_btn_control();
    Page *p = routedPage("btnStop_Click");
    if (!p) return endCommand();
    p->onStop();
    shpLamp->setFillColor(Colors::LampConnected);
}

void frmVireo::btnDisconnect_Click() {
    shpLamp->setFillColor(Colors::LampDisconnected);
    DisconnectUnit();
    if (Page *p = routedPage("btnDisconnect")) p->onDisconnect();
    disconnect_btn_control();
}

void frmVireo::btnSetting_Click() {
    all_btn_control(false);
    {
        frmComPort dlg(this);
        ShowModal(&dlg);
    }
    if (g.ProgramEnding) return;
    setting_btn_control();
    btnSetting->setEnabled(!g.Connected);
}

void frmVireo::btnComNet_Click() {
    if (g.NetTyp < 0 || g.NetTyp > 7) {
        MsgBox("Not definced NetTyp in frmVireo -> btnComNet", "Debug info", MsgIcon::Critical);
        DisconnectUnit();
        return endCommand();
    }
    all_btn_control(false);
    if (NetPage *n = netPage(g.NetTyp)) ShowModal(n);
    if (g.ProgramEnding) return;
    setting_btn_control();
    {
        frmNotice notice(this);
        ShowModal(&notice);
    }
    if (g.ProgramEnding) return;
    btnSetting->setEnabled(!g.Connected);
}

void frmVireo::mnuFilesOpen_Click() {
    LoadConfigFile();
    // While monitoring, Download stays off with the rest of the command row.
    if (g.Connected && !g.Monitoring) btnDownload->setEnabled(true);
}

void frmVireo::mnuFilesSave_Click() { SaveConfigFile(); }

void frmVireo::mnuFilesEnd_Click() {
    if (g.ProgramEnding) return;
    m_link->shutDown();
    DropHeldCommands();
    g.ProgramEnding = true;
    g.Monitoring = false;
    UnloadProgress();
    ui().endProgram();
}

void frmVireo::mnuHelpVersion_Click() {
    frmVersion dlg(this);
    ShowModal(&dlg);
}

void frmVireo::closeEvent(QCloseEvent *e) {
    mnuFilesEnd_Click();
    e->accept();
}

void frmVireo::IntervalTimerOn(int ms) { m_link->IntervalTimerOn(ms); }
void frmVireo::IntervalTimerOff() { m_link->IntervalTimerOff(); }
void frmVireo::IntervalTimerCheck(bool &flag) { m_link->IntervalTimerCheck(flag); }
void frmVireo::IntervalTimer_Timer() { m_link->IntervalTimer_Timer(); }
