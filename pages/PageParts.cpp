#include "pages/PageParts.h"
#include "pages/Colors.h"
#include "core/Commands.h"
#include "link/Link.h"
#include "core/Ui.h"
#include "pages/ExtCells.h"
#include "core/Globals.h"
#include "core/Ui.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"
#include "pages/Page.h"
#include "pages/Settings.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

// ---- exchanges

co::Task<> FailAndDisconnect(QString text, QString title) {
    UnloadProgress();
    co_await MsgBox(text, title, MsgIcon::Critical);
    if (Link *l = Link::current()) l->dropUnit();
}

co::Task<> PageStep(PageBody body) {
    try {
        co_await body();
    } catch (const PageStepEnded &) {
        OutcomeScope::noteStopped();
    }
}

co::Task<> PageStep(QString progressCaption, PageBody body) {
    ProgressScope progress(progressCaption);
    co_await PageStep(std::move(body));
}

namespace {
co::Task<QString> apply(OnEmpty onEmpty, QString r) {
    if (!r.isEmpty() || onEmpty.kind == OnEmpty::Go) co_return r;
    if (onEmpty.kind == OnEmpty::Fail && (g.Connected || !onEmpty.whileConnected))
        co_await FailAndDisconnect(onEmpty.text, onEmpty.title);
    throw PageStepEnded{};
}
} // namespace

co::Task<QString> Read(OnEmpty onEmpty, QString group, QString item) {
    co_return co_await apply(onEmpty, co_await ReadItemRetry(3, group, item));
}
co::Task<QString> Inquire(OnEmpty onEmpty, QString item) {
    co_return co_await apply(onEmpty, co_await InquireItemRetry(3, item));
}
co::Task<QString> Write(OnEmpty onEmpty, QString group, QString item, QString data, const QWidget *from) {
    ExpectSent(from, data);
    co_return co_await apply(onEmpty, co_await WriteItemRetry(3, group, item, data));
}
co::Task<QString> WriteData(OnEmpty onEmpty, QString item, QString data, const QWidget *from) {
    ExpectSent(from, data);
    co_return co_await apply(onEmpty, co_await WriteDataRetry(3, item, data));
}

// ---- channels

int ChannelRows(int rows) { return std::clamp(g.ChCount, 0, rows); }

QString ChannelGroup(int ch, bool twoDigits) {
    return twoDigits ? QStringLiteral("%1").arg(ch, 2, 10, QChar('0')) : QString::number(ch);
}

// ---- lists

namespace {
const char *const UnitIndexProperty = "unitIndex";
}

void SelectFromUnit(QComboBox *list, int index) {
    if (!list) return;
    list->setProperty(UnitIndexProperty, index);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void SelectFromFile(QComboBox *list, int index) {
    if (!list) return;
    list->setProperty(UnitIndexProperty, QVariant());
    list->setCurrentIndex(index);
}

void RefillList(QComboBox *list, const QStringList &entries) {
    if (!list) return;
    list->clear();
    list->addItems(entries);
    SelectFromFile(list, -1);
}

QString IndexForUnit(const QComboBox *list) {
    if (!list) return {};
    if (list->currentIndex() >= 0) return QString::number(list->currentIndex());
    const QVariant read = list->property(UnitIndexProperty);
    return read.isValid() ? QString::number(read.toInt()) : QString();
}

// ---- hold frame

HoldFrame::HoldFrame(QWidget *parent, bool netTypRule) : m_netTypRule(netTypRule) {
    Frame2 = MakeFrame(parent, "Frame2", "Output Hold/Clear");
    auto *v = new QVBoxLayout(Frame2);
    optKeepOn = MakeOption(Frame2, "optKeepOn", "Output Hold");
    optKeepOff = MakeOption(Frame2, "optKeepOff", "Output Clear");
    v->addWidget(optKeepOn);
    v->addWidget(optKeepOff);
}

bool HoldFrame::applies() const { return !m_netTypRule || (g.NetTyp >= 0 && g.NetTyp <= 5); }

co::Task<> HoldFrame::read(OnEmpty onEmpty) {
    Frame2->setVisible(applies());
    showExchanged();
    if (!applies()) co_return;
    const bool hold = AfterColon(co_await Read(onEmpty, "00", "14")) == "ON";
    optKeepOn->setChecked(hold);
    optKeepOff->setChecked(!hold);
}

co::Task<> HoldFrame::write(OnEmpty onEmpty) {
    showExchanged();
    if (!applies()) co_return;
    const bool hold = optKeepOn->isChecked();
    ExpectSentOption(hold ? optKeepOn : optKeepOff);
    const QString data = hold ? "0" : "1";
    co_await Write(onEmpty, "00", "14", data);
}

void HoldFrame::showExchanged() {
    SetExchanged(optKeepOn, applies());
    SetExchanged(optKeepOff, applies());
}

void HoldFrame::setEditable(bool enable) {
    optKeepOn->setEnabled(enable);
    optKeepOff->setEnabled(enable);
}

// ---- extension row

CellRow MakeCellRow(QWidget *parent, int x0, int y0, const QString &indexName, const QString &caption,
                    const QString &cellName, const QString &spoken, int count) {
    CellRow row;
    row.index = MakeLabel(parent, indexName, caption);
    // A fixed-pitch caption small enough for its 85 characters to span the frame.
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(10);
    row.index->setFont(mono);
    const QFontMetrics fm(mono);
    const int cw = fm.horizontalAdvance('0');
    // Placed by the 16-point caption whatever this one says, so every row lines up.
    const QString places = ExtIndex16;
    row.index->setGeometry(x0, y0, fm.horizontalAdvance(places) + cw, 16);
    for (int i = 0; i < places.size() && row.cells.size() < count; ++i) {
        if (places.at(i) == ' ') continue;
        const int cell = int(row.cells.size());
        QLineEdit *c = MakeCell(parent, IndexedName(cellName, cell), spoken.arg(cell));
        c->move(x0 + i * cw + cw / 2 - c->width() / 2, y0 + 18);
        row.cells.append(c);
    }
    return row;
}

namespace {
// Left edge of the point numbers, on every row of cells.
constexpr int CellsX = 64;
} // namespace

PointHead MakePointHead(QWidget *parent, int cells, const QString &indexName, const QString &caption) {
    PointHead head;
    head.area = new QWidget(parent);
    head.area->setObjectName("pointArea");
    head.lblV_Unit = MakeLabel(head.area, "lblV_Unit", "Type");
    QFont bold = head.lblV_Unit->font();
    bold.setBold(true);
    head.lblV_Unit->setFont(bold);
    head.lblV_Unit->setGeometry(0, cells > 0 ? 18 : 0, CellsX - 4, 18);
    head.area->setFixedHeight(cells > 0 ? 38 : 20);
    if (cells > 0) head.points = MakeCellRow(head.area, CellsX, 0, indexName, caption, "txtCData", "Point %1", cells);
    return head;
}

ExtensionRow MakeExtensionRow(QWidget *parent) {
    ExtensionRow row;
    row.area = new QWidget(parent);
    row.area->setObjectName("extArea");
    row.area->setFixedHeight(40);
    row.lblV_Ext = MakeLabel(row.area, "lblV_Ext", QString());
    QFont bold = row.lblV_Ext->font();
    bold.setBold(true);
    row.lblV_Ext->setFont(bold);
    row.lblV_Ext->setGeometry(0, 16, 60, 20);
    const CellRow cells =
        MakeCellRow(row.area, CellsX, 0, IndexedName("lblExtIndex", 0), ExtIndex16, "txtChData", "Extension point %1");
    row.lblExtIndex.append(cells.index);
    row.txtChData = cells.cells;
    return row;
}

// ---- live values

void ShowLive(Page *page, QLineEdit *cell, int channel, const QString &reply, LiveText text) {
    if (!cell || reply.isEmpty()) return;
    const std::optional<QString> v = text == LiveText::Rule ? LiveValueText(reply) : AfterColon(reply);
    if (!v) return;
    if (cell->text() != *v) cell->setText(*v);
    if (page && channel >= 0)
        if (const auto number = ToDouble(AfterColon(reply))) emit page->liveValue(channel, *number);
}

LiveCells MakeLiveCells(QWidget *parent, QGridLayout *grid, int rows, int perRow, int firstColumn) {
    LiveCells cells;
    for (int k = 0; k < rows; ++k) {
        QLabel *l = MakeLabel(parent, QStringLiteral("Label%1").arg(k + 1), QStringLiteral("CH %1").arg(k));
        QLineEdit *t = MakeText(parent, IndexedName("txtParData", k), QStringLiteral("CH %1 Value").arg(k), 84);
        t->setReadOnly(true);
        t->setFocusPolicy(Qt::NoFocus);
        t->setAlignment(Qt::AlignRight);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(l, k / perRow, firstColumn + 2 * (k % perRow));
        grid->addWidget(t, k / perRow, firstColumn + 1 + 2 * (k % perRow));
        cells.labels.append(l);
        cells.txtParData.append(t);
    }
    return cells;
}

// ---- views

void ViewSwitch::add(QPushButton *button, QWidget *view) {
    m_buttons.append(button);
    m_views.append(view);
}

void ViewSwitch::show(int i) {
    m_current = i;
    for (int j = 0; j < m_views.size(); ++j) {
        if (m_buttons[j]) m_buttons[j]->setEnabled(j != i);
        if (m_views[j]) m_views[j]->setVisible(j == i);
    }
}

void ViewSwitch::lock() {
    for (QPushButton *b : m_buttons)
        if (b) b->setEnabled(false);
}

bool ViewSwitch::locked() const {
    return std::none_of(m_buttons.begin(), m_buttons.end(), [](const QPushButton *b) { return b && b->isEnabled(); });
}

void ViewSwitch::unlock() {
    for (int j = 0; j < m_buttons.size(); ++j)
        if (m_buttons[j]) m_buttons[j]->setEnabled(j != m_current);
}

QGroupBox *MakeViewBar(QWidget *parent, const QStringList &captions, QList<QPushButton *> &buttons,
                       const std::function<void(int)> &clicked, const QString &name, const QStringList &buttonNames) {
    QGroupBox *bar = MakeFrame(parent, name, QString());
    auto *h = new QHBoxLayout(bar);
    h->setContentsMargins(8, 4, 8, 4);
    for (int i = 0; i < captions.size(); ++i) {
        const QString buttonName = i < buttonNames.size() ? buttonNames[i] : QStringLiteral("cmdSet%1").arg(i + 1);
        QPushButton *b = MakeButton(bar, buttonName, captions[i]);
        b->setMinimumWidth(110);
        h->addWidget(b);
        ConnectCommand(b, [clicked, i] {
            clicked(i);
            return co::Ready();
        });
        buttons.append(b);
    }
    h->addStretch();
    return bar;
}

QLabel *MakeHint(QWidget *parent, const QString &name, const QString &text) {
    QLabel *l = MakeLabel(parent, name, text);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 0.78);
    l->setFont(f);
    l->setEnabled(false);
    return l;
}
