#include "pages/LoadCellPage.h"
#include "core/Commands.h"
#include "pages/Widgets.h"
#include "link/TextRoutines.h"

#include <QFontMetricsF>
#include <QGridLayout>
#include <QScopeGuard>

namespace {
using Button = QPushButton *LoadCellPage::*;

// The calibration commands of "Setting 1": item and data written after the "F".
struct Calibration {
    const char *caption;
    Button buttons[2]; // channel 0, channel 1
    const char *names[2];
    const char *item, *data;
};
const Calibration Calibrations[] = {
    {"Auto Zero", {&LoadCellPage::cmdAutoZero0, &LoadCellPage::cmdAutoZero1}, {"cmdAutoZero0", "cmdAutoZero1"}, "32", ""},
    {"Zero", {&LoadCellPage::cmdZero0, &LoadCellPage::cmdZero1}, {"cmdZero0", "cmdZero1"}, "30", ""},
    {"Span", {&LoadCellPage::cmdSpan0, &LoadCellPage::cmdSpan1}, {"cmdSpan0", "cmdSpan1"}, "31", ""},
    {"Offset Clear", {&LoadCellPage::Command2, &LoadCellPage::Command1}, {"Command2", "Command1"}, "33", "0"},
};

constexpr int AdjustWidth = 84; // the columns of "Setting 2"

// What a command's reply shows: the part after the colon; a reply with nothing there leaves the box.
void showReply(QLineEdit *box, const QString &reply) {
    const QString v = AfterColon(reply);
    if (box && !v.isEmpty()) box->setText(v);
}
constexpr int AdjustSpacing = 6;

// A head naming both channel columns in one caption: its blanks are widened so that the second
// name stands over the second column as the first stands over the first.
QLabel *ChannelHeads(QWidget *parent, const QString &name, const QString &caption) {
    QLabel *l = MakeLabel(parent, name, caption);
    const int second = caption.lastIndexOf("CH");
    const QString lead = caption.left(second);
    QFont f = l->font();
    const qreal plain = QFontMetricsF(f).horizontalAdvance(lead);
    f.setWordSpacing((AdjustWidth + AdjustSpacing - plain) / qMax<qsizetype>(1, lead.count(' ')));
    l->setFont(f);
    const qreal nameWidth = QFontMetricsF(f).horizontalAdvance(caption.mid(second));
    l->setIndent(qMax(0, int((AdjustWidth - nameWidth) / 2)));
    return l;
}
} // namespace

LoadCellPage::LoadCellPage(const QString &name, int modelnum, QWidget *parent) : ScalingPage(name, modelnum, parent) {}

ScalingPage::Decl LoadCellPage::LoadCellDecl() {
    Decl d;
    d.rows = 2;
    Column ratio = ZeroBase(); // its unit label stays empty
    ratio.head = "Load ratio";
    ratio.access = Access::Edit;
    ratio.hint = "10.00 to 100.00";
    ratio.hintName = "lblZBase";
    ratio.check = {true, Bound{10, 100}, std::nullopt};
    // No full base here, but its unit labels stand (empty) as on every scaling page.
    Column fullBaseUnit = ExtraColumn("lblFBase_Unit", QString(), QString(), Place::View1, Kind::Label);
    fullBaseUnit.access = Access::Fixed;
    fullBaseUnit.width = 0;
    d.columns = {ZeroScale(), FullScale(), BiasColumn(), GainColumn(), ratio, fullBaseUnit};
    // The sixth slot's item ("50", "-1") is never asked for.
    d.readSlots = {1, 2, 3, 4, 5};
    d.failWithoutChannels = true;
    return d;
}

ScalingPage::ChannelItem LoadCellPage::readInto(const QString &item, QVector<QLineEdit *> LoadCellPage::*boxes) {
    ChannelItem c = ChannelRead(item, true, UploadError);
    c.show = [this, boxes](int k, const QString &v) { (this->*boxes).value(k)->setText(v); };
    return c;
}

void LoadCellPage::buildLoadCell(const Decl &d, bool autoScale) {
    build(d);
    buildCalibration();
    buildAdjustment(autoScale);
}

QPushButton *LoadCellPage::addButton(QWidget *parent, const QString &name, const QString &caption, int k) {
    QPushButton *b = MakeButton(parent, name, caption);
    b->setAccessibleName(QStringLiteral("CH %1 %2").arg(k).arg(caption));
    return b;
}

void LoadCellPage::buildCalibration() {
    QWidget *block = addBlock("calibration", Place::View1);
    auto *grid = new QGridLayout(block);
    grid->setContentsMargins(0, 10, 0, 0);
    grid->setHorizontalSpacing(5);
    for (int k = 0; k < 2; ++k) {
        grid->addWidget(MakeLabel(block, IndexedName("lblCal", k), QStringLiteral("CH %1").arg(k)), k, 0);
        int col = 1;
        for (const Calibration &c : Calibrations) {
            QPushButton *b = addButton(block, c.names[k], c.caption, k);
            this->*c.buttons[k] = b;
            grid->addWidget(b, k, col++);
            addModuleControl(b, Access::Edit);
            ConnectCommand(b, [this, k, item = QString(c.item), data = QString(c.data)] { return calibrate(k, item, data); });
        }
        QLineEdit *result = MakeText(block, IndexedName("txtParData2", k), QStringLiteral("CH %1 Calibration value").arg(k), 84);
        result->setReadOnly(true);
        result->setAlignment(Qt::AlignRight);
        grid->addWidget(result, k, col + 1);
        grid->setColumnMinimumWidth(col, 8);
        txtParData2.append(result);
    }
    grid->setColumnStretch(7, 1);
}

void LoadCellPage::buildAdjustment(bool withAutoScale) {
    QWidget *block = addBlock("adjustment", Place::View2);
    auto *grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(AdjustSpacing);
    const int gainCol = 3; // column 2 keeps the two groups apart
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(5, 1);
    int row = 0;
    if (withAutoScale) {
        lblMode = MakeLabel(block, "lblMode", "Mode");
        grid->addWidget(lblMode, row++, 0, 1, 5);
        grid->setRowMinimumHeight(row++, 8);
    }
    lblAdj = MakeLabel(block, "lblAdj", "Monitor Output");
    lblAdjgain = MakeLabel(block, "lblAdjgain", "Gain adjustment");
    Label5 = ChannelHeads(block, "Label5", "CH 0           CH 1");
    Label6 = ChannelHeads(block, "Label6", "CH 0              CH 1");
    grid->addWidget(lblAdj, row, 0, 1, 2);
    grid->addWidget(lblAdjgain, row++, gainCol, 1, 2);
    grid->addWidget(Label5, row, 0, 1, 2);
    grid->addWidget(Label6, row++, gainCol, 1, 2);
    m_group2 << lblMode << lblAdj << lblAdjgain << Label5 << Label6;
    m_group2.removeAll(nullptr);
    const int boxRow = row;
    for (int k = 0; k < 2; ++k) {
        QLineEdit *scale = MakeText(block, IndexedName("txtAdjscale", k), QStringLiteral("CH %1 Monitor Output").arg(k), AdjustWidth);
        QLineEdit *gain = MakeText(block, IndexedName("txtAdjGain", k), QStringLiteral("CH %1 Gain adjustment").arg(k), AdjustWidth);
        for (QLineEdit *t : {scale, gain}) t->setAlignment(Qt::AlignRight);
        grid->addWidget(scale, boxRow, k);
        grid->addWidget(gain, boxRow, gainCol + k);
        txtAdjscale.append(scale);
        txtAdjGain.append(gain);
        m_group2 << scale << gain;
    }
    // The commands under each channel's boxes, in the order they stand.
    struct Command {
        const char *caption;
        Button buttons[2]; // channel 0, channel 1
        const char *names[2];
        std::function<co::Task<>(int k)> run;
    };
    QList<Command> monitor;
    if (withAutoScale)
        monitor.append({"Auto Scale", {&LoadCellPage::cmdApplyCH0, &LoadCellPage::cmdApplyCH1}, {"cmdApplyCH0", "cmdApplyCH1"},
                        [this](int k) { return autoScale(k); }});
    monitor.append({"Output", {&LoadCellPage::Command4, &LoadCellPage::Command3}, {"Command4", "Command3"},
                    [this](int k) { return monitorOutput(k); }});
    monitor.append({"Canncel", {&LoadCellPage::Command6, &LoadCellPage::Command5}, {"Command6", "Command5"},
                    [this](int k) { return cancelOutput(k); }});
    const QList<Command> gain = {
        {"UP", {&LoadCellPage::cmdGainUPCH0, &LoadCellPage::cmdGainUPCH1}, {"cmdGainUPCH0", "cmdGainUPCH1"},
         [this](int k) { return adjustGain(k, "U"); }},
        {"DOWN", {&LoadCellPage::cmdGainDOWNCH0, &LoadCellPage::cmdGainDOWNCH1}, {"cmdGainDOWNCH0", "cmdGainDOWNCH1"},
         [this](int k) { return adjustGain(k, "D"); }},
        {"APPLY", {&LoadCellPage::cmdGainApplyCH0, &LoadCellPage::cmdGainApplyCH1}, {"cmdGainApplyCH0", "cmdGainApplyCH1"},
         [this](int k) { return adjustGain(k, txtAdjGain[k]->text()); }},
    };
    using Side = std::pair<const QList<Command> *, int>;
    for (const auto &[commands, firstCol] : {Side{&monitor, 0}, Side{&gain, gainCol}})
        for (int i = 0; i < commands->size(); ++i)
            for (int k = 0; k < 2; ++k) {
                const Command &c = commands->at(i);
                QPushButton *b = addButton(block, c.names[k], c.caption, k);
                b->setFixedWidth(AdjustWidth);
                grid->addWidget(b, boxRow + 1 + i, firstCol + k);
                this->*c.buttons[k] = b;
                m_buttons2.append(b);
                m_group2.append(b);
                ConnectCommand(b, [run = c.run, k] { return run(k); });
            }
}

// ---- the commands

// Every command of a channel starts with "F" to item "01" of its group; unanswered, nothing follows.
co::Task<> LoadCellPage::startCommand(int k) { co_await Write(EndSilently, ChannelGroup(k + 1, true), "01", "F"); }

co::Task<> LoadCellPage::calibrate(int k, QString item, QString data) {
    co_await PageStep([&]() -> co::Task<> {
        co_await startCommand(k);
        co_await Write(EndSilently, ChannelGroup(k + 1, true), item, data);
        // What the channel reports now.
        const QString live = QString::number(decl().firstLiveItem + k);
        showReply(txtParData2[k], co_await Read(EndSilently, "00", live));
    });
}

co::Task<bool> LoadCellPage::adjust(int k, PageBody steps) {
    bool done = false;
    co_await PageStep([&]() -> co::Task<> {
        co_await startCommand(k);
        txt_able2(false);
        // However the steps end, the group is editable again once the "F" was answered.
        const auto unlock = qScopeGuard([this] { txt_able2(true); });
        co_await steps();
        done = true;
    });
    co_return done;
}

co::Task<> LoadCellPage::monitorOutput(int k) {
    co_await adjust(k, [this, k]() -> co::Task<> {
        showReply(txtAdjscale[k], co_await WriteData(EndSilently, "42", txtAdjscale[k]->text()));
    });
}

co::Task<> LoadCellPage::cancelOutput(int k) {
    co_await adjust(k, [k]() -> co::Task<> { co_await Write(NoBranch, ChannelGroup(k + 1, true), "43", "1"); });
}

co::Task<> LoadCellPage::adjustGain(int k, QString data) {
    PageBody steps = [this, k, data]() -> co::Task<> {
        showReply(txtAdjGain[k], co_await WriteData(EndSilently, "40", data));
    };
    co_await adjust(k, steps);
}

co::Task<> LoadCellPage::autoScale(int k) {
    const bool done = co_await adjust(k, [this, k]() -> co::Task<> {
        showReply(txtAdjscale[k], co_await WriteData(EndSilently, "38", txtAdjscale[k]->text()));
        co_await WriteData(NoBranch, "39", QString());
        // The channel's new full scale, its group still selected.
        showReply(txtFScale[k], co_await Inquire(EndSilently, "21"));
    });
    if (done) co_await ReadingData();
}

// ---- enabling and showing

void LoadCellPage::txt_able(bool enable) {
    ScalingPage::txt_able(enable);
    for (QLineEdit *t : txtParData2) t->clear();
}

void LoadCellPage::txt_able2(bool enable) {
    for (int k = 0; k < channelRows(); ++k) {
        txtAdjscale[k]->setEnabled(enable);
        txtAdjGain[k]->setEnabled(enable);
    }
    for (QPushButton *b : m_buttons2) b->setEnabled(enable);
}

void LoadCellPage::txt_visible2(bool visible) {
    for (QWidget *w : m_group2) w->setVisible(visible);
}

void LoadCellPage::setViewButtonsVisible(bool visible) {
    cmdSet1->setVisible(visible);
    cmdSet2->setVisible(visible);
    // An empty frame would only be a box with nothing in it.
    fraSetModel->setVisible(visible);
}

void LoadCellPage::onStart() {
    txt_able(false);
    txt_able2(false);
}

void LoadCellPage::onStop() {
    txt_able(true);
    txt_able2(true);
}

void LoadCellPage::onDisconnect() { onStop(); }

co::Task<> LoadCellPage::loadCellDownload() {
    txt_able2(false);
    co_await scalingDownload();
}
