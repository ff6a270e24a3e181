#include "pages/ScalingPage.h"
#include "core/Commands.h"
#include "core/Ui.h"
#include "pages/ExtCells.h"
#include "core/Globals.h"
#include "pages/Settings.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ScalingPage::ScalingPage(const QString &name, int modelnum, QWidget *parent) : Page(name, modelnum, parent) {}

// ---- the declaration's standard parts

namespace {
using Column = ScalingPage::Column;
Column newColumn(const QString &name, const QString &head, const QString &headName, int slot) {
    Column c;
    c.name = name;
    c.head = head;
    c.headName = headName;
    c.slot = slot;
    c.written = slot > 0;
    return c;
}
Column withHint(Column c, const QString &hint, const QString &hintName) {
    c.hint = hint;
    c.hintName = hintName;
    return c;
}
} // namespace

ScalingPage::Column ScalingPage::ZeroScale() {
    Column c = withHint(newColumn("txtZScale", "Zero scale", "lblZScale01", 1), "-32000 to 32000", "lblZScale");
    c.check = {true, Bound{-32000, 32000}, Bound{-32000, 32000}};
    return c;
}

ScalingPage::Column ScalingPage::FullScale() {
    Column c = withHint(newColumn("txtFScale", "Full scale", "lblFScale01", 2), "-32000 to 32000", "lblFScale");
    c.check = {true, Bound{-32000, 32000}, Bound{-32000, 32000}};
    return c;
}

ScalingPage::Column ScalingPage::BiasColumn() {
    Column c = withHint(newColumn("txtBias", "Bias", "lblBias01", 3), "-320.00 to 320.00", "lblBias");
    c.check = {true, Bound{-320, 320}, std::nullopt};
    return c;
}

ScalingPage::Column ScalingPage::GainColumn() {
    Column c = withHint(newColumn("txtGain", "Gain", "lblGain01", 4), "-3.2000 to 3.2000", "lblGain");
    c.check = {true, Bound{-3.2, 3.2}, std::nullopt};
    return c;
}

ScalingPage::Column ScalingPage::ZeroBase() {
    Column c = newColumn("txtZBase", "Zero base", "lblZBase01", 5);
    c.unitName = "lblZBase_Unit";
    c.access = Access::Display;
    return c;
}

ScalingPage::Column ScalingPage::FullBase() {
    Column c = newColumn("txtFBase", "Full base", "lblFBase01", 6);
    c.unitName = "lblFBase_Unit";
    c.access = Access::Display;
    return c;
}

QList<ScalingPage::Column> ScalingPage::SlotColumns() {
    return {ZeroScale(), FullScale(), BiasColumn(), GainColumn(), ZeroBase(), FullBase()};
}

ScalingPage::Column ScalingPage::ExtraColumn(const QString &name, const QString &head, const QString &headName,
                                             Place place, Kind kind) {
    Column c = newColumn(name, head, headName, 0);
    c.place = place;
    c.kind = kind;
    return c;
}

ScalingPage::Column ScalingPage::RangeColumn(Place place, const QString &head, const QStringList &items) {
    Column c = ExtraColumn("cmbUserRange", head, "Label12", place, Kind::List);
    c.width = 150;
    c.items = items;
    return c;
}

ScalingPage::ChannelItem ScalingPage::ChannelRead(const QString &item, bool readSelect, const OnEmpty &onEmpty) {
    ChannelItem c;
    c.item = item;
    c.readSelect = readSelect;
    c.onEmpty = onEmpty;
    return c;
}

ScalingPage::ModuleItem ScalingPage::ModuleRead(const QString &group, const QString &item, const OnEmpty &onEmpty) {
    ModuleItem m;
    m.group = group;
    m.item = item;
    m.onEmpty = onEmpty;
    return m;
}

ScalingPage::ChannelItem ScalingPage::rangeItem(bool select, const OnEmpty &onEmpty) {
    ChannelItem c = ChannelRead("09", select, onEmpty);
    c.show = [this](int k, const QString &v) {
        const int index = HexDigitValue(v.left(2));
        SelectFromUnit(list("cmbUserRange", k), index);
        if (m_switchRange == 15 && m_decl.unitTable) setUnitLabels(k, UnitAt(*m_decl.unitTable, index));
    };
    c.control = "cmbUserRange";
    c.data = [this](int k) -> std::optional<QString> {
        const QString index = IndexForUnit(list("cmbUserRange", k));
        if (index.isEmpty()) return std::nullopt;
        return index;
    };
    return c;
}

// ---- building

void ScalingPage::build(const Decl &d) {
    m_decl = d;
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    top->setSpacing(6);
    buildValueFrame();
    top->addWidget(Frame1);
    if (m_decl.views == 2) {
        fraSetModel = MakeFrame(this, "fraSetModel", QString());
        auto *h = new QHBoxLayout(fraSetModel);
        h->setContentsMargins(8, 4, 8, 4);
        cmdSet1 = MakeButton(fraSetModel, "cmdSet1", m_decl.set1Caption);
        cmdSet2 = MakeButton(fraSetModel, "cmdSet2", m_decl.set2Caption);
        for (QPushButton *b : {cmdSet1, cmdSet2}) {
            b->setMinimumWidth(110);
            h->addWidget(b);
        }
        h->addStretch();
        ConnectCommand(cmdSet1, [this] {
            cmdSet1_Click();
            return co::Ready();
        });
        ConnectCommand(cmdSet2, [this] {
            cmdSet2_Click();
            return co::Ready();
        });
        top->addWidget(fraSetModel);
    }
    frmSet1 = MakeFrame(this, "frmSet1", QString());
    top->addWidget(frmSet1, 1);
    if (m_decl.views == 2) {
        frmSet2 = MakeFrame(this, "frmSet2", QString());
        top->addWidget(frmSet2, 1);
    }
    m_views.add(cmdSet1, frmSet1);
    if (frmSet2) m_views.add(cmdSet2, frmSet2);
    buildView(1, frmSet1);
    if (frmSet2) buildView(2, frmSet2);
    if (m_decl.hold) {
        m_hold = std::make_unique<HoldFrame>(this, true);
        sideOf(*m_decl.hold)->insertWidget(0, m_hold->Frame2);
        Frame2 = m_hold->Frame2;
        optKeepOn = m_hold->optKeepOn;
        optKeepOff = m_hold->optKeepOff;
    }
    bindMembers();
    // A slot shown from the unit that Download leaves alone is no setting to compare.
    for (const Column &c : m_decl.columns)
        if (c.slot > 0 && !c.written)
            for (QWidget *w : m_columns.value(c.name)) SetNeverWritten(w);
    m_views.show(0);
}

void ScalingPage::buildValueFrame() {
    Frame1 = MakeFrame(this, "Frame1", "Value");
    auto *outer = new QHBoxLayout(Frame1);
    auto *v = new QVBoxLayout;
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    lblV_Unit = MakeLabel(Frame1, "lblV_Unit", "Type");
    QFont bold = lblV_Unit->font();
    bold.setBold(true);
    lblV_Unit->setFont(bold);
    lblV_Unit->setMinimumWidth(70);
    grid->addWidget(lblV_Unit, 0, 0);
    const int perRow = m_decl.liveCellsPerRow;
    const LiveCells live = MakeLiveCells(Frame1, grid, m_decl.rows, perRow, 1);
    txtParData = live.txtParData;
    // Controls the page shows beside its live values sit under each value cell.
    const bool extraLine = std::any_of(m_decl.columns.begin(), m_decl.columns.end(),
                                       [](const Column &c) { return c.place == Place::Value; });
    if (extraLine) {
        for (int k = 0; k < m_decl.rows; ++k) {
            const int row = k / perRow;
            grid->removeWidget(live.labels[k]);
            grid->removeWidget(live.txtParData[k]);
            grid->addWidget(live.labels[k], 2 * row, 1 + 2 * (k % perRow));
            grid->addWidget(live.txtParData[k], 2 * row, 2 + 2 * (k % perRow));
            for (const Column &c : m_decl.columns)
                if (c.place == Place::Value)
                    grid->addWidget(makeCell(c, Frame1, k), 2 * row + 1, 2 + 2 * (k % perRow));
        }
    }
    grid->setColumnStretch(2 * perRow + 1, 1);
    v->addLayout(grid);
    if (m_decl.extDisplay) {
        const ExtensionRow ext = MakeExtensionRow(Frame1);
        lblV_Ext = ext.lblV_Ext;
        lblExtIndex = ext.lblExtIndex;
        txtChData = ext.txtChData;
        v->addWidget(ext.area);
    }
    outer->addLayout(v, 1);
    auto *side = new QVBoxLayout;
    side->addStretch();
    outer->addLayout(side);
    m_sides.insert(0, side);
}

QList<int> ScalingPage::rowsOfView(int v) const {
    QList<int> rows;
    const int per = m_decl.rowsPerView;
    for (int k = 0; k < m_decl.rows; ++k)
        if (per == 0 || k / per == v - 1) rows.append(k);
    return rows;
}

bool ScalingPage::onView(const Column &c, int v) const {
    if (c.place == Place::RowView) return m_decl.rowsPerView > 0 || v == 1;
    return (c.place == Place::View1 && v == 1) || (c.place == Place::View2 && (v == 2 || m_decl.views == 1));
}

void ScalingPage::store(const QString &name, int k, QWidget *w) {
    QVector<QWidget *> &cells = m_columns[name];
    if (cells.size() <= k) cells.resize(k + 1);
    cells[k] = w;
}

QString ScalingPage::nameOf(const Column &c, const QStringList &names, const QString &base, int k) const {
    Q_UNUSED(c);
    if (k < names.size()) return names.at(k);
    return base.isEmpty() ? QString() : IndexedName(base, k);
}

QWidget *ScalingPage::makeCell(const Column &c, QWidget *parent, int k) {
    const QString name = nameOf(c, c.names, c.name, k);
    const QString spoken = QStringLiteral("CH %1 %2").arg(k).arg(c.head.isEmpty() ? c.caption : c.head);
    QWidget *w = nullptr;
    switch (c.kind) {
    case Kind::Text: {
        QLineEdit *t = MakeText(parent, name, spoken, c.width);
        t->setAlignment(Qt::AlignRight);
        if (c.readOnly) {
            t->setReadOnly(true);
            t->setFocusPolicy(Qt::NoFocus);
        }
        w = t;
        break;
    }
    case Kind::List: w = MakeCombo(parent, name, spoken, c.width); break;
    case Kind::Label: {
        QLabel *l = MakeLabel(parent, name, QString());
        l->setMinimumWidth(c.width);
        w = l;
        break;
    }
    case Kind::Button: {
        QPushButton *b = MakeButton(parent, name, c.caption);
        b->setAccessibleName(spoken);
        if (c.width > 0) b->setMinimumWidth(c.width);
        w = b;
        break;
    }
    }
    if (c.access == Access::Display) w->setEnabled(false);
    store(c.name, k, w);
    return w;
}

void ScalingPage::buildView(int v, QGroupBox *frame) {
    auto *outer = new QHBoxLayout;
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(1);
    QList<const Column *> cols;
    for (const Column &c : m_decl.columns)
        if (onView(c, v)) cols.append(&c);
    const QList<int> rows = cols.isEmpty() ? QList<int>() : rowsOfView(v);
    const bool hints = std::any_of(cols.begin(), cols.end(), [](const Column *c) { return !c->hintName.isEmpty() || !c->hintNames.isEmpty(); });
    const int step = hints ? 2 : 1;
    // Heads too long for their column stand on a line of their own, ending over the column.
    const int headRow = 1, firstRow = 2;
    int gc = 1;
    for (const Column *c : cols) {
        const bool unit = !c->unitName.isEmpty() || !c->unitNames.isEmpty();
        const int span = unit ? 2 : 1;
        if (!c->head.isEmpty()) {
            // The first view that shows a column carries its head's name.
            const bool named = v == 1 || !onView(*c, 1);
            QLabel *head = MakeLabel(frame, named ? c->headName : QString(), c->head);
            const bool wide = head->sizeHint().width() > c->width + 24;
            if (wide) grid->addWidget(head, 0, 1, 1, gc + span - 1, Qt::AlignRight | Qt::AlignBottom);
            else grid->addWidget(head, headRow, gc, 1, span, Qt::AlignLeft | Qt::AlignBottom);
        }
        for (int i = 0; i < rows.size(); ++i) {
            const int k = rows[i];
            const int gr = firstRow + step * i;
            grid->addWidget(makeCell(*c, frame, k), gr, gc);
            if (unit) {
                QLabel *u = MakeLabel(frame, nameOf(*c, c->unitNames, c->unitName, k), c->unitText);
                u->setMinimumWidth(18);
                grid->addWidget(u, gr, gc + 1);
                store(c->unitName.isEmpty() ? c->name + "#unit" : c->unitName, k, u);
            }
            if (!c->hintName.isEmpty() || !c->hintNames.isEmpty()) {
                QLabel *h = MakeHint(frame, nameOf(*c, c->hintNames, c->hintName, k), c->hint);
                grid->addWidget(h, gr + 1, gc, 1, span, Qt::AlignLeft | Qt::AlignTop);
                store(c->hintName.isEmpty() ? c->name + "#hint" : c->hintName, k, h);
            }
        }
        gc += span;
    }
    for (int i = 0; i < rows.size(); ++i) {
        const int k = rows[i];
        grid->addWidget(MakeLabel(frame, IndexedName(QStringLiteral("lblCh%1_").arg(v), k), QStringLiteral("CH %1").arg(k)),
                        firstRow + step * i, 0);
        if (hints) grid->setRowMinimumHeight(firstRow + 1 + step * i, 16);
    }
    grid->setRowStretch(firstRow + step * int(rows.size()), 1);
    auto *body = new QVBoxLayout;
    body->addLayout(grid);
    body->addStretch(1);
    m_bodies.insert(v, body);
    outer->addLayout(body);
    outer->addStretch(1);
    auto *side = new QVBoxLayout;
    side->addStretch();
    if (m_decl.framesBelow) {
        // The frames stand under the columns, from the left.
        auto *column = new QVBoxLayout(frame);
        column->addLayout(outer);
        auto *under = new QHBoxLayout;
        under->addLayout(side);
        under->addStretch(1);
        column->addLayout(under);
        column->addStretch(1);
    } else {
        frame->setLayout(outer);
        outer->addLayout(side);
    }
    m_sides.insert(v, side);
}

QVBoxLayout *ScalingPage::sideOf(Place place) {
    const int v = place == Place::Value ? 0 : place == Place::View2 && frmSet2 ? 2 : 1;
    return m_sides.value(v);
}

QGroupBox *ScalingPage::addFrame(const QString &name, const QString &caption, Place place) {
    QVBoxLayout *side = sideOf(place);
    QGroupBox *f = MakeFrame(side->parentWidget() ? side->parentWidget() : this, name, caption);
    side->insertWidget(side->count() - 1, f);
    return f;
}

QWidget *ScalingPage::addBlock(const QString &name, Place place) {
    const int v = place == Place::View2 && frmSet2 ? 2 : 1;
    QVBoxLayout *body = m_bodies.value(v);
    auto *block = new QWidget(v == 2 ? frmSet2 : frmSet1);
    block->setObjectName(name);
    body->insertWidget(body->count() - 1, block);
    return block;
}

void ScalingPage::addModuleControl(QWidget *control, Access access, const Check &check) {
    if (access == Access::Display) control->setEnabled(false);
    m_moduleControls.append({control, access, check});
}

template <class T> static QVector<T *> cast(const QVector<QWidget *> &cells) {
    QVector<T *> out;
    for (QWidget *w : cells) out.append(qobject_cast<T *>(w));
    return out;
}

void ScalingPage::bindMembers() {
    txtZScale = cast<QLineEdit>(column("txtZScale"));
    txtFScale = cast<QLineEdit>(column("txtFScale"));
    txtBias = cast<QLineEdit>(column("txtBias"));
    txtGain = cast<QLineEdit>(column("txtGain"));
    txtZBase = cast<QLineEdit>(column("txtZBase"));
    txtFBase = cast<QLineEdit>(column("txtFBase"));
    lblZBase_Unit = cast<QLabel>(column("lblZBase_Unit"));
    lblFBase_Unit = cast<QLabel>(column("lblFBase_Unit"));
    lblZScale = cast<QLabel>(column("lblZScale"));
    lblFScale = cast<QLabel>(column("lblFScale"));
    lblBias = cast<QLabel>(column("lblBias"));
    lblGain = cast<QLabel>(column("lblGain"));
    cmbUserRange = cast<QComboBox>(column("cmbUserRange"));
    auto head = [this](const char *name) { return findChild<QLabel *>(name); };
    lblZScale01 = head("lblZScale01");
    lblFScale01 = head("lblFScale01");
    lblBias01 = head("lblBias01");
    lblGain01 = head("lblGain01");
    lblZBase01 = head("lblZBase01");
    lblFBase01 = head("lblFBase01");
    Label12 = head("Label12");
}

QLineEdit *ScalingPage::text(const QString &name, int k) const { return cell<QLineEdit>(name, k); }
QComboBox *ScalingPage::list(const QString &name, int k) const { return cell<QComboBox>(name, k); }

// ---- views

void ScalingPage::cmdSet1_Click() { m_views.show(0); }
void ScalingPage::cmdSet2_Click() {
    if (m_views.count() > 1) m_views.show(1);
}

// ---- Init

co::Task<> ScalingPage::beginInit() {
    m_views.show(0);
    if (!m_decl.viewsOpenInInit) m_views.lock();
    txt_able(false);
    lblV_Unit->setText(AfterDash(g.UnitModel));
    if (m_decl.extDisplay) co_await InitExtCells(this);
}

void ScalingPage::endInit() {
    m_views.unlock();
    txt_able(true);
}

co::Task<> ScalingPage::readModuleItems() {
    if (m_decl.switchRange != SwitchRange::None) {
        const QString item = g.NetTyp == 6 && g.SubTyp != 0 ? "08" : "09";
        m_switchRange = HexDigitValue(AfterColon(co_await Read(EndSilently, "00", item)).left(1));
    }
    if (m_hold) co_await m_hold->read(EndSilently);
    for (const ModuleItem &m : m_decl.moduleItems) {
        if (!m.show) continue;
        const QString r = co_await Read(m.onEmpty, m.group, m.item);
        if (!r.isEmpty()) m.show(AfterColon(r));
    }
}

co::Task<> ScalingPage::readChannel(int ch) {
    const int k = ch - 1;
    for (const Column &c : m_decl.columns) {
        if (c.kind != Kind::List || c.items.isEmpty()) continue;
        RefillList(list(c.name, k), c.items);
    }
    SetChItems(ch);
    ChParamRec &p = g.ChParam[size_t(k)];
    bool first = true;
    for (int s : m_decl.readSlots) {
        QString r;
        if (first) r = co_await Read(UploadError, ChannelGroup(ch), p.item(s));
        else r = co_await Inquire(UploadError, p.item(s));
        p.value(s) = AfterColon(r);
        first = false;
    }
    for (const Column &c : m_decl.columns)
        if (c.slot > 0)
            if (QLineEdit *t = text(c.name, k)) t->setText(p.value(c.slot));
    if (m_decl.unitTable && m_decl.switchRange == SwitchRange::Used)
        setUnitLabels(k, UnitAt(*m_decl.unitTable, m_switchRange));
    if (!m_decl.fixedUnit.isEmpty()) setUnitLabels(k, m_decl.fixedUnit);
    for (const ChannelItem &c : m_decl.channelItems) {
        if (!c.show || (c.applies && !c.applies())) continue;
        if (c.item.isEmpty()) {
            c.show(k, QString());
            continue;
        }
        QString r;
        if (c.readSelect) r = co_await Read(c.onEmpty, ChannelGroup(ch), c.item);
        else r = co_await Inquire(c.onEmpty, c.item);
        if (!r.isEmpty()) c.show(k, AfterColon(r));
    }
}

co::Task<> ScalingPage::readChannels() {
    for (int ch = 1; ch <= channelRows(); ++ch) {
        co_await readChannel(ch);
        AdvanceProgress();
    }
}

co::Task<> ScalingPage::scalingInit() {
    co_await PageStep("Initializing", [this]() -> co::Task<> {
        co_await beginInit();
        co_await readModuleItems();
        co_await readChannels();
        endInit();
    });
}

void ScalingPage::setUnitLabels(int k, const QString &unit) {
    if (QLabel *z = lblZBase_Unit.value(k)) z->setText(unit);
    if (QLabel *f = lblFBase_Unit.value(k)) f->setText(unit);
}

// ---- Download

void ScalingPage::beginDownload() {
    txt_able(false);
    m_views.lock();
}

co::Task<> ScalingPage::writeChannel(int ch) {
    const int k = ch - 1;
    // The item codes follow the kind; a page filled from a file has not read them yet.
    SetChItems(ch);
    const ChParamRec &p = g.ChParam[size_t(k)];
    // Where the items go first, they select the group and every slot is data; an item skipped
    // (a list never read) must not leave the channel's writes going to the group before.
    bool itemsWritten = false;
    if (m_decl.itemsBeforeSlots) itemsWritten = co_await writeChannelItems(ch, true);
    QList<const Column *> slotCols;
    for (const Column &c : m_decl.columns)
        if (c.slot > 0 && c.written) slotCols.append(&c);
    std::sort(slotCols.begin(), slotCols.end(), [](const Column *a, const Column *b) { return a->slot < b->slot; });
    bool first = !itemsWritten;
    for (const Column *c : slotCols) {
        const QLineEdit *t = text(c->name, k);
        const QString v = t ? t->text() : QString();
        if (first) co_await Write(NoBranch, ChannelGroup(ch), p.item(c->slot), v, t);
        else co_await WriteData(NoBranch, p.item(c->slot), v, t);
        first = false;
    }
    if (!m_decl.itemsBeforeSlots) co_await writeChannelItems(ch, false);
}

co::Task<bool> ScalingPage::writeChannelItems(int ch, bool selectFirst) {
    const int k = ch - 1;
    bool written = false;
    QList<const ChannelItem *> writes;
    for (const ChannelItem &c : m_decl.channelItems)
        if (c.data && (!c.applies || c.applies())) writes.append(&c);
    if (!m_decl.writeOrder.isEmpty())
        std::sort(writes.begin(), writes.end(), [this](const ChannelItem *a, const ChannelItem *b) {
            return m_decl.writeOrder.indexOf(a->item) < m_decl.writeOrder.indexOf(b->item);
        });
    for (const ChannelItem *pc : writes) {
        const ChannelItem &c = *pc;
        const std::optional<QString> v = c.data(k);
        if (!v) continue;
        const QWidget *from = c.control.isEmpty() ? nullptr : Control(this, IndexedName(c.control, k));
        if (c.writeSelect || selectFirst) co_await Write(NoBranch, ChannelGroup(ch), c.item, *v, from);
        else co_await WriteData(NoBranch, c.item, *v, from);
        selectFirst = false;
        written = true;
    }
    co_return written;
}

co::Task<> ScalingPage::writeModuleItems() {
    if (m_hold) co_await m_hold->write();
    for (const ModuleItem &m : m_decl.moduleItems)
        if (m.data)
            if (const std::optional<QString> v = m.data()) {
                QWidget *control = m.control.isEmpty() ? nullptr : Control(this, m.control);
                co_await Write(NoBranch, m.group, m.item, *v, control);
            }
}

co::Task<> ScalingPage::scalingDownload() {
    beginDownload();
    co_await PageStep("Downloading", [this]() -> co::Task<> {
        for (int ch = 1; ch <= channelRows(); ++ch) {
            co_await writeChannel(ch);
            AdvanceProgress();
        }
        co_await writeModuleItems();
    });
}

// ---- ReadingData

co::Task<> ScalingPage::readLiveValues() {
    const int n = m_decl.liveFollowsChCount ? channelRows() : m_decl.rows;
    for (int k = 0; k < n; ++k)
        ShowLive(this, txtParData.value(k), k, co_await ReadItemRetry(3, "00", QString::number(m_decl.firstLiveItem + k)));
}

co::Task<> ScalingPage::readExtension() {
    if (g.ExtName != "NONE") co_await ReadExtPoints(this);
}

co::Task<> ScalingPage::ReadingData() {
    co_await readLiveValues();
    if (m_decl.extDisplay && m_decl.readExtension) co_await readExtension();
}

// ---- CheckData

bool ScalingPage::CheckData() {
    const int n = channelRows();
    if (m_decl.failWithoutChannels && n == 0) return false;
    auto numericFails = [](const QWidget *w, const Check &c) {
        const auto *t = qobject_cast<const QLineEdit *>(w);
        const bool fails = c.numeric && t && !IsNumeric(t->text());
        if (fails) RefuseCheck(t, "a number");
        return fails;
    };
    for (int k = 0; k < n; ++k)
        for (const Column &c : m_decl.columns)
            if (numericFails(m_columns.value(c.name).value(k), c.check)) return false;
    for (const ModuleControl &m : m_moduleControls)
        if (numericFails(m.control, m.check)) return false;

    // Bounds first; a channel's rounded texts are written back only once all its bounds pass.
    auto passes = [](QLineEdit *t, const Check &c, QList<std::pair<QLineEdit *, double>> &rounded) {
        if (!t || (!c.bound && !c.rounded)) return true;
        const double v = ToDouble(t->text()).value_or(0);
        if (c.bound && (v < c.bound->lo || v > c.bound->hi)) {
            RefuseCheck(t, RangeText(c.bound->lo, c.bound->hi));
            return false;
        }
        if (c.rounded) rounded.append({t, v});
        return true;
    };
    // All of a channel's rounded values pass before any is written back: a failed check changes nothing of it.
    auto writeRounded = [](const QList<std::pair<QLineEdit *, double>> &rounded, const QList<Bound> &bounds) {
        for (int i = 0; i < rounded.size(); ++i) {
            const double r = RoundHalfEven(rounded[i].second);
            if (r < bounds[i].lo || r > bounds[i].hi) {
                RefuseCheck(rounded[i].first, RangeText(bounds[i].lo, bounds[i].hi));
                return false;
            }
        }
        for (const auto &[box, v] : rounded) box->setText(QString::number(qint64(RoundHalfEven(v))));
        return true;
    };
    for (int k = 0; k < n; ++k) {
        QList<std::pair<QLineEdit *, double>> rounded;
        QList<Bound> roundedBounds;
        for (const Column &c : m_decl.columns) {
            if (!passes(text(c.name, k), c.check, rounded)) return false;
            if (c.check.rounded && text(c.name, k)) roundedBounds.append(*c.check.rounded);
        }
        if (!writeRounded(rounded, roundedBounds)) return false;
    }
    for (const ModuleControl &m : m_moduleControls) {
        QList<std::pair<QLineEdit *, double>> rounded;
        if (!passes(qobject_cast<QLineEdit *>(m.control), m.check, rounded)) return false;
        if (m.check.rounded && !writeRounded(rounded, {*m.check.rounded})) return false;
    }
    return true;
}

// ---- txt_able

void ScalingPage::txt_able(bool enable) {
    for (int k = 0; k < channelRows(); ++k)
        for (const Column &c : m_decl.columns) {
            if (c.access == Access::Fixed) continue;
            if (QWidget *w = m_columns.value(c.name).value(k)) w->setEnabled(c.access == Access::Edit && enable);
        }
    if (m_hold) m_hold->setEditable(enable);
    for (const ModuleControl &m : m_moduleControls)
        if (m.access != Access::Fixed) m.control->setEnabled(m.access == Access::Edit && enable);
}
