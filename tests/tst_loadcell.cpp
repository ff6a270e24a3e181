// The load cell pages against the simulated unit: what Init reads and shows for each firmware
// and network kind, Download, the checks, and every calibration and adjustment command.
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "pages/Widgets.h"
#include "app/frmVireo.h"
#include "pages/frmGZ2.h"
#include "pages/frmHLSGZ2.h"
#include "tests/TestKit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

void identify(const QString &model, int modelnum, int netTyp, bool newFirmware) {
    InitGlobals();
    g.UnitModel = model;
    g.modelnum = modelnum;
    g.NetTyp = netTyp;
    g.ChCount = 2;
    g.ExtName = "NONE";
    g.NewFirmware = newFirmware;
}

QStringList slotReads(int ch) { return {"G" + QString::number(ch), "I20", "I21", "I22", "I23", "I28"}; }
QStringList newFirmwareReads(int ch) {
    const QString g = "G" + QString::number(ch);
    return {g, "I38", g, "I09", g, "I40"};
}
QStringList initLines(bool hold, bool newFirmware) {
    QStringList l;
    if (hold) l << "G00" << "I14";
    for (int ch = 1; ch <= 2; ++ch) {
        l += slotReads(ch);
        if (newFirmware) l += newFirmwareReads(ch);
    }
    return l;
}
const QStringList LiveReads = {"G00", "I21", "G00", "I22"};

bool shown(const QWidget *w) { return w->isVisibleTo(w->parentWidget()); }

// The new-firmware group as the user would meet it on "Setting 2".
QList<QWidget *> group2(const LoadCellPage &p) {
    QList<QWidget *> l = {p.lblAdj, p.lblAdjgain, p.Label5, p.Label6, p.txtAdjscale[0], p.txtAdjscale[1],
                          p.txtAdjGain[0], p.txtAdjGain[1], p.Command3, p.Command6, p.cmdGainUPCH0, p.cmdGainApplyCH1};
    if (p.lblMode) l << p.lblMode << p.cmdApplyCH0 << p.cmdApplyCH1;
    return l;
}
bool groupShown(const LoadCellPage &p) {
    const QList<QWidget *> l = group2(p);
    const bool first = shown(l.first());
    for (QWidget *w : l)
        if (shown(w) != first) return !first; // mixed: neither all shown nor all hidden
    return first;
}
bool groupEnabled(const LoadCellPage &p) {
    return p.txtAdjscale[0]->isEnabled() && p.txtAdjGain[1]->isEnabled() && p.Command3->isEnabled() &&
           p.cmdGainDOWNCH0->isEnabled() && (!p.cmdApplyCH1 || p.cmdApplyCH1->isEnabled());
}

QLineEdit *box(const QWidget &p, const QString &name) { return p.findChild<QLineEdit *>(name); }

} // namespace

class LoadCellTest : public QObject {
    Q_OBJECT
private slots:
    void newFirmwareInitFillsEverything() {
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-GZ2", "NONE", "1.10"));
        identify("K5A-GZ2", 21, 0, true);
        rig.unit().setValue("2", "28", "55.5");
        rig.unit().setValue("2", "38", "1500");
        rig.unit().setValue("1", "40", "12");
        rig.unit().setValue("1", "09", "1");
        rig.unit().setValue("00", "14", "ON");
        frmGZ2 p;
        Await(p.frmGZ2_Init());
        QCOMPARE(rig.lines(), initLines(true, true));
        QCOMPARE(p.lblV_Unit->text(), QString("GZ2"));
        QCOMPARE(p.txtZBase[1]->text(), QString("55.5"));
        QCOMPARE(p.txtGain[0]->text(), QString("1.0000"));
        QCOMPARE(p.txtAdjscale[1]->text(), QString("1500"));
        QCOMPARE(p.txtAdjGain[0]->text(), QString("12"));
        // Channel 0 reports the first order lag filter, channel 1, read last, moving average.
        QCOMPARE(p.lblMode->text(), QString("Mode : Moving average filter Mode"));
        QCOMPARE(g.ChParam[1].Item5, QString("28"));
        QVERIFY(p.optKeepOn->isChecked());
        // The load ratio column: its head, hint, empty unit label; no sixth slot, no range list.
        QCOMPARE(p.lblZBase01->text(), QString("Load ratio"));
        QCOMPARE(p.findChild<QLabel *>("lblZBase(1)")->text(), QString("10.00 to 100.00"));
        QCOMPARE(p.lblZBase_Unit[0]->text(), QString());
        QCOMPARE(p.findChild<QLabel *>("lblFBase_Unit(1)")->text(), QString());
        QVERIFY(p.findChild<QWidget *>("txtFBase(0)") == nullptr);
        QVERIFY(p.findChild<QWidget *>("cmbUserRange(0)") == nullptr);
        // Captions as the unit's panel names them.
        QCOMPARE(p.Command1->text(), QString("Offset Clear"));
        QCOMPARE(p.cmdApplyCH1->text(), QString("Auto Scale"));
        QCOMPARE(p.Command5->text(), QString("Canncel"));
        QCOMPARE(p.cmdGainApplyCH0->text(), QString("APPLY"));
        QCOMPARE(p.Label6->text(), QString("CH 0              CH 1"));
        QCOMPARE(p.lblAdj->text(), QString("Monitor Output"));
        // Everything can be seen and edited; the first view is on show.
        QVERIFY(shown(p.cmdSet1) && shown(p.cmdSet2) && shown(p.Frame2) && groupShown(p));
        QVERIFY(!p.cmdSet1->isEnabled() && p.cmdSet2->isEnabled());
        QVERIFY(groupEnabled(p) && p.cmdSpan1->isEnabled() && p.txtZBase[0]->isEnabled());
        QVERIFY(p.txtAdjscale[0]->parentWidget()->parentWidget() == p.frmSet2);
        QVERIFY(p.cmdZero0->parentWidget()->parentWidget() == p.frmSet1);
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(ui);
    }

    void whatInitShows_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("netTyp");
        QTest::addColumn<bool>("newFirmware");
        QTest::addColumn<bool>("viewButtons");
        QTest::addColumn<bool>("hold");
        QTest::newRow("old firmware, CC-Link") << "K5A-GZ2" << 0 << false << true << true;
        QTest::newRow("old firmware, FL-Remote") << "K5PW-GZ2" << 5 << false << true << true;
        QTest::newRow("old firmware, HLS") << "K5VS-GZ2A" << 6 << false << false << false;
        QTest::newRow("old firmware, FLEX NETWORK") << "K5PX-GZ2" << 7 << false << false << false;
        QTest::newRow("new firmware, Ethernet") << "K5N-GZ2" << 4 << true << true << true;
        QTest::newRow("new firmware, HLS") << "K5VS-GZ2A" << 6 << true << true << false;
    }
    void whatInitShows() {
        QFETCH(QString, model);
        QFETCH(int, netTyp);
        QFETCH(bool, newFirmware);
        QFETCH(bool, viewButtons);
        QFETCH(bool, hold);
        ScriptedUi ui;
        SimRig rig(StillUnit(model, "NONE", newFirmware ? " 1.04" : " 1.03"));
        identify(model, 21, netTyp, newFirmware);
        frmGZ2 p;
        // Start from the opposite of what is expected, as a page shown before would be.
        p.txt_visible2(!newFirmware);
        p.Frame2->setVisible(!hold);
        Await(p.frmGZ2_Init());
        QCOMPARE(rig.lines(), initLines(hold, newFirmware));
        QCOMPARE(shown(p.cmdSet1), viewButtons);
        QCOMPARE(shown(p.cmdSet2), viewButtons);
        QCOMPARE(shown(p.Frame2), hold);
        QCOMPARE(groupShown(p), newFirmware);
        QVERIFY(shown(p.frmSet1) && !shown(p.frmSet2));
        QVERIFY(p.txtZScale[0]->isEnabled() && groupEnabled(p));

        rig.clearLines();
        QVERIFY(p.CheckData());
        Await(p.frmGZ2_Download());
        QStringList expected;
        for (int ch = 1; ch <= 2; ++ch)
            expected << "G" + QString::number(ch) << "I20" << "D0" << "I21" << "D10000" << "I22" << "D0.00" << "I23"
                     << "D1.0000" << "I28" << "D100.00";
        if (hold) expected << "G00" << "I14" << "D1";
        QCOMPARE(rig.lines(), expected);
        // Download leaves the page locked for the Upload that follows it.
        QVERIFY(!p.txtZScale[0]->isEnabled() && !p.txtAdjscale[0]->isEnabled() && !p.cmdApplyCH0->isEnabled());
        QVERIFY(!p.cmdSet1->isEnabled() && !p.cmdSet2->isEnabled() && !p.Command2->isEnabled());
        NO_SURPRISES(ui);
    }

    void checks_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("sent");
        QTest::newRow("load ratio 9.99") << "txtZBase(1)" << "9.99" << false << "";
        QTest::newRow("load ratio 10") << "txtZBase(1)" << "10" << true << "10";
        QTest::newRow("load ratio 100") << "txtZBase(0)" << "100" << true << "100";
        QTest::newRow("load ratio 100.01") << "txtZBase(0)" << "100.01" << false << "";
        QTest::newRow("load ratio as typed") << "txtZBase(0)" << "55.50" << true << "55.50";
        QTest::newRow("load ratio letters") << "txtZBase(1)" << "full" << false << "";
        QTest::newRow("zero scale halves to even") << "txtZScale(1)" << "12.5" << true << "12";
        QTest::newRow("full scale halves to even") << "txtFScale(0)" << "13.5" << true << "14";
    }
    void checks() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, sent);
        identify("K5A-GZ2", 21, 0, true);
        frmGZ2 p;
        for (const char *name : {"txtZScale", "txtFScale", "txtBias", "txtGain"})
            for (int k = 0; k < 2; ++k) box(p, IndexedName(name, k))->setText("0");
        for (QLineEdit *t : p.txtZBase) t->setText("50");
        box(p, field)->setText(text);
        QCOMPARE(p.CheckData(), ok);
        if (ok) QCOMPARE(box(p, field)->text(), sent);
        g.ChCount = 0;
        QVERIFY(!p.CheckData());
    }

    void readingData() {
        SimRig rig(StillUnit("K5A-GZ2", "NONE", "1.10"));
        identify("K5A-GZ2", 21, 0, false);
        rig.unit().setValue("00", "22", "012.5");
        frmGZ2 p;
        Await(p.ReadingData());
        QCOMPARE(rig.lines(), LiveReads);
        QCOMPARE(p.txtParData[0]->text(), QString("4000"));
        QCOMPARE(p.txtParData[1]->text(), QString("0125"));
        rig.clearLines();
        g.ExtName = "DI";
        Await(p.ReadingData());
        QCOMPARE(rig.lines(), LiveReads + QStringList({"G00", "I12"}));
    }

    // Each command's wire lines and what it shows, pressed after an Upload of a new-firmware unit.
    void commands_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");  // "box=text" typed before the press
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("result"); // "box=text" afterwards
        const QStringList f0 = {"G01", "I01", "DF"}, f1 = {"G02", "I01", "DF"};
        QTest::newRow("Auto Zero CH 0") << "cmdAutoZero0" << "" << f0 + QStringList{"G01", "I32", "D", "G00", "I21"}
                                        << "txtParData2(0)=0";
        QTest::newRow("Zero CH 1") << "cmdZero1" << "" << f1 + QStringList{"G02", "I30", "D", "G00", "I22"}
                                   << "txtParData2(1)=0";
        QTest::newRow("Span CH 0") << "cmdSpan0" << "" << f0 + QStringList{"G01", "I31", "D", "G00", "I21"}
                                   << "txtParData2(0)=10000";
        QTest::newRow("Offset Clear CH 1") << "Command1" << "" << f1 + QStringList{"G02", "I33", "D0", "G00", "I22"}
                                           << "txtParData2(1)=3000";
        QTest::newRow("Offset Clear CH 0") << "Command2" << "" << f0 + QStringList{"G01", "I33", "D0", "G00", "I21"}
                                           << "txtParData2(0)=4000";
        QTest::newRow("Auto Scale CH 0") << "cmdApplyCH0" << "txtAdjscale(0)=1000"
                                         << f0 + QStringList{"I38", "D1000", "I39", "D", "I21"} + LiveReads
                                         << "txtFScale(0)=2500";
        QTest::newRow("Auto Scale CH 1") << "cmdApplyCH1" << "txtAdjscale(1)=1500"
                                         << f1 + QStringList{"I38", "D1500", "I39", "D", "I21"} + LiveReads
                                         << "txtParData(1)=1500";
        QTest::newRow("Output CH 1") << "Command3" << "txtAdjscale(1)=500" << f1 + QStringList{"I42", "D500"}
                                     << "txtAdjscale(1)=500";
        QTest::newRow("Output CH 0") << "Command4" << "txtAdjscale(0)=7" << f0 + QStringList{"I42", "D7"}
                                     << "txtAdjscale(0)=7";
        QTest::newRow("Canncel CH 0") << "Command6" << "" << f0 + QStringList{"G01", "I43", "D1"} << "";
        QTest::newRow("Canncel CH 1") << "Command5" << "" << f1 + QStringList{"G02", "I43", "D1"} << "";
        QTest::newRow("UP CH 0") << "cmdGainUPCH0" << "" << f0 + QStringList{"I40", "DU"} << "txtAdjGain(0)=1";
        QTest::newRow("DOWN CH 1") << "cmdGainDOWNCH1" << "" << f1 + QStringList{"I40", "DD"} << "txtAdjGain(1)=-1";
        QTest::newRow("APPLY CH 0") << "cmdGainApplyCH0" << "txtAdjGain(0)=25" << f0 + QStringList{"I40", "D25"}
                                    << "txtAdjGain(0)=25";
        QTest::newRow("APPLY CH 1") << "cmdGainApplyCH1" << "txtAdjGain(1)=-3" << f1 + QStringList{"I40", "D-3"}
                                    << "txtAdjGain(1)=-3";
    }
    void commands() {
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(QStringList, lines);
        QFETCH(QString, result);
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-GZ2", "NONE", "1.10"));
        identify("K5A-GZ2", 21, 0, true);
        frmGZ2 p;
        Await(p.frmGZ2_Init());
        if (!typed.isEmpty()) box(p, typed.section('=', 0, 0))->setText(typed.section('=', 1));
        rig.clearLines();
        Click(p.findChild<QPushButton *>(button));
        QCOMPARE(rig.lines(), lines);
        if (!result.isEmpty()) QCOMPARE(box(p, result.section('=', 0, 0))->text(), result.section('=', 1));
        QVERIFY(groupEnabled(p) && p.Command1->isEnabled());
        QVERIFY(!rig.lines().contains("I50"));
        NO_SURPRISES(ui);
    }

    // The unit acts on the commands: what the channel reports, its full scale, its gain adjustment.
    void calibrationChangesWhatTheUnitReports() {
        SimRig rig(StillUnit("K5A-GZ2", "NONE", "1.10"));
        identify("K5A-GZ2", 21, 0, true);
        frmGZ2 p;
        Await(p.frmGZ2_Init());
        Click(p.cmdAutoZero1);
        QCOMPARE(p.txtParData2[1]->text(), QString("0"));
        Await(p.ReadingData());
        QCOMPARE(p.txtParData[1]->text(), QString("0"));
        Click(p.Command1); // offset clear
        QCOMPARE(p.txtParData2[1]->text(), QString("3000"));
        Click(p.cmdGainUPCH1);
        Click(p.cmdGainUPCH1);
        Click(p.cmdGainDOWNCH1);
        QCOMPARE(p.txtAdjGain[1]->text(), QString("1"));
        QCOMPARE(rig.unit().value("2", "40"), QString("1"));
        p.txtAdjscale[0]->setText("2000");
        Click(p.cmdApplyCH0);
        QCOMPARE(rig.unit().value("1", "21"), QString("5000"));
        QCOMPARE(p.txtFScale[0]->text(), QString("5000"));
        QCOMPARE(p.txtParData[0]->text(), QString("2000"));
        // Calibration results are emptied by txt_able, whatever it is told.
        p.txt_able(true);
        QCOMPARE(p.txtParData2[1]->text(), QString());
    }

    // An unanswered line stops a command where it occurs, without a word; the group, locked
    // after the "F", is unlocked again.
    void silentStops_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("lines");
        const QStringList f0 = {"G01", "I01", "DF"};
        auto times4 = [](const QStringList &l) { return l + l + l + l; };
        QTest::newRow("Offset Clear, no F") << "Command1" << "02" << "01" << times4({"G02", "I01"});
        QTest::newRow("Auto Zero, no answer") << "cmdAutoZero0" << "01" << "32" << f0 + times4({"G01", "I32"});
        QTest::newRow("Span, no value") << "cmdSpan0" << "00" << "21" << f0 + QStringList{"G01", "I31", "D"} + times4({"G00", "I21"});
        QTest::newRow("Auto Scale, no F") << "cmdApplyCH0" << "01" << "01" << times4({"G01", "I01"});
        QTest::newRow("Auto Scale, no 38") << "cmdApplyCH0" << "01" << "38" << f0 + times4({"I38"});
        QTest::newRow("Auto Scale, no full scale") << "cmdApplyCH0" << "01" << "21"
                                                   << f0 + QStringList{"I38", "D0", "I39", "D"} + times4({"I21"});
        QTest::newRow("Output, no echo") << "Command4" << "01" << "42" << f0 + times4({"I42"});
        QTest::newRow("UP, no echo") << "cmdGainUPCH0" << "01" << "40" << f0 + times4({"I40"});
        // A reply with nothing after its colon leaves the box as it was.
        QTest::newRow("Span, blank value") << "cmdSpan0" << "00" << "blank:21"
                                           << f0 + QStringList{"G01", "I31", "D", "G00", "I21"};
        QTest::newRow("Auto Scale, blank full scale") << "cmdApplyCH0" << "01" << "blank:21"
                                                      << f0 + QStringList{"I38", "D0", "I39", "D", "I21"} + LiveReads;
    }
    void silentStops() {
        QFETCH(QString, button);
        QFETCH(QString, group);
        QFETCH(QString, item);
        QFETCH(QStringList, lines);
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-GZ2", "NONE", "1.10"), 0, 20);
        identify("K5A-GZ2", 21, 0, true);
        frmGZ2 p;
        Await(p.frmGZ2_Init());
        p.txtParData2[0]->setText("before");
        const QString scale = p.txtFScale[0]->text(), monitor = p.txtAdjscale[0]->text();
        rig.clearLines();
        const bool blank = item.startsWith("blank:");
        rig.unit().addFault({blank ? sim::FaultKind::Blank : sim::FaultKind::Silence, group, item.section(':', -1),
                             blank ? 1 : -1, 0});
        Click(p.findChild<QPushButton *>(button));
        QCOMPARE(rig.lines(), lines);
        QVERIFY(groupEnabled(p));
        QCOMPARE(p.txtParData2[0]->text(), QString("before"));
        QCOMPARE(p.txtFScale[0]->text(), scale);
        QCOMPARE(p.txtAdjscale[0]->text(), monitor);
        QVERIFY(rig.link().isOpen());
        NO_SURPRISES(ui);
    }

    void groupLockedWhileAnAdjustmentWaits() {
        SimRig rig(StillUnit("K5A-GZ2", "NONE", "1.10"), 0, 2000);
        identify("K5A-GZ2", 21, 0, true);
        frmGZ2 p;
        Await(p.frmGZ2_Init());
        // Long enough that the check surely falls inside the wait, even on a busy machine.
        rig.unit().addFault({sim::FaultKind::Delay, "01", "40", 1, 300});
        bool lockedDuring = false;
        QTimer::singleShot(30, [&] { lockedDuring = !p.txtAdjGain[1]->isEnabled() && !p.cmdApplyCH1->isEnabled(); });
        Click(p.cmdGainDOWNCH0);
        QVERIFY(lockedDuring);
        QVERIFY(groupEnabled(p));
        QCOMPARE(p.txtAdjGain[0]->text(), QString("-1"));
    }

    // A command pressed while a transaction waits runs after it, as if pressed when idle.
    void pressedDuringAWait_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Offset Clear CH 1") << "Command1" << QStringList{"G02", "I01", "DF", "G02", "I33", "D0", "G00", "I22"};
        QTest::newRow("Auto Scale CH 0") << "cmdApplyCH0"
                                         << QStringList{"G01", "I01", "DF", "I38", "D0", "I39", "D", "I21"} + LiveReads;
        QTest::newRow("DOWN CH 1") << "cmdGainDOWNCH1" << QStringList{"G02", "I01", "DF", "I40", "DD"};
    }
    void pressedDuringAWait() {
        QFETCH(QString, button);
        QFETCH(QStringList, lines);
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-GZ2", "NONE", "1.10"), 0, 2000);
        identify("K5A-GZ2", 21, 0, true);
        frmGZ2 p;
        Await(p.frmGZ2_Init());
        rig.clearLines();
        rig.unit().addFault({sim::FaultKind::Delay, "00", "21", 1, 300});
        int linesAtPress = -1;
        QTimer::singleShot(25, [&] {
            linesAtPress = int(rig.lines().size());
            Click(p.findChild<QPushButton *>(button));
        });
        Runner().run([&p]() -> co::Task<> { co_await p.ReadingData(); });
        Settle();
        QCOMPARE(linesAtPress, 2); // pressed while "I21" waited
        QCOMPARE(rig.lines(), LiveReads + lines); // nothing ran inside the wait
        NO_SURPRISES(ui);
    }

    void hlsUnit() {
        for (const bool newFirmware : {false, true}) {
            ScriptedUi ui;
            SimRig rig(StillUnit("K5VS-GZ2", "NONE", newFirmware ? "2.00" : "1.00"));
            identify("K5VS-GZ2", 22, 6, newFirmware);
            rig.unit().setValue("2", "42", "700");
            rig.unit().setValue("1", "40", "5");
            frmHLSGZ2 p;
            Await(p.frmHLSGZ2_Init());
            QStringList expected;
            for (int ch = 1; ch <= 2; ++ch) {
                const QString g = "G" + QString::number(ch);
                expected += slotReads(ch) << g << "I42" << g << "I44";
            }
            QCOMPARE(rig.lines(), expected);
            QCOMPARE(p.txtAdjscale[1]->text(), QString("700"));
            QCOMPARE(p.txtAdjGain[0]->text(), QString("5"));
            // Only "Setting 1" can be seen; no output hold, filter mode or Auto Scale.
            QVERIFY(!shown(p.cmdSet1) && !shown(p.cmdSet2) && !shown(p.fraSetModel));
            QVERIFY(shown(p.frmSet1) && !shown(p.frmSet2));
            QVERIFY(!p.cmdSet2->isEnabled());
            QVERIFY(p.findChild<QLabel *>("lblFBase_Unit(0)"));
            for (const char *name : {"Frame2", "optKeepOn", "lblMode", "cmdApplyCH0", "cmdApplyCH1"})
                QVERIFY2(p.findChild<QWidget *>(name) == nullptr, name);
            // Init ends with txt_able alone: the group stays locked until Stop or Disconnect.
            QVERIFY(p.txtZScale[1]->isEnabled() && p.cmdAutoZero1->isEnabled() && !groupEnabled(p));
            p.onStop();
            QVERIFY(groupEnabled(p));

            rig.clearLines();
            Click(p.Command2);
            QCOMPARE(rig.lines(), QStringList({"G01", "I01", "DF", "G01", "I33", "D0", "G00", "I21"}));
            QCOMPARE(p.txtParData2[0]->text(), QString("4002")); // 4000 trimmed by the gain adjustment 5

            rig.clearLines();
            QVERIFY(p.CheckData());
            Await(p.frmHLSGZ2_Download());
            QCOMPARE(rig.lines().size(), 22); // the five slots of each channel and nothing else
            QVERIFY(!rig.lines().contains("G00"));
            QVERIFY(!p.txtZScale[0]->isEnabled() && !groupEnabled(p));
            NO_SURPRISES(ui);
        }
    }

    // Through the main window: the model text picks the page, Upload reads it, and Start, Stop
    // and Disconnect switch the new-firmware group with the rest.
    void mainWindowUpload_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("frmGZ2 old") << "K5A-GZ2" << "1.02" << "frmGZ2" << initLines(true, false);
        QTest::newRow("frmGZ2 new") << "K5A-GZ2" << "1.10" << "frmGZ2" << initLines(true, true);
        QTest::newRow("frmHLSGZ2") << "K5VS-GZ2" << "1.02" << "frmHLSGZ2"
                                   << slotReads(1) + QStringList{"G1", "I42", "G1", "I44"} + slotReads(2) +
                                          QStringList{"G2", "I42", "G2", "I44"};
    }
    void mainWindowUpload() {
        QFETCH(QString, model);
        QFETCH(QString, version);
        QFETCH(QString, page);
        QFETCH(QStringList, lines);
        AppRig r(StillUnit(model, "NONE", version));
        r.connectViaSetting();
        auto *p = r.w->findChild<LoadCellPage *>(page);
        QVERIFY(p);
        QCOMPARE(g.ActivePage, p->modelNum());
        const int after = int(r.lines().indexOf("I03")) + 1;
        QCOMPARE(r.lines().mid(after, lines.size()), lines);
        QCOMPARE(r.lines().mid(after + lines.size(), 4), LiveReads);
        QCOMPARE(g.NewFirmware, version == "1.10");
        NO_SURPRISES(r.ui);
    }

    void startStopDisconnect() {
        AppRig r(StillUnit("K5A-GZ2", "NONE", "1.10"));
        r.connectViaSetting();
        auto *p = r.w->findChild<frmGZ2 *>();
        QVERIFY(p && groupEnabled(*p));
        p->txtParData2[0]->setText("123");
        bool lockedWhileMonitoring = false;
        QTimer::singleShot(40, [&] {
            lockedWhileMonitoring = !p->txtAdjscale[0]->isEnabled() && !p->cmdGainUPCH1->isEnabled() &&
                                    !p->cmdApplyCH0->isEnabled() && !p->cmdAutoZero0->isEnabled() &&
                                    p->txtParData2[0]->text().isEmpty();
            r.session().commandStop();
        });
        Await(r.session().commandStart());
        QVERIFY(lockedWhileMonitoring);
        QVERIFY(groupEnabled(*p) && p->cmdAutoZero0->isEnabled());

        QTimer::singleShot(40, [&] { r.session().commandDisconnect(); });
        Await(r.session().commandStart());
        QVERIFY(!g.Connected);
        QVERIFY(groupEnabled(*p) && p->txtZScale[0]->isEnabled());
        NO_SURPRISES(r.ui);
    }
};

QTEST_MAIN(LoadCellTest)
#include "tst_loadcell.moc"
