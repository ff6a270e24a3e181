#include "pages/ScalingPage.h"
#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/ExtCells.h"
#include "app/Globals.h"
#include "app/Ui.h"
#include "app/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int FieldWidth = 80;

QLabel *hintLabel(QWidget *parent, const QString &name, const QString &text) {
    QLabel *l = MakeLabel(parent, name, text);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 0.78);
    l->setFont(f);
    l->setEnabled(false); // greyed: it informs, it is not a value
    return l;
}
} // namespace

ScalingPage::ScalingPage(const QString &name, int modelnum, const Layout &layout, QWidget *parent)
    : Page(name, modelnum, parent), m_layout(layout) {
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    top->setSpacing(6);
    buildValueFrame();
    top->addWidget(Frame1);
    buildViews();
    if (fraSetModel) top->addWidget(fraSetModel);
    buildSet1();
    buildSet2();
    top->addWidget(frmSet1, 1);
    top->addWidget(frmSet2, 1);
    frmSet2->setVisible(false);
}

void ScalingPage::buildValueFrame() {
    Frame1 = MakeFrame(this, "Frame1", "Value");
    auto *v = new QVBoxLayout(Frame1);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    lblV_Unit = MakeLabel(Frame1, "lblV_Unit", "Type");
    QFont bold = lblV_Unit->font();
    bold.setBold(true);
    lblV_Unit->setFont(bold);
    lblV_Unit->setMinimumWidth(70);
    grid->addWidget(lblV_Unit, 0, 0);
    const int perRow = 4;
    for (int k = 0; k < m_layout.rows; ++k) {
        QLabel *l = MakeLabel(Frame1, QStringLiteral("Label%1").arg(k + 1), QStringLiteral("CH %1").arg(k));
        QLineEdit *t = MakeText(Frame1, IndexedName("txtParData", k), QStringLiteral("CH %1 Value").arg(k), 84);
        t->setReadOnly(true);
        t->setFocusPolicy(Qt::NoFocus);
        t->setAlignment(Qt::AlignRight);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(l, k / perRow, 1 + 2 * (k % perRow));
        grid->addWidget(t, k / perRow, 2 + 2 * (k % perRow));
        txtParData.append(t);
    }
    grid->setColumnStretch(2 * perRow + 1, 1);
    v->addLayout(grid);

    if (!m_layout.extDisplay) return;
    // The extension points: cells placed under the digits of the index caption.
    auto *ext = new QWidget(Frame1);
    ext->setObjectName("extArea");
    ext->setFixedHeight(40);
    lblV_Ext = MakeLabel(ext, "lblV_Ext", QString());
    lblV_Ext->setFont(bold);
    lblV_Ext->setGeometry(0, 16, 60, 20);
    QLabel *index = MakeLabel(ext, IndexedName("lblExtIndex", 0), ExtIndex16);
    // A fixed-pitch caption small enough for its 85 characters to span the frame.
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(10);
    index->setFont(mono);
    const QFontMetrics fm(mono);
    const int cw = fm.horizontalAdvance('0');
    const int x0 = 64;
    index->setGeometry(x0, 0, fm.horizontalAdvance(ExtIndex16) + cw, 16);
    lblExtIndex.append(index);
    const QString caption = ExtIndex16;
    int cell = 0;
    for (int i = 0; i < caption.size() && cell < 16; ++i) {
        if (caption.at(i) == ' ') continue;
        QLineEdit *c = MakeCell(ext, IndexedName("txtChData", cell), QStringLiteral("Extension point %1").arg(cell));
        c->move(x0 + i * cw + cw / 2 - c->width() / 2, 18);
        txtChData.append(c);
        ++cell;
    }
    v->addWidget(ext);
}

void ScalingPage::buildViews() {
    if (!m_layout.views) return;
    fraSetModel = MakeFrame(this, "fraSetModel", QString());
    auto *h = new QHBoxLayout(fraSetModel);
    h->setContentsMargins(8, 4, 8, 4);
    cmdSet1 = MakeButton(fraSetModel, "cmdSet1", m_layout.set1Caption);
    cmdSet2 = MakeButton(fraSetModel, "cmdSet2", m_layout.set2Caption);
    cmdSet1->setMinimumWidth(110);
    cmdSet2->setMinimumWidth(110);
    h->addWidget(cmdSet1);
    h->addWidget(cmdSet2);
    h->addStretch();
    connect(cmdSet1, &QPushButton::clicked, this, &ScalingPage::cmdSet1_Click);
    connect(cmdSet2, &QPushButton::clicked, this, &ScalingPage::cmdSet2_Click);
}

void ScalingPage::buildSet1() {
    frmSet1 = MakeFrame(this, "frmSet1", QString());
    auto *grid = new QGridLayout(frmSet1);
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(1);
    const QStringList headNames = {"lblZScale01", "lblFScale01", "lblBias01", "lblGain01", "lblZBase01", "lblFBase01"};
    QLabel **heads[] = {&lblZScale01, &lblFScale01, &lblBias01, &lblGain01, &lblZBase01, &lblFBase01};
    const auto cols = slotColumns();
    const QStringList colNames = {"txtZScale", "txtFScale", "txtBias", "txtGain", "txtZBase", "txtFBase"};
    QVector<QLabel *> *hintCols[] = {&lblZScale, &lblFScale, &lblBias, &lblGain};
    const QStringList hintNames = {"lblZScale", "lblFScale", "lblBias", "lblGain"};
    // Columns: channel label, then per slot a field (bases add a unit label).
    int col = 1;
    QList<int> slotCol;
    for (int s = 0; s < 6; ++s) {
        slotCol.append(col);
        *heads[s] = MakeLabel(frmSet1, headNames[s], m_layout.heads.value(s));
        grid->addWidget(*heads[s], 0, col, 1, s >= 4 ? 2 : 1, Qt::AlignLeft | Qt::AlignBottom);
        col += s >= 4 ? 2 : 1;
    }
    for (int k = 0; k < m_layout.rows; ++k) {
        const int row = 1 + 2 * k;
        grid->addWidget(MakeLabel(frmSet1, IndexedName("lblSetCh", k), QStringLiteral("CH %1").arg(k)), row, 0);
        for (int s = 0; s < 6; ++s) {
            QLineEdit *t = MakeText(frmSet1, IndexedName(colNames[s], k),
                                    QStringLiteral("CH %1 %2").arg(k).arg(m_layout.heads.value(s)), FieldWidth);
            t->setAlignment(Qt::AlignRight);
            cols[s]->append(t);
            grid->addWidget(t, row, slotCol[s]);
            if (s < 4) {
                QLabel *h = hintLabel(frmSet1, IndexedName(hintNames[s], k), m_layout.hints.value(s));
                h->setVisible(!m_layout.hints.value(s).isEmpty());
                hintCols[s]->append(h);
                grid->addWidget(h, row + 1, slotCol[s], Qt::AlignLeft | Qt::AlignTop);
            }
        }
        QLabel *zu = MakeLabel(frmSet1, IndexedName("lblZBase_Unit", k), QString());
        QLabel *fu = MakeLabel(frmSet1, IndexedName("lblFBase_Unit", k), QString());
        zu->setMinimumWidth(28);
        fu->setMinimumWidth(28);
        lblZBase_Unit.append(zu);
        lblFBase_Unit.append(fu);
        grid->addWidget(zu, row, slotCol[4] + 1);
        grid->addWidget(fu, row, slotCol[5] + 1);
        grid->setRowMinimumHeight(row + 1, 16);
    }
    grid->setColumnStretch(col, 1);
    grid->setRowStretch(1 + 2 * m_layout.rows, 1);
}

void ScalingPage::buildSet2() {
    frmSet2 = MakeFrame(this, "frmSet2", QString());
    auto *grid = new QGridLayout(frmSet2);
    grid->setHorizontalSpacing(10);
    if (m_layout.rangeColumn) {
        Label12 = MakeLabel(frmSet2, "Label12", m_layout.rangeHead);
        grid->addWidget(Label12, 0, 1);
        for (int k = 0; k < m_layout.rows; ++k) {
            grid->addWidget(MakeLabel(frmSet2, IndexedName("lblRangeCh", k), QStringLiteral("CH %1").arg(k)), 1 + k, 0);
            QComboBox *c = MakeCombo(frmSet2, IndexedName("cmbUserRange", k), QStringLiteral("CH %1 Range").arg(k), 170);
            cmbUserRange.append(c);
            grid->addWidget(c, 1 + k, 1);
        }
    }
    if (m_layout.outputHold) {
        Frame2 = MakeFrame(frmSet2, "Frame2", "Output Hold/Clear");
        auto *v = new QVBoxLayout(Frame2);
        optKeepOn = MakeOption(Frame2, "optKeepOn", "Output Hold");
        optKeepOff = MakeOption(Frame2, "optKeepOff", "Output Clear");
        v->addWidget(optKeepOn);
        v->addWidget(optKeepOff);
        grid->addWidget(Frame2, 0, 3, 1 + std::max(2, m_layout.rows), 1, Qt::AlignTop);
    }
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(3, 180);
    grid->setRowStretch(1 + std::max(2, m_layout.rows), 1);
}

int ScalingPage::channelRows() const { return std::clamp(g.ChCount, 0, m_layout.rows); }

std::array<QVector<QLineEdit *> *, 6> ScalingPage::slotColumns() {
    return {&txtZScale, &txtFScale, &txtBias, &txtGain, &txtZBase, &txtFBase};
}

QLineEdit *ScalingPage::slotCell(int slot, int k) const {
    if (slot < 1 || slot > 6) return nullptr;
    return const_cast<ScalingPage *>(this)->slotColumns()[size_t(slot - 1)]->value(k);
}

void ScalingPage::cmdSet1_Click() {
    if (cmdSet1) cmdSet1->setEnabled(false);
    frmSet1->setVisible(true);
    if (cmdSet2) cmdSet2->setEnabled(true);
    frmSet2->setVisible(false);
}

void ScalingPage::cmdSet2_Click() {
    if (cmdSet1) cmdSet1->setEnabled(true);
    frmSet1->setVisible(false);
    if (cmdSet2) cmdSet2->setEnabled(false);
    frmSet2->setVisible(true);
}

void ScalingPage::beginInit() {
    if (cmdSet1) cmdSet1->setEnabled(false);
    frmSet1->setVisible(true);
    if (cmdSet2) cmdSet2->setEnabled(false);
    frmSet2->setVisible(false);
    txt_able(false);
    lblV_Unit->setText(AfterDash(g.UnitModel));
    if (m_layout.extDisplay) InitExtCells(this);
}

void ScalingPage::endInit() {
    if (cmdSet2) cmdSet2->setEnabled(true);
    txt_able(true);
}

void ScalingPage::beginDownload() {
    txt_able(false);
    if (cmdSet1) cmdSet1->setEnabled(false);
    if (cmdSet2) cmdSet2->setEnabled(false);
}

std::optional<int> ScalingPage::readSwitchRange() {
    const QString item = g.NetTyp == 6 && g.SubTyp != 0 ? "08" : "09";
    const QString r = ReadItemRetry(3, "00", item);
    if (r.isEmpty()) return std::nullopt;
    return HexDigitValue(AfterColon(r).left(1));
}

bool ScalingPage::readOutputHold() {
    if (!Frame2) return true;
    if (g.NetTyp < 0 || g.NetTyp > 5) {
        Frame2->setVisible(false);
        return true;
    }
    Frame2->setVisible(true);
    const QString r = ReadItemRetry(3, "00", "14");
    if (r.isEmpty()) return false;
    const bool hold = AfterColon(r) == "ON";
    optKeepOn->setChecked(hold);
    optKeepOff->setChecked(!hold);
    return true;
}

void ScalingPage::writeOutputHold() {
    if (!Frame2 || g.NetTyp < 0 || g.NetTyp > 5) return;
    WriteItemRetry(3, "00", "14", optKeepOn->isChecked() ? "0" : "1");
}

bool ScalingPage::readSlots(int ch) {
    SetChItems(ch);
    ChParamRec &p = g.ChParam[size_t(ch - 1)];
    for (int s = 1; s <= 6; ++s) {
        const QString r = s == 1 ? ReadItemRetry(3, QString::number(ch), p.item(s)) : InquireItemRetry(3, p.item(s));
        if (r.isEmpty()) return false;
        p.value(s) = AfterColon(r);
    }
    return true;
}

void ScalingPage::showSlots(int k) {
    const ChParamRec &p = g.ChParam[size_t(k)];
    for (int s = 1; s <= 6; ++s)
        if (QLineEdit *t = slotCell(s, k)) t->setText(p.value(s));
}

void ScalingPage::writeSlots(int ch, const QList<int> &slotList) {
    const ChParamRec &p = g.ChParam[size_t(ch - 1)];
    bool first = true;
    for (int s : slotList) {
        QLineEdit *t = slotCell(s, ch - 1);
        const QString text = t ? t->text() : QString();
        if (first) WriteItemRetry(3, QString::number(ch), p.item(s), text);
        else WriteDataRetry(3, p.item(s), text);
        first = false;
    }
}

int ScalingPage::rangeIndexOf(const QString &reply, int chars) { return HexDigitValue(AfterColon(reply).left(chars)); }

void ScalingPage::selectRange(QComboBox *c, int index) {
    if (!c) return;
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

void ScalingPage::fillRangeList(int k) {
    if (k >= cmbUserRange.size()) return;
    cmbUserRange[k]->clear();
    cmbUserRange[k]->addItems(m_layout.rangeList);
}

void ScalingPage::setUnitLabels(int k, const QString &unit) {
    if (k < lblZBase_Unit.size()) lblZBase_Unit[k]->setText(unit);
    if (k < lblFBase_Unit.size()) lblFBase_Unit[k]->setText(unit);
}

void ScalingPage::uploadError() {
    MsgBox("Upload Error", "Upload", MsgIcon::Critical);
    DisconnectUnit();
}

void ScalingPage::showLive(int channel, const QString &reply) {
    QLineEdit *cell = txtParData.value(channel);
    if (!cell || reply.isEmpty()) return;
    const QString v = RemoveFirstDot(AfterColon(reply));
    if (!IsNumeric(v)) return;
    if (cell->text() != v) cell->setText(v);
    if (const auto number = ToDouble(AfterColon(reply))) emit liveValue(channel, *number);
}

void ScalingPage::readLiveValues(int firstItem, int count) {
    for (int k = 0; k < count; ++k)
        showLive(k, ReadItemRetry(3, "00", QString::number(firstItem + k)));
}

void ScalingPage::readExtension() {
    if (g.ExtName != "NONE") ReadExtPoints(this);
}

bool ScalingPage::allNumeric(const QList<QVector<QLineEdit *> *> &columns) const {
    for (int k = 0; k < channelRows(); ++k)
        for (const QVector<QLineEdit *> *col : columns)
            if (k < col->size() && !IsNumeric(col->at(k)->text())) return false;
    return true;
}

bool ScalingPage::checkBounds(const QList<Bound> &bounds) {
    QList<double> values(bounds.size());
    for (int k = 0; k < channelRows(); ++k) {
        for (int i = 0; i < bounds.size(); ++i) {
            values[i] = ToDouble(bounds[i].cells->at(k)->text()).value_or(0);
            if (values[i] < bounds[i].lo || values[i] > bounds[i].hi) return false;
        }
        for (int i = 0; i < bounds.size(); ++i) {
            if (!bounds[i].roundToInteger) continue;
            const double r = RoundHalfEven(values[i]);
            if (r < bounds[i].lo || r > bounds[i].hi) return false;
            bounds[i].cells->at(k)->setText(QString::number(qint64(r)));
        }
    }
    return true;
}

void ScalingPage::setEditable(const QList<QVector<QLineEdit *> *> &columns, bool enable) {
    for (int k = 0; k < channelRows(); ++k)
        for (QVector<QLineEdit *> *col : columns)
            if (k < col->size()) col->at(k)->setEnabled(enable);
}

void ScalingPage::setComboEditable(const QVector<QComboBox *> &combos, bool enable) {
    for (int k = 0; k < channelRows() && k < combos.size(); ++k) combos[k]->setEnabled(enable);
}

void ScalingPage::setHoldEditable(bool enable) {
    if (optKeepOn) optKeepOn->setEnabled(enable);
    if (optKeepOff) optKeepOff->setEnabled(enable);
}
