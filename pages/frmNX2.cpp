#include "pages/frmNX2.h"
#include "core/Commands.h"
#include "core/Ui.h"
#include "core/Globals.h"
#include "pages/Settings.h"
#include "pages/Widgets.h"
#include "pages/Record.h"
#include "link/Numbers.h"
#include "link/TextRoutines.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

namespace {

enum View { Setting, Alarm, LatchReset };
// Which display mode shows a control: always, with the position set, or with the speed set.
enum Set { Both, Position, Speed };

// The page's per-channel controls in the order the unit keeps their items.
struct Field {
    const char *name; // control array, elements (0) and (1)
    View view;
    const char *section; // heading over the row ("Alarm A"), or null
    const char *caption;
    const char *hint;
    Set set;
    bool able;           // txt_able switches it
    const char *group;   // "00": a live value, shown only; "01": a setting
    const char *item[2]; // of CH 0 and CH 1
};

const char *const Valid = "(0 = Invalid 1 = Valid)";

const Field Fields[] = {
    {"txtCP", Setting, nullptr, "Current Pos", nullptr, Position, true, "00", {"20", "21"}},
    {"txtCS", Setting, nullptr, "Current Speed", nullptr, Speed, true, "00", {"22", "23"}},
    {"txtLP", Setting, nullptr, "Latch Pos", nullptr, Position, true, "00", {"24", "25"}},
    {"txtLS", Setting, nullptr, "Latch Speed", nullptr, Speed, true, "00", {"26", "27"}},
    {"txtRP", Setting, nullptr, "Reset Pos", nullptr, Position, true, "00", {"28", "29"}},
    {"txtDO", Setting, nullptr, "Drop Out", "( 0.10% to 50.00%)", Speed, true, "01", {"10", "11"}},
    {"txtReset", Setting, nullptr, "Reset Value", nullptr, Position, false, "01", {"14", "15"}},
    {"txtMin", Setting, nullptr, "Min", "(-2100000000 to 2099999999)", Position, false, "01", {"16", "17"}},
    {"txtMax", Setting, nullptr, "Max", "(-2099999999 to 2100000000)", Position, false, "01", {"18", "19"}},
    {"txtBias", Setting, nullptr, "Bias", "(-320.000 to 320.00)", Speed, false, "01", {"34", "36"}},
    {"txtGain", Setting, nullptr, "Gain", "(-3.2000 to 3.2000)", Speed, false, "01", {"35", "37"}},
    {"txtZS", Setting, nullptr, "Zero Scale", "(-32000 to 32000)", Speed, false, "01", {"38", "40"}},
    {"txtFS", Setting, nullptr, "Full Scale", "(-32000 to 32000)", Speed, false, "01", {"39", "41"}},
    {"txtOP", Alarm, nullptr, "HLS Command", Valid, Both, false, "01", {"42", "43"}},
    {"txtA1Type", Alarm, "Alarm A", "Alarm Type", nullptr, Both, false, "01", {"44", "54"}},
    {"txtA1SM", Alarm, nullptr, "Speed Setpoint", nullptr, Speed, false, "01", {"45", "55"}},
    {"txtA1SH", Alarm, nullptr, "Speed Hys", nullptr, Speed, false, "01", {"46", "56"}},
    {"txtA1PM", Alarm, nullptr, "Position Setpoint", nullptr, Position, false, "01", {"47", "57"}},
    {"txtA1PH", Alarm, nullptr, "Position Hys", nullptr, Position, false, "01", {"48", "58"}},
    {"txtA2Type", Alarm, "Alarm B", "Alarm Type", nullptr, Both, false, "01", {"49", "59"}},
    {"txtA2SM", Alarm, nullptr, "Speed Setpoint", nullptr, Speed, false, "01", {"50", "60"}},
    {"txtA2SH", Alarm, nullptr, "Speed Hys", nullptr, Speed, false, "01", {"51", "61"}},
    {"txtA2PM", Alarm, nullptr, "Position Setpoint", nullptr, Position, false, "01", {"52", "62"}},
    {"txtA2PH", Alarm, nullptr, "Position Hys", nullptr, Position, false, "01", {"53", "63"}},
    {"txtEL", LatchReset, nullptr, "External Latch", Valid, Both, false, "01", {"64", "65"}},
    {"txtHL", LatchReset, nullptr, "HLS Latch", Valid, Both, false, "01", {"66", "67"}},
    {"txtER", LatchReset, nullptr, "External Reset", Valid, Both, false, "01", {"68", "69"}},
    {"txtHR", LatchReset, nullptr, "HLS Reset", Valid, Both, false, "01", {"70", "71"}},
    {"txtZR", LatchReset, nullptr, "Z Reset", Valid, Both, false, "01", {"72", "73"}},
    {"txtHLD", LatchReset, nullptr, "HLS Latch Data Clear", Valid, Both, false, "01", {"74", "75"}},
    {"txtHRD", LatchReset, nullptr, "HLS Reset Data Clear", Valid, Both, false, "01", {"76", "77"}},
};

// Unit-wide items of group "01", each shown in txtTM(index).
struct ModuleField {
    int index;
    View view;
    const char *caption;
    const char *hint;
    Set set;
    const char *item;
    bool written; // read and written, and txt_able switches it; else only shown
};

const ModuleField ModuleFields[] = {
    {6, Setting, "Conversion Data ", nullptr, Both, "28", false},
    {3, Setting, "Frequency Range (Hz)", nullptr, Speed, "29", false},
    {4, Setting, "Position Count Mode", nullptr, Position, "30", false},
    {0, Alarm, "ALM:Power On Delay Timer", "(0.0 to 60.0 sec)", Both, "06", true},
    {1, Alarm, "ALM:On Delay Timer", "(0.0to 60.0 sec)", Both, "07", true},
    {2, Alarm, "ALM:On Hold Timer", "(0.0 to 60.0 sec)", Both, "08", true},
};

// Pairs of mode and meaning, under the position count mode.
const char *const CountModeLegend[] = {
    "Mode 0", "0 : Multiplication  x4", "Mode 1", "1 : Multiplication  x2",
    "Mode 2", "2 : Multiplication  x1", "Mode 3", "3 : Multiplication  x1"};
const char *const AlarmTypeLegend[] = {"Alarm Type : 0 = NOT USED     ",
                                       "           1 = Speed Hi     2 = Speed Lo     ",
                                       "           3 = Position Hi   4 = Position Lo     "};

// Request row r: Command(2r + 1) for CH 0, Command(2r + 2) for CH 1; each writes "1" to its item.
struct Request {
    const char *caption;
    const char *item[2];
};
const Request Requests[] = {
    {"Latch", {"78", "79"}},
    {"Reset", {"80", "81"}},
    {"Latch Data Clear", {"82", "83"}},
    {"Reset Data Clear", {"84", "85"}},
};

// The unit's conversion data and what the page makes of it.
struct Conversion {
    const char *reply, *shown;
    int dispSpeed;
};
const Conversion Conversions[] = {{"POS", "POSITION", 0}, {"SPE", "SPEED", 1}};

const OnEmpty DataReadError{OnEmpty::Fail, "Data Read Error.", "Error", true};
constexpr int BoxWidth = 92;
constexpr int Rows = 2;

bool inGroup(const Field &f, const char *group) {
    return qstrcmp(f.group, group) == 0;
}

QString moduleItem(int index) {
    for (const ModuleField &m : ModuleFields)
        if (m.index == index) return m.item;
    return {};
}

// CheckData ends at its first failure with the failure's code.
struct CheckFailed {
    int code;
};

} // namespace

frmNX2::frmNX2(QWidget *parent) : Page("frmNX2", 17, parent) {
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    top->setSpacing(6);
    QList<QPushButton *> viewButtons;
    fraSetModel = MakeViewBar(
        this, {"Setting", "Alarm", "Latch/Reset"}, viewButtons,
        [this](int v) {
            if (v == Setting) cmdSet1_Click();
            else if (v == Alarm) cmdSet3_Click();
            else cmdSet4_Click();
        },
        "fraSetModel", {"cmdSet1", "cmdSet3", "cmdSet4"});
    cmdSet1 = viewButtons[0];
    cmdSet3 = viewButtons[1];
    cmdSet4 = viewButtons[2];
    Command9 = MakeButton(fraSetModel, "Command9", QString());
    Command9->setMinimumWidth(190);
    static_cast<QHBoxLayout *>(fraSetModel->layout())->addWidget(Command9);
    top->addWidget(fraSetModel);

    txtTM.resize(7);
    Commands.resize(8);
    frmSet1 = MakeFrame(this, "frmSet1", QString());
    frmSet3 = MakeFrame(this, "frmSet3", QString());
    frmSet4 = MakeFrame(this, "frmSet4", QString());
    QGroupBox *frames[] = {frmSet1, frmSet3, frmSet4};
    QPushButton *buttons[] = {cmdSet1, cmdSet3, cmdSet4};
    for (int v = Setting; v <= LatchReset; ++v) {
        buildView(v, frames[v]);
        top->addWidget(frames[v], 1);
        m_views.add(buttons[v], frames[v]);
    }
    m_views.show(Setting);
    // The channel columns stand at the same place on every view.
    int widest = 0;
    for (const QLabel *caption : m_captions)
        widest = std::max(widest, caption->sizeHint().width());
    for (QGridLayout *grid : m_grids)
        grid->setColumnMinimumWidth(0, widest);

    // The view and display buttons send nothing; the requests do, so they wait their turn.
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    for (int n = 1; n <= 8; ++n)
        ConnectCommand(Commands[n - 1], [this, n] { return Command_Click(n); });
    dtype_change();
}

void frmNX2::addToSet(int set, QWidget *w) {
    if (set != Both) m_sets[set].append(w);
}

void frmNX2::buildView(int view, QGroupBox *frame) {
    auto *outer = new QVBoxLayout(frame);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    QFont bold = font();
    bold.setBold(true);
    int row = 0;
    // Columns: caption, CH 0, CH 1, hint.
    for (int k = 0; k < Rows; ++k)
        grid->addWidget(MakeLabel(frame, IndexedName(QStringLiteral("lblCh%1_").arg(view + 1), k),
                                  QStringLiteral("CH %1").arg(k)),
                        row, 1 + k, Qt::AlignLeft | Qt::AlignBottom);
    ++row;
    const char *group = nullptr;
    QString section; // the heading the rows stand under, for their spoken names
    for (const Field &f : Fields) {
        if (f.view != view) continue;
        // A gap between the live values and the settings.
        if (group && qstrcmp(group, f.group) != 0) grid->setRowMinimumHeight(row++, 10);
        group = f.group;
        if (f.section) {
            section = QString(f.section) + ' ';
            grid->setRowMinimumHeight(row++, 6);
            QLabel *s = MakeLabel(frame, "lbl" + QString(f.section).remove(' '), f.section);
            s->setFont(bold);
            grid->addWidget(s, row++, 0, 1, 4);
        }
        const QString base = QString(f.name).mid(3);
        QLabel *caption = MakeLabel(frame, "lbl" + base, f.caption);
        m_captions.append(caption);
        grid->addWidget(caption, row, 0);
        addToSet(f.set, caption);
        const QString spoken = section + f.caption;
        for (int k = 0; k < Rows; ++k) {
            QLineEdit *t = MakeText(frame, IndexedName(f.name, k),
                                    QStringLiteral("CH %1 %2").arg(k).arg(spoken), BoxWidth);
            t->setAlignment(Qt::AlignRight);
            // Live values come from the unit only.
            t->setReadOnly(inGroup(f, "00"));
            m_boxes[f.name].append(t);
            grid->addWidget(t, row, 1 + k);
            addToSet(f.set, t);
        }
        if (f.hint) {
            QLabel *h = MakeHint(frame, "lbl" + base + "Hint", f.hint);
            grid->addWidget(h, row, 3);
            addToSet(f.set, h);
        }
        ++row;
    }
    if (view == Alarm)
        for (int i = 0; i < 3; ++i)
            grid->addWidget(MakeLabel(frame, IndexedName("lblAlarmType", i), AlarmTypeLegend[i]), row++, 0, 1,
                            4);
    bool first = true;
    for (const ModuleField &m : ModuleFields) {
        if (m.view != view) continue;
        if (std::exchange(first, false)) grid->setRowMinimumHeight(row++, 8);
        QLabel *caption = MakeLabel(frame, IndexedName("lblTM", m.index), m.caption);
        m_captions.append(caption);
        QLineEdit *t = MakeText(frame, IndexedName("txtTM", m.index), QString(m.caption).trimmed(), BoxWidth);
        t->setAlignment(Qt::AlignRight);
        t->setReadOnly(!m.written);
        txtTM[m.index] = t;
        grid->addWidget(caption, row, 0);
        grid->addWidget(t, row, 1);
        addToSet(m.set, caption);
        addToSet(m.set, t);
        if (m.hint) grid->addWidget(MakeHint(frame, IndexedName("lblTMHint", m.index), m.hint), row, 2, 1, 2);
        ++row;
        if (m.index != 4) continue;
        for (int i = 0; i < 8; i += 2) {
            QLabel *mode = MakeLabel(frame, IndexedName("lblMode", i), CountModeLegend[i]);
            QLabel *meaning = MakeLabel(frame, IndexedName("lblMode", i + 1), CountModeLegend[i + 1]);
            grid->addWidget(mode, row, 1, Qt::AlignRight);
            grid->addWidget(meaning, row++, 2, 1, 2);
            addToSet(Position, mode);
            addToSet(Position, meaning);
        }
    }
    if (view == LatchReset) {
        grid->setRowMinimumHeight(row++, 14);
        for (int r = 0; r < 4; ++r, ++row) {
            grid->addWidget(MakeLabel(frame, IndexedName("lblRequest", r), Requests[r].caption), row, 0);
            for (int k = 0; k < Rows; ++k) {
                const int n = 2 * r + k + 1;
                QPushButton *b = MakeButton(frame, QStringLiteral("Command%1").arg(n), "Request");
                b->setAccessibleName(QStringLiteral("CH %1 %2 Request").arg(k).arg(Requests[r].caption));
                b->setFixedWidth(BoxWidth);
                grid->addWidget(b, row, 1 + k);
                Commands[n - 1] = b;
            }
        }
    }
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(row, 1);
    outer->addLayout(grid);
    m_grids.append(grid);
}

QLineEdit *frmNX2::box(const QString &name, int k) const {
    return m_boxes.value(name).value(k);
}

// ---- display mode and views

void frmNX2::dtype_change() {
    const bool speed = g.DispSpeed != 0;
    Command9->setText(speed ? "DISPLAY POSITION DATA" : "DISPLAY SPEED DATA");
    for (QWidget *w : m_sets.value(Position))
        w->setVisible(!speed);
    for (QWidget *w : m_sets.value(Speed))
        w->setVisible(speed);
}

void frmNX2::Command9_Click() {
    g.DispSpeed = g.DispSpeed == 0 ? True : 0;
    dtype_change();
}

void frmNX2::cmdSet1_Click() {
    m_views.show(Setting);
}
void frmNX2::cmdSet3_Click() {
    m_views.show(Alarm);
}
void frmNX2::cmdSet4_Click() {
    m_views.show(LatchReset);
}

void frmNX2::cmdset_disable() {
    m_views.show(Setting);
    m_views.lock();
}

void frmNX2::cmdset_enable() {
    m_views.show(Setting);
}

void frmNX2::onStart() {
    cmdset_disable();
    txt_able(false);
}

void frmNX2::onStop() {
    cmdset_enable();
    txt_able(true);
}

void frmNX2::onDisconnect() {
    // After monitoring the other views can be edited and saved without a unit, as after Stop.
    if (m_views.locked()) cmdset_enable();
    txt_able(true);
}

void frmNX2::txt_able(bool enable) {
    for (int k = 0; k < ChannelRows(Rows); ++k)
        for (const Field &f : Fields)
            if (f.able) box(f.name, k)->setEnabled(enable);
    for (const ModuleField &m : ModuleFields)
        if (m.written) txtTM[m.index]->setEnabled(enable);
}

// ---- Init

co::Task<> frmNX2::frmNX2_Init() {
    m_views.show(Setting);
    m_views.lock();
    txt_able(false);
    co_await PageStep("Initializing", [this]() -> co::Task<> {
        const QString data = AfterColon(co_await Read(UploadError, "01", "28"));
        const Conversion *c = std::find_if(std::begin(Conversions), std::end(Conversions),
                                           [&](const Conversion &x) { return data == x.reply; });
        // Anything else leaves the display as it was.
        txtTM[6]->setText(c != std::end(Conversions) ? c->shown : "ERROR");
        if (c != std::end(Conversions)) {
            g.DispSpeed = c->dispSpeed;
            dtype_change();
        }
        for (int ch = 1; ch <= ChannelRows(Rows); ++ch) {
            const int k = ch - 1;
            for (const char *group : {"00", "01"}) {
                co_await Write(NoBranch, group, "01", "F");
                for (const Field &f : Fields)
                    if (inGroup(f, group))
                        box(f.name, k)->setText(AfterColon(co_await Inquire(UploadError, f.item[k])));
            }
            AdvanceProgress();
        }
        // A channel the unit did not report keeps nothing of an earlier unit's.
        for (int k = ChannelRows(Rows); k < Rows; ++k)
            for (const Field &f : Fields)
                box(f.name, k)->clear();
        for (int i = 0; i <= 4; ++i)
            txtTM[i]->setText(AfterColon(co_await Inquire(UploadError, moduleItem(i))));
        UnloadProgress();
        m_views.unlock();
        txt_able(true);
    });
}

// ---- Download

co::Task<> frmNX2::frmNX2_Download() {
    txt_able(false);
    m_views.lock();
    co_await Write(NoBranch, "00", "01", "F");
    co_await Write(NoBranch, "01", "01", "F");
    co_await PageStep("Downloading", [this]() -> co::Task<> {
        const QStringList limits = {"txtReset", "txtMin", "txtMax"};
        auto write = [this](QString name, int k) -> co::Task<> {
            for (const Field &f : Fields)
                if (name == f.name) co_await WriteData(NoBranch, f.item[k], box(name, k)->text(), box(name, k));
        };
        // The channels the unit reported: a missing one has nothing to write.
        for (int k = 0; k < ChannelRows(Rows); ++k) {
            co_await write("txtDO", k);
            // Three rounds: the unit may refuse a limit or a reset value that does not fit the
            // ones it holds until the others have landed.
            for (int round = 0; round < 3; ++round)
                for (const QString &name : limits)
                    co_await write(name, k);
            for (const Field &f : Fields)
                if (inGroup(f, "01") && qstrcmp(f.name, "txtDO") != 0 && !limits.contains(f.name))
                    co_await write(f.name, k);
            AdvanceProgress();
        }
        for (const ModuleField &m : ModuleFields)
            if (m.written) co_await WriteData(NoBranch, m.item, txtTM[m.index]->text(), txtTM[m.index]);
        AdvanceProgress();
    });
}

// ---- ReadingData

co::Task<> frmNX2::ReadingData() {
    co_await PageStep([this]() -> co::Task<> {
        co_await Write(NoBranch, "00", "01", "F");
        // The trend shows the current value of the set on display.
        const char *plotted = g.DispSpeed != 0 ? "txtCS" : "txtCP";
        for (int k = 0; k < Rows; ++k)
            for (const Field &f : Fields)
                if (inGroup(f, "00"))
                    ShowLive(this, box(f.name, k), qstrcmp(f.name, plotted) == 0 ? k : -1,
                             co_await Inquire(DataReadError, f.item[k]), LiveText::AsRead);
    });
}

// ---- CheckData

// The range the failed check names, by the code it left in ChkErrNo.
QString frmNX2::checkDetail() const {
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
    if (g.ChkErrNo < 1 || g.ChkErrNo > 14) return IoPage::checkDetail();
    return IoPage::checkDetail() + QStringLiteral(" \r\n") + details[g.ChkErrNo - 1];
}

bool frmNX2::CheckData() {
    // A box that holds no number where one is needed fails as non-numeric.
    auto number = [this](const QString &name, int k) {
        const std::optional<double> v = ToDouble(box(name, k)->text());
        if (!v) {
            RefuseCheck(box(name, k), "a number");
            throw CheckFailed{1};
        }
        return *v;
    };
    // A value that passes is written back in standard form.
    auto pass = [this](const QString &name, int k, double v) { box(name, k)->setText(StandardForm(v)); };
    auto within = [&](const QString &name, int k, double lo, double hi, int code) {
        const double v = number(name, k);
        if (v < lo || v > hi) {
            RefuseCheck(box(name, k), RangeText(lo, hi));
            throw CheckFailed{code};
        }
        pass(name, k, v);
    };
    const int n = ChannelRows(Rows);
    try {
        // 1 and 2: the reported channels' boxes must hold numbers.
        for (int k = 0; k < n; ++k)
            for (const char *name : {"txtDO", "txtMin", "txtMax", "txtA1SM", "txtA1SH", "txtA2SH", "txtA2SM"})
                number(name, k);
        for (int k = 0; k < n; ++k)
            for (const char *name : {"txtReset", "txtGain", "txtBias", "txtZS", "txtFS", "txtA1PM", "txtA1PH",
                                     "txtA2PH", "txtA2PM"})
                number(name, k);
        // 3: drop out.
        for (int k = 0; k < n; ++k)
            within("txtDO", k, 0.1, 50, 2);
        // 4 to 12 test both channels of a unit that has them; a channel it lacks is not written.
        for (int k = 0; k < n; ++k)
            within("txtMax", k, -2099999999, 2100000000, 3);
        for (int k = 0; k < n; ++k)
            within("txtMin", k, -2100000000, 2099999999, 4);
        for (int k = 0; k < n; ++k)
            if (number("txtMin", k) > number("txtMax", k)) {
                RefuseCheck(box("txtMin", k), "Min < Max");
                throw CheckFailed{5};
            }
        for (int k = 0; k < n; ++k)
            within("txtReset", k, number("txtMin", k), number("txtMax", k), 6);
        for (int k = 0; k < n; ++k) {
            const double min = number("txtMin", k), max = number("txtMax", k);
            for (const char *name : {"txtA1PM", "txtA2PM"})
                within(name, k, min, max, 7);
            for (const char *name : {"txtA1PH", "txtA2PH"}) {
                const double h = number(name, k);
                if (h < 0 || h >= std::fabs(max - min)) {
                    RefuseCheck(box(name, k), QStringLiteral("0 =< hys < %1").arg(std::fabs(max - min), 0, 'g', 12));
                    throw CheckFailed{8};
                }
                pass(name, k, h);
            }
        }
        for (int k = 0; k < n; ++k)
            within("txtFS", k, -32000, 32000, 9);
        for (int k = 0; k < n; ++k)
            within("txtZS", k, -32000, 32000, 10);
        for (int k = 0; k < n; ++k)
            within("txtBias", k, -320, 320, 13);
        for (int k = 0; k < n; ++k)
            within("txtGain", k, -3.2, 3.2, 14);
        using Box = std::pair<const char *, int>;
        for (const auto &[name, k] :
             {Box{"txtA1SM", 0}, Box{"txtA2SM", 0}, Box{"txtA1SM", 1}, Box{"txtA2SM", 1}})
            if (k < n) within(name, k, -15, 115, 12);
        for (const auto &[name, k] :
             {Box{"txtA1SH", 0}, Box{"txtA1SH", 1}, Box{"txtA2SH", 0}, Box{"txtA2SH", 1}})
            if (k < n) within(name, k, 0, 115, 11);
    } catch (const CheckFailed &f) {
        g.ChkErrNo = f.code;
        return false;
    }
    return true;
}

// ---- request buttons

co::Task<> frmNX2::Command_Click(int n) {
    if (n < 1 || n > 8) co_return;
    for (QPushButton *b : Commands)
        b->setEnabled(false);
    co_await Write(NoBranch, "01", Requests[(n - 1) / 2].item[(n - 1) % 2], "1");
    // The unit's time to act before the next request.
    co_await PausePage(500);
    for (QPushButton *b : Commands)
        b->setEnabled(true);
}

// ---- configuration files

// Per channel its settings, alarms and latch/reset switches, channel 0 first; then the alarm timers.
const cfg::Record *frmNX2::configRecord() const {
    static const cfg::Record r = [] {
        cfg::Lines lines;
        for (int k = 0; k < Rows; ++k)
            lines += cfg::ChannelLine(k, {"txtDO", "txtReset", "txtMin", "txtMax", "txtBias", "txtGain", "txtZS",
                                          "txtFS", "txtOP"}) +
                     cfg::ChannelLine(k, {"txtA1Type", "txtA1SM", "txtA1SH", "txtA1PM", "txtA1PH", "txtA2Type",
                                          "txtA2SM", "txtA2SH", "txtA2PM", "txtA2PH"}) +
                     cfg::ChannelLine(k, {"txtEL", "txtHL", "txtER", "txtHR", "txtZR", "txtHLD", "txtHRD"});
        lines += cfg::TextLine({"txtTM(0)", "txtTM(1)", "txtTM(2)"});
        return cfg::Record{.lines = lines};
    }();
    return &r;
}

// The loaded settings show in the display mode the program is in.
void frmNX2::configLoaded() {
    dtype_change();
}
