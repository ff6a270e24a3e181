// The 4-channel analog input page against the simulated unit.
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "pages/frmQB4.h"
#include "tests/TestKit.h"
#include "core/Commands.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

void identify(const QString &model, int netTyp, int subTyp, int channels = 4) {
    InitGlobals();
    g.UnitModel = model;
    g.modelnum = 0;
    g.NetTyp = netTyp;
    g.SubTyp = subTyp;
    g.ChCount = channels;
    g.ExtName = "NONE";
}

QStringList units(const frmQB4 &p) {
    QStringList l;
    for (int k = 0; k < 4; ++k) l << p.lblZBase_Unit[k]->text() + "/" + p.lblFBase_Unit[k]->text();
    return l;
}

} // namespace

class Qb4Test : public QObject {
    Q_OBJECT
private slots:
    void initFillsThePage() {
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-QB4"));
        identify("K5A-QB4", 0, 1);
        rig.unit().setValue("2", "20", "-500");
        rig.unit().setValue("3", "09", "10");
        rig.unit().setValue("00", "14", "ON");
        frmQB4 p;
        Await(p.frmQB4_Init());
        QCOMPARE(p.lblV_Unit->text(), QString("QB4"));
        QCOMPARE(p.txtZScale[1]->text(), QString("-500"));
        QCOMPARE(p.txtGain[0]->text(), QString("1.0000"));
        QCOMPARE(p.txtFBase[3]->text(), QString("10.000"));
        QCOMPARE(p.cmbUserRange[0]->count(), 12);
        QCOMPARE(p.cmbUserRange[0]->itemText(8), QString("-------------"));
        QCOMPARE(p.cmbUserRange[2]->currentText(), QString("4mA to 20mA"));
        QVERIFY(p.optKeepOn->isChecked() && !p.optKeepOff->isChecked());
        QCOMPARE(g.ChParam[1].Value1, QString("-500"));
        QCOMPARE(g.ChParam[3].Item6, QString("25"));
        // Editing is on again, the bases stay display only, the first view is shown.
        QVERIFY(p.txtZScale[0]->isEnabled() && p.cmbUserRange[3]->isEnabled() && p.optKeepOn->isEnabled());
        QVERIFY(!p.txtZBase[0]->isEnabled() && !p.txtFBase[0]->isEnabled());
        QVERIFY(!p.cmdSet1->isEnabled() && p.cmdSet2->isEnabled());
        QVERIFY(p.frmSet1->isVisibleTo(&p) && !p.frmSet2->isVisibleTo(&p));
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(ui);
    }

    void unitLabelsFollowSwitchRange() {
        SimRig rig(StillUnit("K5A-QB4"));
        identify("K5A-QB4", 0, 1);
        const QStringList ranges = {"0", "9", "12", "16"};
        for (int k = 0; k < 4; ++k) rig.unit().setValue(QString::number(k + 1), "09", ranges[k]);
        frmQB4 p;
        Await(p.frmQB4_Init()); // the unit's switch range is F: per channel
        QCOMPARE(units(p), QStringList({"V/V", "mA/mA", "V/V", "/"}));
        // An index without a list entry selects nothing.
        QCOMPARE(p.cmbUserRange[2]->currentIndex(), -1);
        QCOMPARE(p.cmbUserRange[3]->currentIndex(), -1);
        QCOMPARE(p.cmbUserRange[1]->currentIndex(), 9);

        rig.unit().setValue("00", "09", "9");
        Await(p.frmQB4_Init());
        QCOMPARE(units(p), QStringList({"mA/mA", "mA/mA", "mA/mA", "mA/mA"}));
        QCOMPARE(p.cmbUserRange[0]->currentIndex(), 0);
    }

    void hlsReadsItem08AndHasNoOutputHold() {
        SimRig rig(StillUnit("K5VS-QB4"));
        identify("K5VS-QB4", 6, 1);
        rig.unit().setValue("00", "08", "9");
        frmQB4 p;
        p.show();
        Await(p.frmQB4_Init());
        QCOMPARE(rig.lines().mid(0, 2), QStringList({"G00", "I08"}));
        QVERIFY(!rig.lines().contains("I14"));
        QVERIFY(!p.Frame2->isVisibleTo(&p));
        QCOMPARE(units(p).first(), QString("mA/mA"));
        rig.clearLines();
        Await(p.frmQB4_Download());
        QVERIFY(!rig.lines().contains("I14"));

        // Without a sub-type the HLS unit's switch range is item 09 again.
        rig.clearLines();
        g.SubTyp = 0;
        Await(p.frmQB4_Init());
        QCOMPARE(rig.lines().mid(0, 2), QStringList({"G00", "I09"}));
    }

    void channelLoopsStayWithinTheRows() {
        SimRig rig(StillUnit("K5A-QB4"));
        identify("K5A-QB4", 0, 1, 16);
        frmQB4 p;
        Await(p.frmQB4_Init());
        QVERIFY(rig.lines().contains("G4"));
        QVERIFY(!rig.lines().contains("G5"));
        QVERIFY(p.CheckData());
        rig.clearLines();
        Await(p.frmQB4_Download());
        QVERIFY(!rig.lines().contains("G5"));
        p.txt_able(true);
    }

    void unansweredSlotIsUploadError() {
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-QB4"), 0, 40);
        identify("K5A-QB4", 0, 1);
        rig.unit().addFault({sim::FaultKind::Silence, "2", "23", -1, 0});
        ui.expect("Upload Error", "Upload", MsgIcon::Critical);
        frmQB4 p;
        Await(p.frmQB4_Init());
        QCOMPARE(rig.lines().count("I23"), 1 + 4);
        QVERIFY(!rig.link().isOpen());
        QCOMPARE(p.txtZScale[0]->text(), QString("0")); // values read before stay
        QVERIFY(!p.txtZScale[0]->isEnabled());          // the page stays locked
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(ui);
    }

    void otherUnansweredReadsEndQuietly() {
        for (const auto &[group, item] : {std::pair{"00", "09"}, {"00", "14"}, {"3", "09"}}) {
            ScriptedUi ui;
            SimRig rig(StillUnit("K5A-QB4"), 0, 40);
            identify("K5A-QB4", 0, 1);
            rig.unit().addFault({sim::FaultKind::Silence, group, item, -1, 0});
            frmQB4 p;
            Await(p.frmQB4_Init());
            QVERIFY(rig.link().isOpen());
            QVERIFY(!p.txtZScale[0]->isEnabled());
            QVERIFY(!p.cmdSet2->isEnabled());
            QCOMPARE(LoadingForm(), nullptr);
            NO_SURPRISES(ui);
        }
    }

    void liveValuesAndExtension() {
        SimRig rig(StillUnit("K5A-QB4"));
        identify("K5A-QB4", 0, 1);
        frmQB4 p;
        rig.unit().setValue("00", "21", "012.34");
        rig.unit().setValue("00", "22", "ERR");
        p.txtParData[1]->setText("7");
        Await(p.ReadingData());
        QCOMPARE(p.txtParData[0]->text(), QString("01234"));
        QCOMPARE(p.txtParData[1]->text(), QString("7"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I21", "G00", "I22", "G00", "I23", "G00", "I24"}));
        g.ExtName = "DI";
        rig.clearLines();
        Await(p.ReadingData());
        QCOMPARE(rig.lines().mid(8), QStringList({"G00", "I12"}));
    }

    void checkDataBounds_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("gain 3.2") << "txtGain" << "3.2" << true;
        QTest::newRow("gain -3.2") << "txtGain" << "-3.2" << true;
        QTest::newRow("gain 3.2001") << "txtGain" << "3.2001" << false;
        QTest::newRow("bias 320") << "txtBias" << "320" << true;
        QTest::newRow("bias 320.01") << "txtBias" << "320.01" << false;
        QTest::newRow("bias -320.01") << "txtBias" << "-320.01" << false;
        QTest::newRow("zero 32000") << "txtZScale" << "32000" << true;
        QTest::newRow("zero 32000.4") << "txtZScale" << "32000.4" << false;
        QTest::newRow("full -32000") << "txtFScale" << "-32000" << true;
        QTest::newRow("full letters") << "txtFScale" << "1O0" << false;
        QTest::newRow("gain empty") << "txtGain" << "" << false;
        QTest::newRow("base not checked") << "txtZBase" << "abc" << true;
    }
    void checkDataBounds() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        identify("K5A-QB4", 0, 1);
        frmQB4 p;
        for (int k = 0; k < 4; ++k) {
            p.txtZScale[k]->setText("0");
            p.txtFScale[k]->setText("100");
            p.txtBias[k]->setText("0");
            p.txtGain[k]->setText("1");
        }
        p.findChild<QLineEdit *>(field + "(2)")->setText(text);
        QCOMPARE(p.CheckData(), ok);
    }

    void checkDataRewritesScalesChannelByChannel() {
        identify("K5A-QB4", 0, 1);
        frmQB4 p;
        for (int k = 0; k < 4; ++k) {
            p.txtZScale[k]->setText("12.5");
            p.txtFScale[k]->setText("13.5");
            p.txtBias[k]->setText("0.5");
            p.txtGain[k]->setText("1");
        }
        p.txtBias[1]->setText("999");
        QVERIFY(!p.CheckData());
        QCOMPARE(p.txtZScale[0]->text(), QString("12")); // passed before the failure
        QCOMPARE(p.txtFScale[0]->text(), QString("14"));
        QCOMPARE(p.txtZScale[1]->text(), QString("12.5"));
        QCOMPARE(p.txtBias[0]->text(), QString("0.5")); // never rewritten
        // A non-number fails before anything is rewritten.
        p.txtZScale[0]->setText("12.5");
        p.txtBias[1]->setText("0");
        p.txtZScale[3]->setText("x");
        QVERIFY(!p.CheckData());
        QCOMPARE(p.txtZScale[0]->text(), QString("12.5"));
    }

    void viewButtons() {
        identify("K5A-QB4", 0, 1);
        frmQB4 p;
        QCOMPARE(p.cmdSet1->text(), QString("Setting 1"));
        QCOMPARE(p.cmdSet2->text(), QString("Setting 2"));
        p.cmdSet2->setEnabled(true);
        Click(p.cmdSet2);
        QVERIFY(p.cmdSet1->isEnabled() && !p.cmdSet2->isEnabled());
        QVERIFY(!p.frmSet1->isVisibleTo(&p) && p.frmSet2->isVisibleTo(&p));
        Click(p.cmdSet1);
        QVERIFY(!p.cmdSet1->isEnabled() && p.cmdSet2->isEnabled());
        QVERIFY(p.frmSet1->isVisibleTo(&p) && !p.frmSet2->isVisibleTo(&p));
        // Names and captions the file code and a screen reader rely on.
        QCOMPARE(p.findChild<QLabel *>("lblGain01")->text(), QString("Gain"));
        QCOMPARE(p.findChild<QLabel *>("lblBias(3)")->text(), QString("-320.00 to 320.00"));
        QCOMPARE(p.findChild<QGroupBox *>("Frame2")->title(), QString("Output Hold/Clear"));
        QCOMPARE(p.findChild<QLineEdit *>("txtZScale(2)")->accessibleName(), QString("CH 2 Zero scale"));
    }
};

QTEST_MAIN(Qb4Test)
#include "tst_qb4.moc"
