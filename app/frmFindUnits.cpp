#include "app/frmFindUnits.h"
#include "core/Globals.h"
#include "core/UnitScan.h"
#include "link/NetDevice.h"
#include "link/PortInfo.h"
#include "link/PortMap.h"
#include "pages/Widgets.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
enum Column { ColPort, ColAdapter, ColModel, ColVersion, ColNetwork, Columns };
constexpr int PortRole = Qt::UserRole + 1;

// What the person typed into the list lasts until the program ends.
QString &typedPorts() {
    static QString s;
    return s;
}

QStringList splitPorts(const QString &text) {
    static const QRegularExpression sep(QStringLiteral("[\\s,;]+"));
    return text.split(sep, Qt::SkipEmptyParts);
}
} // namespace

QStringList frmFindUnits::suggestedPorts(const QStringList &devices) {
    QStringList system;
    for (const PortDescription &p : PortInfo::availablePorts()) system << p.device;
    QStringList out;
    for (const QString &d : devices) {
        const QString name = d.trimmed();
        const bool worth = IsNetPortName(name) || (QFileInfo::exists(name) && !system.contains(name));
        if (worth && !out.contains(name)) out << name;
    }
    return out;
}

frmFindUnits::frmFindUnits(const QStringList &suggested, const QString &accept, QWidget *parent)
    : QDialog(parent), m_scan(new UnitScan(this)) {
    setObjectName("frmFindUnits");
    setWindowTitle("Find Units");
    auto *top = new QVBoxLayout(this);
    lblFindNote = MakeLabel(this, "lblFindNote",
                            "Every serial port of this computer and the ports listed below are tried at once. "
                            "Nothing is written to a unit.");
    lblFindNote->setWordWrap(true);
    top->addWidget(lblFindNote);

    auto *list = new QHBoxLayout;
    auto *listLabel = MakeLabel(this, "lblNetPorts", "Also try:");
    txtNetPorts = MakeText(this, "txtNetPorts", "Network ports and other devices to try");
    txtNetPorts->setPlaceholderText("tcp://HOST:PORT  rfc2217://HOST:PORT  /dev/pts/3 ...");
    txtNetPorts->setToolTip("Network ports (tcp://HOST:PORT, rfc2217://HOST:PORT) and devices the system does not "
                            "list, separated by spaces");
    listLabel->setBuddy(txtNetPorts);
    QStringList start = splitPorts(typedPorts());
    for (const QString &s : suggested)
        if (!start.contains(s)) start << s;
    txtNetPorts->setText(start.join(' '));
    btnFindAgain = MakeButton(this, "btnFindAgain", "Find");
    list->addWidget(listLabel);
    list->addWidget(txtNetPorts, 1);
    list->addWidget(btnFindAgain);
    top->addLayout(list);

    tblUnits = new QTableWidget(0, Columns, this);
    tblUnits->setObjectName("tblUnits");
    tblUnits->setHorizontalHeaderLabels({"Port", "Adapter", "Model", "Version", "Network"});
    tblUnits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblUnits->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblUnits->setSelectionMode(QAbstractItemView::SingleSelection);
    tblUnits->verticalHeader()->setVisible(false);
    tblUnits->setShowGrid(false);
    tblUnits->setAlternatingRowColors(true);
    tblUnits->setWordWrap(false);
    QHeaderView *h = tblUnits->horizontalHeader();
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    h->setSectionResizeMode(ColPort, QHeaderView::ResizeToContents);
    h->setSectionResizeMode(ColAdapter, QHeaderView::Stretch);
    // The unit's columns as wide as their longest texts, not as a row without a unit, whose
    // words run across them.
    const QFontMetrics fm(tblUnits->font());
    const int pad = 3 * fm.averageCharWidth();
    const std::pair<int, const char *> widest[] = {{ColModel, "K5A-ZWBW2"}, {ColVersion, "Version"}, {ColNetwork, "MECHATROLINK"}};
    for (const auto &[col, text] : widest) {
        h->setSectionResizeMode(col, QHeaderView::Fixed);
        h->resizeSection(col, fm.horizontalAdvance(QString::fromLatin1(text)) + pad);
    }
    tblUnits->verticalHeader()->setDefaultSectionSize(fm.height() + 8);
    tblUnits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblUnits->setMinimumSize(720, 10 * (fm.height() + 8));
    top->addWidget(tblUnits, 1);

    auto *row = new QHBoxLayout;
    lblFindStatus = MakeLabel(this, "lblFindStatus", QString());
    btnConnect = MakeButton(this, "btnConnect", accept);
    btnClose = MakeButton(this, "btnClose", "Close");
    btnConnect->setDefault(true);
    btnConnect->setEnabled(false);
    row->addWidget(lblFindStatus, 1);
    row->addWidget(btnConnect);
    row->addWidget(btnClose);
    top->addLayout(row);

    connect(btnFindAgain, &QPushButton::clicked, this, &frmFindUnits::findUnits);
    connect(txtNetPorts, &QLineEdit::returnPressed, this, &frmFindUnits::findUnits);
    connect(btnConnect, &QPushButton::clicked, this, &frmFindUnits::takeSelected);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(tblUnits, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem *> sel = tblUnits->selectedItems();
        btnConnect->setEnabled(!sel.isEmpty() && !tblUnits->item(sel.first()->row(), ColPort)->data(PortRole).isNull());
    });
    connect(tblUnits, &QTableWidget::cellDoubleClicked, this, [this] {
        if (btnConnect->isEnabled()) takeSelected();
    });
    connect(m_scan, &UnitScan::rowReady, this, &frmFindUnits::addRow);
    connect(m_scan, &UnitScan::finished, this, [this] {
        btnFindAgain->setEnabled(true);
        int units = 0;
        for (const ScanRow &r : m_scan->rows()) units += r.unit() ? 1 : 0;
        lblFindStatus->setText(QStringLiteral("%1 on %2 port%3.")
                                   .arg(units == 0   ? QStringLiteral("No unit")
                                        : units == 1 ? QStringLiteral("1 unit")
                                                     : QStringLiteral("%1 units").arg(units))
                                   .arg(m_ports)
                                   .arg(m_ports == 1 ? "" : "s"));
    });
    // The ports are tried as soon as the dialog is up.
    QTimer::singleShot(0, this, &frmFindUnits::findUnits);
}

frmFindUnits::~frmFindUnits() { m_scan->cancel(); }

bool frmFindUnits::finding() const { return m_scan->running(); }

void frmFindUnits::findUnits() {
    typedPorts() = txtNetPorts->text();
    tblUnits->setRowCount(0);
    btnConnect->setEnabled(false);
    QStringList ports = UnitScan::portsToTry(splitPorts(txtNetPorts->text()));
    // The port this program is connected through is not opened a second time.
    if (g.Connected) {
        const QString own = PortMap::deviceFor(g.ComPortNo);
        if (ports.removeAll(own) > 0) {
            ScanRow r;
            r.port = own;
            const PortDescription d = PortInfo::describe(own);
            r.adapter = d.summary().isEmpty() ? d.description : d.summary();
            r.outcome = ScanRow::Outcome::InUse;
            r.detail = QStringLiteral("connected now (COM%1)").arg(g.ComPortNo);
            addRow(r);
        }
    }
    m_ports = int(ports.size()) + tblUnits->rowCount();
    btnFindAgain->setEnabled(false);
    lblFindStatus->setText(QStringLiteral("Trying %1 port%2...").arg(m_ports).arg(m_ports == 1 ? "" : "s"));
    m_scan->start(ports);
}

void frmFindUnits::addRow(const ScanRow &r) {
    // Units above the ports without one, each group in the order they answered.
    int at = tblUnits->rowCount();
    if (r.unit())
        for (int i = 0; i < tblUnits->rowCount(); ++i)
            if (tblUnits->item(i, ColPort)->data(PortRole).isNull()) {
                at = i;
                break;
            }
    tblUnits->insertRow(at);
    auto cell = [&](int col, const QString &text) {
        auto *item = new QTableWidgetItem(text);
        item->setToolTip(text);
        tblUnits->setItem(at, col, item);
        return item;
    };
    QTableWidgetItem *port = cell(ColPort, r.port);
    cell(ColAdapter, r.adapter);
    if (r.unit()) {
        port->setData(PortRole, r.port);
        cell(ColModel, r.model.isEmpty() ? QStringLiteral("(not told)") : r.model);
        cell(ColVersion, r.version);
        cell(ColNetwork, r.network.isEmpty() ? QStringLiteral("none") : r.network);
        if (tblUnits->selectedItems().isEmpty()) tblUnits->selectRow(at);
        return;
    }
    // No unit: what came of the port, across the unit's columns, greyed.
    // The reason's first sentence fits the row; the whole of it is the tooltip.
    const qsizetype stop = r.detail.indexOf(". ");
    const QString reason = stop > 0 ? r.detail.left(stop + 1) : r.detail;
    const QString what = r.outcome == ScanRow::Outcome::InUse ? r.detail
                         : r.detail.isEmpty()                 ? r.outcomeText()
                                                              : r.outcomeText() + ": " + reason;
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (int col : {ColPort, ColAdapter}) tblUnits->item(at, col)->setForeground(grey);
    QTableWidgetItem *result = cell(ColModel, what);
    result->setForeground(grey);
    result->setToolTip(r.detail.isEmpty() ? what : r.outcomeText() + ": " + r.detail);
    tblUnits->setSpan(at, ColModel, 1, Columns - ColModel);
}

void frmFindUnits::takeSelected() {
    const QList<QTableWidgetItem *> sel = tblUnits->selectedItems();
    if (sel.isEmpty()) return;
    const QString port = tblUnits->item(sel.first()->row(), ColPort)->data(PortRole).toString();
    if (port.isEmpty()) return;
    m_chosen = port;
    m_scan->cancel();
    accept();
}
