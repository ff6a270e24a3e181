#include "app/Dialogs.h"
#include "app/frmFindUnits.h"
#include "core/Commands.h"
#include "core/Globals.h"
#include "pages/Widgets.h"
#include "link/Await.h"
#include "link/PortMap.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QProgressBar>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <algorithm>
#include <QVBoxLayout>

namespace {
// The dialog's closing button, default and right-aligned under the content.
QPushButton *addOkRow(QDialog *d, QVBoxLayout *top, const QString &name) {
    QPushButton *b = MakeButton(d, name, "OK");
    b->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(b);
    top->addLayout(row);
    return b;
}

// The device list shows what the system knows beside each path; the edit field keeps the path.
constexpr int PortSummaryRole = Qt::UserRole + 1;
class PortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem *o, const QModelIndex &i) const override {
        QStyledItemDelegate::initStyleOption(o, i);
        const QString summary = i.data(PortSummaryRole).toString();
        if (!summary.isEmpty()) o->text += QStringLiteral("   ") + summary;
    }
};

QString portSummary(const PortDescription &p) {
    QString s = p.summary();
    if (!p.byId.isEmpty()) s += (s.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("by-id ") + p.byId;
    return s;
}
} // namespace

// ---- frmComPort

frmComPort::frmComPort(QWidget *parent) : QDialog(parent) {
    setObjectName("frmComPort");
    setWindowTitle("Com Setting");
    auto *top = new QVBoxLayout(this);
    Frame1 = MakeFrame(this, "Frame1", "Port No.");
    auto *grid = new QGridLayout(Frame1);
    grid->setColumnStretch(1, 1);
    optCom.resize(9);
    cmbDevice.resize(9);
    for (int k = 1; k <= 8; ++k) {
        optCom[k] = MakeOption(Frame1, IndexedName("optCom", k), QStringLiteral("COM%1").arg(k));
        cmbDevice[k] = MakeCombo(Frame1, IndexedName("cmbDevice", k), QStringLiteral("Device of COM%1").arg(k));
        cmbDevice[k]->setEditable(true);
        cmbDevice[k]->setMinimumWidth(220);
        cmbDevice[k]->setInsertPolicy(QComboBox::NoInsert);
        cmbDevice[k]->setItemDelegate(new PortItemDelegate(cmbDevice[k]));
        cmbDevice[k]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        cmbDevice[k]->setMinimumContentsLength(24);
        // The list is as wide as its longest description, not as the edit field.
        cmbDevice[k]->view()->setTextElideMode(Qt::ElideNone);
        grid->addWidget(optCom[k], k - 1, 0);
        grid->addWidget(cmbDevice[k], k - 1, 1);
    }
    optCom[1]->setChecked(true);
    top->addWidget(Frame1);
    btnExit = addOkRow(this, top, "btnExit");
    // Find Units beside OK: it fills the device of the option selected.
    btnFind = MakeButton(this, "btnFind", "&Find...");
    btnFind->setToolTip("Try every port for a unit, and take the one chosen for the COM option selected");
    if (auto *row = qobject_cast<QHBoxLayout *>(top->itemAt(top->count() - 1)->layout())) row->insertWidget(0, btnFind);
    connect(btnFind, &QPushButton::clicked, this, [this] { co::Start(btnFind_Click()); });
    connect(btnExit, &QPushButton::clicked, this, &frmComPort::btnExit_Click);
    // An adapter plugged in or pulled out while the dialog is open shows within a second.
    tmrPorts.setInterval(PortsRefreshMs);
    connect(&tmrPorts, &QTimer::timeout, this, &frmComPort::refreshPorts);
    tmrPorts.start();
    Form_Load();
}

void frmComPort::Form_Load() {
    const int k = g.ComPortNo >= 1 && g.ComPortNo <= 8 ? g.ComPortNo : 1;
    optCom[k]->setChecked(true);
    // The system's ports, listed afresh each time the dialog opens; a typed path is accepted too.
    m_portsStamp = PortInfo::changeStamp();
    m_ports = PortInfo::availablePorts();
    for (int i = 1; i <= 8; ++i) fillDevices(i, PortMap::deviceFor(i));
}

void frmComPort::fillDevices(int k, const QString &keep) {
    QComboBox *c = cmbDevice[k];
    const QString opens = PortMap::deviceFor(k);
    QLineEdit *edit = c->lineEdit();
    const int cursor = edit ? edit->cursorPosition() : 0;
    const QSignalBlocker block(c);
    c->clear();
    // The device the option opens comes first when the system does not list it (a pseudo-terminal).
    QList<PortDescription> items = m_ports;
    if (std::none_of(items.begin(), items.end(), [&](const auto &p) { return p.device == opens; }))
        items.prepend(PortInfo::describe(opens, m_ports));
    for (const PortDescription &p : items) {
        c->addItem(p.device);
        const QString summary = portSummary(p);
        c->setItemData(c->count() - 1, summary, PortSummaryRole);
        c->setItemData(c->count() - 1, summary, Qt::ToolTipRole);
    }
    c->setCurrentText(keep);
    if (edit) edit->setCursorPosition(qMin(cursor, int(keep.size())));
}

void frmComPort::refreshPorts() {
    const QString stamp = PortInfo::changeStamp();
    const bool unchanged = !stamp.isEmpty() && stamp == m_portsStamp;
    m_portsStamp = stamp;
    QList<PortDescription> now = unchanged ? m_ports : PortInfo::availablePorts();
    if (now != m_ports) {
        m_ports = std::move(now);
        m_stale.fill(true);
    }
    // An open list would jump under the pointer; it is filled after it closes.
    for (int i = 1; i <= 8; ++i)
        if (m_stale[i] && !cmbDevice[i]->view()->isVisible()) {
            fillDevices(i, cmbDevice[i]->currentText());
            m_stale[i] = false;
        }
}

co::Task<> frmComPort::btnFind_Click() {
    QStringList typed;
    for (int k = 1; k <= 8; ++k) typed << cmbDevice[k]->currentText();
    frmFindUnits dlg(frmFindUnits::suggestedPorts(typed), "Use This Port", this);
    co_await ShowModal(&dlg);
    if (!dlg.chosenPort().isEmpty()) cmbDevice[selectedPort()]->setCurrentText(dlg.chosenPort());
}

int frmComPort::selectedPort() const {
    for (int k = 1; k <= 8; ++k)
        if (optCom[k]->isChecked()) return k;
    return g.ComPortNo;
}

void frmComPort::btnExit_Click() {
    tmrPorts.stop();
    // The one who opened the dialog closes the port, opens the chosen one and connects.
    Session::PortChoice c;
    c.comPortNo = selectedPort();
    for (int k = 1; k <= 8; ++k) c.devices << cmbDevice[k]->currentText();
    m_choice = c;
    accept();
}

// ---- frmExtSelect

frmExtSelect::frmExtSelect(QWidget *parent) : QDialog(parent) {
    setObjectName("frmExtSelect");
    setWindowTitle("Extension module type");
    auto *top = new QVBoxLayout(this);
    Label1 = MakeLabel(this, "Label1", "Select the connected");
    Label2 = MakeLabel(this, "Label2", " extension module type.");
    top->addWidget(Label1);
    top->addWidget(Label2);
    auto *row = new QHBoxLayout;
    Command1 = MakeButton(this, "Command1", QString());
    Command2 = MakeButton(this, "Command2", QString());
    Command1->setMinimumWidth(90);
    Command2->setMinimumWidth(90);
    Command1->setDefault(true);
    row->addWidget(Command1);
    row->addWidget(Command2);
    top->addLayout(row);
    connect(Command1, &QPushButton::clicked, this, &frmExtSelect::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmExtSelect::Command2_Click);
}

void frmExtSelect::ExtName_Select() {
    if (g.ExtName == "DI") {
        Command1->setText("XD16");
        Command2->setText("XD8");
    } else if (g.ExtName == "DO") {
        Command1->setText("XF16");
        Command2->setText("XF8");
    } else {
        // Any other kind has no module to offer (the identification records it as none).
        Command1->setText(QString());
        Command2->setText(QString());
    }
}

void frmExtSelect::choose(int points) {
    m_points = points;
    accept();
}

void frmExtSelect::Command1_Click() { choose(16); }
void frmExtSelect::Command2_Click() { choose(8); }

// ---- frmNotice

frmNotice::frmNotice(QWidget *parent) : QDialog(parent) {
    setObjectName("frmNotice");
    setWindowTitle("Notice");
    auto *top = new QVBoxLayout(this);
    Label2 = MakeLabel(this, "Label2", "If you change the settings");
    Label1 = MakeLabel(this, "Label1", "please turn off the power, and restart the K5.");
    top->addWidget(Label2);
    top->addWidget(Label1);
    OKButton = addOkRow(this, top, "OKButton");
    connect(OKButton, &QPushButton::clicked, this, &frmNotice::OKButton_Click);
}

void frmNotice::OKButton_Click() { accept(); }

// ---- frmVersion

frmVersion::frmVersion(QWidget *parent) : QDialog(parent) {
    setObjectName("frmVersion");
    setWindowTitle("Version VIREO ");
    auto *top = new QVBoxLayout(this);
    const QStringList titles = {"VIREO", "Version", "Configurator for K5 remote I/O units"};
    for (int i = 0; i < titles.size(); ++i) lblTitle.append(MakeLabel(this, IndexedName("lblTitle", i), titles[i]));
    QFont big = lblTitle[0]->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    lblTitle[0]->setFont(big);
    lblName = {nullptr, MakeLabel(this, IndexedName("lblName", 1), QString())};
    top->addWidget(lblTitle[0]);
    auto *row = new QHBoxLayout;
    row->addWidget(lblTitle[1]);
    row->addWidget(lblName[1]);
    row->addStretch();
    top->addLayout(row);
    top->addWidget(lblTitle[2]);
    auto *line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    top->addWidget(line);
    cmdOK = addOkRow(this, top, "cmdOK");
    connect(cmdOK, &QPushButton::clicked, this, &frmVersion::cmdOK_Click);
    Form_Load();
}

void frmVersion::Form_Load() { lblName[1]->setText(ProgramVersion); }
void frmVersion::cmdOK_Click() { accept(); }

// ---- frmNONE

frmNONE::frmNONE(QWidget *parent) : QWidget(parent) {
    setObjectName("frmNONE");
    setWindowTitle("Form1");
    auto *top = new QVBoxLayout(this);
    Frame = MakeFrame(this, "frmNONE", QString());
    auto *inner = new QVBoxLayout(Frame);
    Label1 = MakeLabel(Frame, "Label1", "Please download the latest version.");
    Label2 = MakeLabel(Frame, "Label2", "This version of VIREO does not know the connected module.");
    QFont f = Label1->font();
    f.setPointSize(f.pointSize() + 3);
    Label1->setFont(f);
    inner->addStretch();
    inner->addWidget(Label1, 0, Qt::AlignHCenter);
    inner->addWidget(Label2, 0, Qt::AlignHCenter);
    inner->addStretch();
    top->addWidget(Frame);
}

// ---- frmLoading

namespace {
QPointer<frmLoading> loading;
QPointer<QWidget> owner;
} // namespace

void SetDialogOwner(QWidget *w) { owner = w; }
QWidget *DialogOwner() { return owner; }

frmLoading::frmLoading(QWidget *parent) : QDialog(parent) {
    setObjectName("frmLoading");
    setWindowTitle(" ");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto *top = new QVBoxLayout(this);
    lblLoading = MakeLabel(this, "lblLoading", QString());
    pgBarLoading = new QProgressBar(this);
    pgBarLoading->setObjectName("pgBarLoading");
    pgBarLoading->setMinimumWidth(260);
    pgBarLoading->setTextVisible(false);
    top->addWidget(lblLoading);
    top->addWidget(pgBarLoading);
}

frmLoading *LoadingForm() { return loading; }

// ---- the seam's window side

co::Task<int> WidgetUi::chooseExtension(QString) {
    frmExtSelect dlg(owner);
    dlg.ExtName_Select();
    co_await showDialog(&dlg);
    co_return dlg.points();
}

co::Task<bool> WidgetUi::notice() {
    frmNotice dlg(owner);
    co_return co_await showDialog(&dlg) == QDialog::Accepted;
}

void WidgetUi::showProgress(const QString &caption, int maximum) {
    if (!loading) loading = new frmLoading(owner);
    loading->pgBarLoading->setMinimum(0);
    loading->pgBarLoading->setMaximum(maximum);
    loading->pgBarLoading->setValue(0);
    loading->lblLoading->setText(caption);
    loading->show();
}

void WidgetUi::setProgress(int value) {
    if (loading) loading->pgBarLoading->setValue(value);
}

void WidgetUi::closeProgress() {
    if (!loading) return;
    loading->hide();
    loading->deleteLater();
    loading = nullptr;
}

namespace {
// A box or dialog opened, not run: the main loop goes on, and this resumes once it has closed.
co::Task<int> opened(QDialog *d) {
    const QPointer<QDialog> dialog(d);
    d->open();
    co_await co::Emitted(d, &QDialog::finished);
    const int result = dialog ? dialog->result() : int(QDialog::Rejected);
    co_return result;
}

QMessageBox *box(const QString &text, const QString &title) {
    auto *b = new QMessageBox(QApplication::activeWindow());
    b->setAttribute(Qt::WA_DeleteOnClose);
    b->setWindowTitle(title);
    b->setText(text);
    return b;
}
} // namespace

co::Task<> QtUi::message(QString text, QString title, MsgIcon icon) {
    QMessageBox *b = box(text, title);
    b->setIcon(icon == MsgIcon::Critical      ? QMessageBox::Critical
               : icon == MsgIcon::Information ? QMessageBox::Information
                                              : QMessageBox::NoIcon);
    b->setStandardButtons(QMessageBox::Ok);
    co_await opened(b);
}

co::Task<bool> QtUi::question(QString text, QString title) {
    QMessageBox *b = box(text, title);
    b->setIcon(QMessageBox::Question);
    b->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    b->setDefaultButton(QMessageBox::No);
    b->setEscapeButton(QMessageBox::No);
    // The box's result is the button pressed.
    co_return co_await opened(b) == QMessageBox::Yes;
}

co::Task<int> QtUi::showDialog(QDialog *dialog) { co_return co_await opened(dialog); }

void QtUi::showBeside(QDialog *dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

namespace {
co::Task<QString> fileDialog(QWidget *parent, QFileDialog::AcceptMode mode, QString filter, int filterIndex,
                             QString lastName) {
    auto *dlg = new QFileDialog(parent ? parent : owner.data());
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setAcceptMode(mode);
    dlg->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = filter.split(";;");
    dlg->setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size()) dlg->selectNameFilter(filters.at(filterIndex - 1));
    if (!lastName.isEmpty()) dlg->selectFile(lastName);
    const QPointer<QFileDialog> kept(dlg);
    const int result = co_await opened(dlg);
    if (result != QDialog::Accepted || !kept || kept->selectedFiles().isEmpty()) co_return QString();
    co_return kept->selectedFiles().first();
}
} // namespace

co::Task<QString> QtUi::openFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) {
    return fileDialog(parent, QFileDialog::AcceptOpen, filter, filterIndex, lastName);
}

co::Task<QString> QtUi::saveFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) {
    return fileDialog(parent, QFileDialog::AcceptSave, filter, filterIndex, lastName);
}

void QtUi::endProgram() {
    // Nested waits see the flag and the closed port and return; the main loop then ends.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}
