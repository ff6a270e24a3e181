#include "app/frmVireo.h"
#include "app/Dialogs.h"
#include "app/frmCompare.h"
#include "app/frmFindUnits.h"
#include "core/Commands.h"
#include "core/Globals.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "pages/Colors.h"
#include "pages/Page.h"
#include "config/PageStore.h"
#include "pages/Widgets.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

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

frmVireo::frmVireo(QWidget *parent) : QMainWindow(parent), m_session(new Session(this)) {
    setObjectName("frmVireo");
    setWindowTitle("VIREO");
    SetDialogOwner(this);

    mnuFiles = menuBar()->addMenu("File");
    mnuFiles->setObjectName("mnuFiles");
    mnuFilesOpen = mnuFiles->addAction("Open");
    mnuFilesOpen->setObjectName("mnuFilesOpen");
    mnuFilesSave = mnuFiles->addAction("Save");
    mnuFilesSave->setObjectName("mnuFilesSave");
    mnuFilesCompare = mnuFiles->addAction("Compare with Unit...");
    mnuFilesCompare->setObjectName("mnuFilesCompare");
    mnuFilesCompare->setEnabled(false);
    mnuFilesFind = mnuFiles->addAction("Find Units...");
    mnuFilesFind->setObjectName("mnuFilesFind");
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
    lblNote = MakeLabel(fraStatus, "lblNote", QString());
    status->addWidget(lblNote);
    outer->addWidget(fraStatus, 1, 0, 1, 2);
    outer->setRowStretch(2, 1);

    m_pages = std::make_unique<PageStore>(pageArea, this);
    m_session->setPages(m_pages.get());

    // What the session says, shown.
    Session *s = m_session;
    connect(s, &Session::lampChanged, this, &frmVireo::showLamp);
    connect(s, &Session::statusChanged, lblConStatus, &QLabel::setText);
    connect(s, &Session::comPortChanged, this, [this](int k) { lblComPortNo->setText(QStringLiteral("COM%1").arg(k)); });
    connect(s, &Session::modelChanged, lblMastertype, &QLabel::setText);
    connect(s, &Session::versionChanged, lblVersionNo, &QLabel::setText);
    connect(s, &Session::extensionChanged, this, [this](const QString &caption) {
        lblExtName->setText(caption);
        Frame6->setVisible(!caption.isEmpty());
    });
    connect(s, &Session::networkButtonChanged, this, &frmVireo::setNetButton);
    connect(s, &Session::pageToShow, this, &frmVireo::ShowPage);
    connect(s, &Session::buttonsChanged, this, &frmVireo::setButtons);
    connect(s, &Session::stateChanged, this, &frmVireo::followState);
    connect(s, &Session::unitChanged, this, &frmVireo::updateTitle);
    // A pass's values arrive one transaction after another; drawn as they come, the window is
    // drawn and sent to the screen once for each of them.
    // A box opened inside a pass, or a long pass, must not leave the window undrawn: the hold
    // lasts a quarter of a second at most.
    m_drawHold.setSingleShot(true);
    m_drawHold.setInterval(250);
    auto release = [this] {
        m_drawHold.stop();
        if (std::exchange(m_drawPending, false)) QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest));
    };
    connect(&m_drawHold, &QTimer::timeout, this, release);
    connect(s, &Session::passStarted, this, [this] { m_drawHold.start(); });
    connect(s, &Session::passDone, this, release);

    // Stop and Disconnect act at once; the others never run inside another command.
    ConnectCommand(btnConnect, [s]() -> co::Task<> { co_await s->commandConnect(); });
    connect(btnDisconnect, &QPushButton::clicked, s, &Session::commandDisconnect);
    ConnectCommand(btnSetting, [this] { return btnSetting_Click(); });
    ConnectCommand(btnComNet, [s] { return s->commandNetwork(); });
    ConnectCommand(btnUpload, [s]() -> co::Task<> { co_await s->commandUpload(); });
    ConnectCommand(btnDownload, [s]() -> co::Task<> { co_await s->commandDownload(); });
    ConnectCommand(btnStart, [s] { return s->commandStart(); });
    connect(btnStop, &QPushButton::clicked, s, &Session::commandStop);
    // Menu commands by the same rule as the buttons: after a running command, never inside it.
    auto command = [s](QAction *a, std::function<co::Task<>()> c) {
        connect(a, &QAction::triggered, s, [s, c] { s->runner().run(c); });
    };
    command(mnuFilesOpen, [s] { return s->commandOpen(); });
    command(mnuFilesSave, [s] { return s->commandSave(); });
    connect(mnuFilesEnd, &QAction::triggered, s, &Session::commandExit);
    connect(mnuHelpVersion, &QAction::triggered, this, &frmVireo::mnuHelpVersion_Click);
    command(mnuFilesCompare, [this] { return mnuFilesCompare_Click(); });
    command(mnuFilesFind, [this] { return mnuFilesFind_Click(); });
    connect(s, &Session::noteShown, this, [this](const QString &text) {
        lblNote->setText(text);
        // It passes: the next command's state replaces it.
        QTimer::singleShot(8000, lblNote, [this, text] {
            if (lblNote->text() == text) lblNote->clear();
        });
    });
    buildTools();
    MDIForm_Load();
}

frmVireo::~frmVireo() {
    m_session->setPages(nullptr);
    if (DialogOwner() == this) SetDialogOwner(nullptr);
}

void frmVireo::MDIForm_Load() {
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    resize(WindowWidth, WindowHeight);
    m_session->load();
    btnSetting->setFocus();
}

// ---- what the session says

void frmVireo::setButtons(const QString &p) {
    QPushButton *order[] = {btnStart, btnStop, btnConnect, btnDisconnect, btnSetting, btnComNet, btnUpload, btnDownload};
    for (int i = 0; i < 8; ++i) order[i]->setEnabled(p.at(i) == 'T');
}

void frmVireo::followState() {
    const Session &s = *m_session;
    mnuFilesOpen->setEnabled(s.actionEnabled(Session::Action::Open));
    mnuFilesSave->setEnabled(s.actionEnabled(Session::Action::Save));
    mnuFilesReport->setEnabled(s.actionEnabled(Session::Action::ExportReport));
    mnuFilesCompare->setEnabled(s.actionEnabled(Session::Action::Compare));
    mnuFilesFind->setEnabled(s.actionEnabled(Session::Action::FindUnits));
}

void frmVireo::showLamp() {
    switch (m_session->lamp()) {
    case Session::Lamp::Off: break;
    case Session::Lamp::Disconnected: shpLamp->setFillColor(Colors::LampDisconnected); break;
    case Session::Lamp::Connected: shpLamp->setFillColor(Colors::LampConnected); break;
    case Session::Lamp::Monitoring: shpLamp->setFillColor(Colors::LampMonitoring); break;
    }
}

frmNONE *frmVireo::nonePage() {
    if (!m_none) {
        m_none = new frmNONE(pageArea);
        m_none->hide();
    }
    return m_none;
}

void frmVireo::ShowPage(int modelnum) {
    QWidget *form = modelnum >= 0 && modelnum <= 25 ? m_pages->page(modelnum) : nullptr;
    if (!form) form = nonePage();
    if (m_shown && m_shown != form) m_shown->hide();
    form->hide();
    form->move(0, 0);
    form->resize(Page::PageWidth, Page::PageHeight);
    form->show();
    m_shown = form;
    emit pageShown(form);
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

// ---- the window's own commands

co::Task<> frmVireo::btnSetting_Click() {
    co_await m_session->commandSetting([this]() -> co::Task<std::optional<Session::PortChoice>> {
        frmComPort dlg(this);
        co_await ShowModal(&dlg);
        co_return dlg.choice();
    });
}

co::Task<> frmVireo::mnuFilesCompare_Click() {
    co_await m_session->commandCompare([this](const Session::Comparison &c) -> co::Task<Session::CompareChoice> {
        frmCompare dlg(c, this);
        co_await ShowModal(&dlg);
        co_return dlg.choice();
    });
}

co::Task<> frmVireo::mnuFilesFind_Click() {
    QStringList devices;
    for (int k = 1; k <= 8; ++k) devices << PortMap::deviceFor(k);
    frmFindUnits dlg(frmFindUnits::suggestedPorts(devices), "Connect", this);
    co_await ShowModal(&dlg);
    const QString port = dlg.chosenPort();
    if (port.isEmpty()) co_return;
    // The unit found is connected through the COM option in use, as Setting connects it.
    const auto choice = [port]() -> co::Task<std::optional<Session::PortChoice>> {
        Session::PortChoice c;
        c.comPortNo = g.ComPortNo >= 1 && g.ComPortNo <= 8 ? g.ComPortNo : 1;
        c.devices = QStringList(8, QString());
        c.devices[c.comPortNo - 1] = port;
        co_return c;
    };
    co_await m_session->commandSetting(choice);
}

void frmVireo::mnuHelpVersion_Click() {
    // A view: it opens beside whatever runs, and holds nothing up.
    ui().showBeside(new frmVersion(this));
}

bool frmVireo::event(QEvent *e) {
    if (e->type() == QEvent::UpdateRequest && m_drawHold.isActive()) {
        m_drawPending = true;
        return true;
    }
    return QMainWindow::event(e);
}

void frmVireo::closeEvent(QCloseEvent *e) {
    m_session->commandExit();
    e->accept();
}
