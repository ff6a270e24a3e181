#include "pages/PulsePage.h"
#include "core/Commands.h"
#include "core/Ui.h"
#include "pages/ExtCells.h"
#include "core/Globals.h"
#include "core/Ui.h"
#include "pages/Settings.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PulsePage::Decl PulsePage::EightChannels() {
    Decl d;
    d.rows = 8;
    d.columns = {{"cmdPreset", "", 0, 52},
                 {"txtPreset", "Preset(0 - 4294967295)", 0, 120},
                 {"txtNX", "Count", 0, 96},
                 {"txtFScale", "Max(1000-4294967295)", 0, 120},
                 {"txtOver", "Carry(0or1)", 0, 70}};
    d.presetChecked = true;
    d.pointDigits = 2;
    return d;
}

PulsePage::PulsePage(const QString &name, int modelnum, QWidget *parent) : Page(name, modelnum, parent) {}

namespace {
// Rows of one block on a view; sixteen channels stand in two blocks side by side.
constexpr int BlockRows = 8;

} // namespace

// ---- building

void PulsePage::build(const Decl &d) {
    m_decl = d;
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    top->setSpacing(6);

    Frame1 = MakeFrame(this, "Frame1", "Value");
    auto *v = new QVBoxLayout(Frame1);
    v->setSpacing(6);
    const PointHead head = MakePointHead(Frame1, 4 * d.pointDigits, IndexedName("lblExtIndex", 1),
                                         d.pointDigits == 4 ? ExtIndex16 : ExtIndex8);
    lblV_Unit = head.lblV_Unit;
    txtCData = head.points.cells;
    v->addWidget(head.area);
    const ExtensionRow ext = MakeExtensionRow(Frame1);
    lblV_Ext = ext.lblV_Ext;
    txtChData = ext.txtChData;
    lblExtIndex = {ext.lblExtIndex.first(), head.points.index};
    v->addWidget(ext.area);
    top->addWidget(Frame1);

    QList<QPushButton *> buttons;
    fraSetModel = MakeViewBar(this, {"Setting 1", "Setting 2"}, buttons, [this](int i) {
        if (i == 0) cmdSet1_Click();
        else cmdSet2_Click();
    });
    cmdSet1 = buttons[0];
    cmdSet2 = buttons[1];
    top->addWidget(fraSetModel);
    frmSet1 = MakeFrame(this, "frmSet1", QString());
    frmSet2 = MakeFrame(this, "frmSet2", QString());
    top->addWidget(frmSet1, 1);
    top->addWidget(frmSet2, 1);
    m_views.add(cmdSet1, frmSet1);
    m_views.add(cmdSet2, frmSet2);
    for (QVector<QLineEdit *> *boxes : {&txtOver, &txtFScale, &txtNX, &txtPreset}) boxes->resize(d.rows);
    cmdPreset.resize(d.rows);
    buildView(0, frmSet1);
    buildView(1, frmSet2);
    m_views.show(0);
}

void PulsePage::buildView(int view, QGroupBox *frame) {
    auto *outer = new QHBoxLayout(frame);
    outer->setSpacing(18);
    QList<Column> cols;
    for (const Column &c : m_decl.columns)
        if (c.view == view) cols.append(c);
    const bool presetButtons = std::any_of(cols.begin(), cols.end(), [](const Column &c) { return QString(c.name) == "cmdPreset"; });
    const int blocks = cols.isEmpty() ? 0 : (m_decl.rows + BlockRows - 1) / BlockRows;
    for (int b = 0; b < blocks; ++b) {
        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(5);
        grid->setVerticalSpacing(2);
        // A row is named by its preset button where it has one, else by a label.
        const int first = presetButtons ? 0 : 1;
        for (int j = 0; j < cols.size(); ++j) {
            const QString name = cols[j].name;
            int width = cols[j].width;
            if (*cols[j].head) {
                QLabel *head = MakeLabel(frame, IndexedName("lbl" + name.mid(3), b), cols[j].head);
                width = std::max(width, head->sizeHint().width());
                grid->addWidget(head, 0, first + j, Qt::AlignLeft | Qt::AlignBottom);
            }
            for (int k = b * BlockRows; k < std::min(m_decl.rows, (b + 1) * BlockRows); ++k) {
                const QString ch = QStringLiteral("CH %1").arg(k, 0, 16).toUpper();
                QWidget *w = nullptr;
                if (name == "cmdPreset") {
                    QPushButton *p = MakeButton(frame, IndexedName(name, k), ch);
                    p->setAccessibleName(ch + " Preset");
                    p->setFixedWidth(width);
                    ConnectCommand(p, [this, k] { return cmdPreset_Click(k); });
                    cmdPreset[k] = p;
                    w = p;
                } else {
                    QLineEdit *t = MakeText(frame, IndexedName(name, k), ch + " " + cols[j].head, width);
                    t->setAlignment(Qt::AlignRight);
                    if (name == "txtNX") {
                        // The unit's count: shown, never typed.
                        t->setReadOnly(true);
                        t->setFocusPolicy(Qt::NoFocus);
                    }
                    (name == "txtOver" ? txtOver : name == "txtFScale" ? txtFScale : name == "txtNX" ? txtNX : txtPreset)[k] = t;
                    w = t;
                }
                const int row = 1 + k - b * BlockRows;
                grid->addWidget(w, row, first + j);
                if (j == 0 && !presetButtons) grid->addWidget(MakeLabel(frame, QString(), ch), row, 0);
            }
        }
        grid->setRowStretch(BlockRows + 1, 1);
        outer->addLayout(grid);
    }
    if (view == m_decl.holdView) {
        m_hold = std::make_unique<HoldFrame>(frame, false);
        Frame2 = m_hold->Frame2;
        optKeepOn = m_hold->optKeepOn;
        optKeepOff = m_hold->optKeepOff;
        outer->addWidget(Frame2, 0, Qt::AlignTop);
    }
    outer->addStretch(1);
}

// ---- items and groups

QString PulsePage::groupOf(Group form, int c) const {
    switch (form) {
    case Group::Number: return ChannelGroup(c);
    case Group::TwoDigits: return ChannelGroup(c, true);
    case Group::Module: break;
    }
    return QStringLiteral("00");
}

QString PulsePage::carryItem(int c) const {
    return m_decl.itemsFromChParam ? g.ChParam[size_t(c - 1)].Item1 : m_decl.carryItem.of(c);
}

QString PulsePage::maxItem(int c) const {
    return m_decl.itemsFromChParam ? g.ChParam[size_t(c - 1)].Item2 : m_decl.maxItem.of(c);
}

// ---- Init and Download

co::Task<> PulsePage::pulseInit() {
    m_views.show(0);
    m_views.lock();
    txt_able(false);
    co_await PageStep("Initializing", [this]() -> co::Task<> {
        lblV_Unit->setText(AfterDash(g.UnitModel));
        co_await InitExtCells(this);
        co_await m_hold->read(EndSilently);
        for (int c = 1; c <= channelRows(); ++c) {
            const int k = c - 1;
            ChParamRec &p = g.ChParam[size_t(k)];
            if (m_decl.itemsFromChParam) SetChItems(c);
            const QString group = groupOf(m_decl.initGroup, c);
            p.Value1 = AfterColon(co_await Read(UploadError, group, carryItem(c)));
            txtOver[k]->setText(p.Value1);
            p.Value2 = AfterColon(co_await Read(UploadError, group, maxItem(c)));
            txtFScale[k]->setText(p.Value2);
            AdvanceProgress();
        }
        m_views.unlock();
        txt_able(true);
    });
}

co::Task<> PulsePage::pulseDownload() {
    // The page stays locked: the Upload that follows every Download opens it again.
    m_views.lock();
    co_await PageStep("Downloading", [this]() -> co::Task<> {
        for (int c = 1; c <= channelRows(); ++c) {
            const int k = c - 1;
            // The codes follow the kind; a page filled from a file has not read them yet.
            if (m_decl.itemsFromChParam) SetChItems(c);
            const QString group = groupOf(m_decl.downloadGroup, c);
            co_await Write(NoBranch, group, carryItem(c), txtOver[k]->text(), txtOver[k]);
            co_await Write(NoBranch, group, maxItem(c), txtFScale[k]->text(), txtFScale[k]);
            AdvanceProgress();
        }
        co_await m_hold->write();
    });
}

// ---- monitoring

co::Task<> PulsePage::ReadingData() {
    auto pause = [](int ms) -> co::Task<> {
        if (ms > 0) co_await PausePage(ms);
    };
    co_await WriteItemRetry(3, "00", "01", "F");
    const QString points = co_await InquireItemRetry(3, m_decl.pointsItem);
    if (!points.isEmpty()) PaintHexCells(QList<QLineEdit *>(txtCData.begin(), txtCData.end()), AfterX(points), m_decl.pointDigits);
    co_await pause(m_decl.pauseAfterPoints);
    if (g.ExtName != "NONE") {
        co_await ReadExtPoints(this);
        co_await pause(m_decl.pauseAfterExtension);
    }
    // Every count the page has, whatever the unit's channel count.
    for (int k = 0; k < m_decl.rows; ++k) {
        const QString r = co_await InquireItemRetry(3, QString::number(m_decl.firstCountItem + k));
        if (!r.isEmpty()) {
            const QString count = AfterColon(r);
            if (txtNX[k]->text() != count) txtNX[k]->setText(count);
            if (const auto n = ToDouble(count)) emit liveValue(k, *n);
        }
        co_await pause(m_decl.pauseAfterCount);
    }
}

// ---- checks

bool PulsePage::CheckData() {
    const int n = channelRows();
    auto refuse = [](const QLineEdit *box, const QString &range) {
        RefuseCheck(box, range);
        return false;
    };
    for (int k = 0; k < n; ++k)
        for (const QLineEdit *box : {txtFScale[k], txtOver[k]})
            if (!IsNumeric(box->text())) return refuse(box, "a number");
    for (int k = 0; k < n; ++k) {
        const double max = *ToDouble(txtFScale[k]->text());
        const double carry = *ToDouble(txtOver[k]->text());
        if (max < m_decl.maxRange.lo || max > m_decl.maxRange.hi)
            return refuse(txtFScale[k], RangeText(m_decl.maxRange.lo, m_decl.maxRange.hi));
        if (m_decl.carry == Carry::UpToMax && (carry < 0 || carry > max)) return refuse(txtOver[k], RangeText(0, max));
        if (m_decl.carry == Carry::Within && (carry < m_decl.carryRange.lo || carry > m_decl.carryRange.hi))
            return refuse(txtOver[k], RangeText(m_decl.carryRange.lo, m_decl.carryRange.hi));
        txtFScale[k]->setText(StandardForm(max));
        txtOver[k]->setText(StandardForm(carry));
    }
    return true;
}

bool PulsePage::CheckData2(int index) {
    QLineEdit *box = txtPreset.value(index);
    const auto v = box ? ToDouble(box->text()) : std::nullopt;
    if (!v || *v < 0 || *v > PresetMax) return false;
    box->setText(StandardForm(*v));
    return true;
}

// ---- the preset buttons

co::Task<> PulsePage::cmdPreset_Click(int index) {
    if (index < 0 || index >= m_decl.rows) co_return;
    co_await PageStep([this, index]() -> co::Task<> {
        const QString preset = txtPreset[index]->text();
        if (m_decl.presetChecked && !CheckData2(index)) {
            co_await MsgBox("Data Error \r\nCheck data range.", "Data Range Error", MsgIcon::Critical);
            co_return;
        }
        if (!m_decl.presetChecked && preset.isEmpty()) co_return;
        if (m_decl.presetWritesF) co_await Write(EndSilently, "00", "01", "F");
        const int c = index + 1;
        // The reply carries the counter's new count.
        const QString r =
            co_await Write(NoBranch, groupOf(m_decl.presetGroup, c), m_decl.presetItem.of(c), txtPreset[index]->text());
        if (!r.isEmpty() && r != "NG") txtNX[index]->setText(AfterColon(r));
    });
}

// ---- txt_able

void PulsePage::txt_able(bool enable) {
    // Rows above the unit's channel count are never locked.
    for (int k = 0; k < channelRows(); ++k)
        for (QWidget *w : {static_cast<QWidget *>(txtFScale[k]), static_cast<QWidget *>(txtPreset[k]),
                           static_cast<QWidget *>(txtOver[k]), static_cast<QWidget *>(cmdPreset[k])})
            w->setEnabled(enable);
    m_hold->setEditable(enable);
}
