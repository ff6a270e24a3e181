// The 8-channel, percent, clamp current and mA input pages against the simulated unit.
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "pages/frmQB4.h"
#include "pages/frmQB8.h"
#include "pages/frmQJ4.h"
#include "pages/frmQX4M.h"
#include "pages/frmQZ4U.h"
#include "tests/TestKit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

void identify(const QString &model, int modelnum, int channels) {
    InitGlobals();
    g.UnitModel = model;
    g.modelnum = modelnum;
    g.NetTyp = 0;
    g.ChCount = channels;
    g.ExtName = "NONE";
}

QStringList slotReads(int ch, const QStringList &items = {"20", "21", "22", "23", "24", "25"}) {
    QStringList l = {"G" + QString::number(ch)};
    for (const QString &i : items) l << "I" + i;
    return l;
}

QStringList texts(const QVector<QLineEdit *> &cells) {
    QStringList l;
    for (const QLineEdit *c : cells) l << c->text();
    return l;
}

QStringList units(const ScalingPage &p) {
    QStringList l;
    for (int k = 0; k < p.lblZBase_Unit.size(); ++k) l << p.lblZBase_Unit[k]->text() + "/" + p.lblFBase_Unit[k]->text();
    return l;
}

void fill(const QVector<QLineEdit *> &cells, const QString &text) {
    for (QLineEdit *c : cells) c->setText(text);
}

} // namespace

class AnalogInputTest : public QObject {
    Q_OBJECT
private slots:
    void qb8UploadAndDownload() {
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-QBW8"));
        identify("K5A-QBW8", 18, 8);
        rig.unit().setValue("6", "22", "1.50");
        rig.unit().setValue("6", "09", "3");
        rig.unit().setValue("2", "09", "9"); // no entry in the six-entry list
        frmQB8 p;
        Await(p.frmQB8_Init());
        QStringList expected = {"G00", "I09"};
        for (int ch = 1; ch <= 8; ++ch) expected += slotReads(ch) << "I09";
        QCOMPARE(rig.lines(), expected);
        QCOMPARE(p.cmdSet1->text(), QString("CH 0 to CH 3"));
        QCOMPARE(p.cmdSet2->text(), QString("CH 4 to CH 7"));
        QCOMPARE(p.txtBias[5]->text(), QString("1.50"));
        QCOMPARE(p.cmbUserRange[5]->currentText(), QString("0V to 10V"));
        QCOMPARE(p.cmbUserRange[0]->count(), 6);
        QCOMPARE(p.cmbUserRange[0]->itemText(2), QString("-------------"));
        QCOMPARE(p.cmbUserRange[1]->currentIndex(), -1);
        // Switch range F: each channel shows the unit of its own range (9 is mA in the table).
        QCOMPARE(units(p).mid(0, 2), QStringList({"V/V", "mA/mA"}));
        QVERIFY(p.findChild<QWidget *>("txtChData(0)") == nullptr); // no extension row
        QVERIFY(p.findChild<QGroupBox *>("Frame2") == nullptr);
        // Channels 4 to 7 are on the second view.
        QVERIFY(p.txtBias[2]->parentWidget() == p.frmSet1 && p.txtBias[6]->parentWidget() == p.frmSet2);
        QVERIFY(p.txtBias[7]->isEnabled() && !p.txtZScale[7]->isEnabled() && !p.txtFBase[0]->isEnabled());

        rig.clearLines();
        p.txtZScale[0]->setText("nonsense"); // never checked nor written
        QVERIFY(p.CheckData());
        p.txtGain[3]->setText("2.5");
        Await(p.frmQB8_Download());
        expected.clear();
        for (int ch = 1; ch <= 8; ++ch) {
            const QString range = ch == 2 ? "9" : ch == 6 ? "3" : "0";
            const QString bias = ch == 6 ? "1.50" : "0.00";
            const QString gain = ch == 4 ? "2.5" : "1.0000";
            expected += {"G" + QString::number(ch), "I22", "D" + bias, "I23", "D" + gain, "I09", "D" + range};
        }
        QCOMPARE(rig.lines(), expected);

        rig.clearLines();
        g.ChCount = 6;
        Await(p.ReadingData());
        QCOMPARE(rig.lines(), QStringList({"G00", "I21", "G00", "I22", "G00", "I23", "G00", "I24", "G00", "I25", "G00", "I26"}));
        NO_SURPRISES(ui);
    }

    void qb8ChecksOnlyBiasAndGain() {
        identify("K5A-QBW8", 18, 8);
        frmQB8 p;
        fill(p.txtBias, "320");
        fill(p.txtGain, "-3.2");
        QVERIFY(p.CheckData());
        p.txtBias[7]->setText("320.01");
        QVERIFY(!p.CheckData());
        p.txtBias[7]->setText("1");
        p.txtGain[4]->setText("g");
        QVERIFY(!p.CheckData());
    }

    void qj4UploadDownloadAndPercent() {
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-QJ4"));
        identify("K5A-QJ4", 7, 4);
        rig.unit().setValue("3", "32", "250");
        frmQJ4 p;
        Await(p.frmQJ4_Init());
        QStringList expected = {"G00", "I14"};
        for (int ch = 1; ch <= 4; ++ch) expected += slotReads(ch, {"20", "21", "34", "-1", "32", "33"});
        QCOMPARE(rig.lines(), expected);
        QCOMPARE(p.lblBias01->text(), QString("Percent"));
        QVERIFY(p.findChild<QWidget *>("txtGain(0)") == nullptr);
        QVERIFY(p.findChild<QComboBox *>("cmbUserRange(0)") == nullptr);
        QCOMPARE(p.txtZBase[2]->text(), QString("250"));
        QCOMPARE(units(p), QStringList({"/", "/", "/", "/"}));
        QVERIFY(p.txtZBase[0]->isEnabled() && !p.txtBias[0]->isEnabled());

        rig.clearLines();
        rig.unit().setValue("2", "34", "12.5");
        Await(p.ReadingData());
        expected = {"G00", "I21", "G00", "I22", "G00", "I23", "G00", "I24"};
        for (int ch = 1; ch <= 4; ++ch) expected += {"G0" + QString::number(ch), "I34"};
        QCOMPARE(rig.lines(), expected);
        QCOMPARE(p.txtBias[1]->text(), QString("125"));

        rig.clearLines();
        p.txtZBase[0]->setText("10.5");
        QVERIFY(p.CheckData());
        QCOMPARE(p.txtZBase[0]->text(), QString("10"));
        Await(p.frmQJ4_Download());
        expected.clear();
        for (int ch = 1; ch <= 4; ++ch) {
            const QString zb = ch == 1 ? "10" : ch == 3 ? "250" : "0";
            expected += {"G" + QString::number(ch), "I20", "D0", "I21", "D10000", "I32", "D" + zb, "I33", "D10000"};
        }
        expected += {"G00", "I14", "D1"};
        QCOMPARE(rig.lines(), expected);
        NO_SURPRISES(ui);
    }

    void qj4Checks_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("fullScale"); // typed into txtFScale(1), and what it shows afterwards
        QTest::newRow("zero base 10000") << "txtZBase" << "10000" << true << "0";
        QTest::newRow("zero base 10001") << "txtZBase" << "10001" << false << "0";
        QTest::newRow("full base -1") << "txtFBase" << "-1" << false << "0";
        QTest::newRow("full base rounds into range") << "txtFBase" << "-0.5" << true << "0";
        QTest::newRow("percent out of range") << "txtBias" << "32000.5" << false << "0";
        QTest::newRow("percent not a number") << "txtBias" << "--" << false << "0";
        QTest::newRow("zero scale -32000") << "txtZScale" << "-32000" << true << "0";
        // A channel whose full base fails only after rounding: nothing of it is rewritten.
        QTest::newRow("full base -0.6") << "txtFBase" << "-0.6" << false << "12.5=12.5";
        QTest::newRow("full scale rounded") << "txtFBase" << "-0.4" << true << "12.5=12";
    }
    void qj4Checks() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, fullScale);
        identify("K5A-QJ4", 7, 4);
        frmQJ4 p;
        for (const auto *cells : {&p.txtZScale, &p.txtFScale, &p.txtBias, &p.txtZBase, &p.txtFBase}) fill(*cells, "0");
        p.findChild<QLineEdit *>(field + "(1)")->setText(text);
        p.txtFScale[1]->setText(fullScale.section('=', 0, 0));
        QCOMPARE(p.CheckData(), ok);
        QCOMPARE(p.txtFScale[1]->text(), fullScale.section('=', -1));
    }

    void qx4mUploadAndDownload() {
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-QX4V"));
        identify("K5A-QX4V", 8, 4);
        rig.unit().setValue("00", "09", "2");
        rig.unit().setValue("2", "12", "25");
        rig.unit().setValue("4", "09", "5");
        frmQX4M p;
        Await(p.frmQX4M_Init());
        QStringList expected = {"G00", "I09", "G00", "I14", "G01", "I11"};
        for (int ch = 1; ch <= 4; ++ch) expected += slotReads(ch) << "G" + QString::number(ch) << "I12" << "G" + QString::number(ch) << "I09";
        QCOMPARE(rig.lines(), expected);
        QCOMPARE(p.txtStartup->text(), QString("100"));
        QCOMPARE(texts(p.txtDropout), QStringList({"10", "25", "10", "10"}));
        QCOMPARE(p.cmbUserRange[3]->currentText(), QString("0-5A"));
        QCOMPARE(units(p), QStringList({"A/A", "A/A", "A/A", "A/A"}));
        QCOMPARE(p.lblZScale[0]->text(), QString("0 to 60000"));
        QCOMPARE(p.findChild<QLabel *>("Label14")->text(), QString("5 to 50"));
        QCOMPARE(p.findChild<QLabel *>("Label8")->text(), QString("x 0.1%"));
        QCOMPARE(p.Frame3->title(), QString("Startup timer"));
        QVERIFY(p.txtDropout[0]->parentWidget() == p.frmSet2);

        rig.clearLines();
        p.txtFScale[0]->setText("60000");
        p.txtDropout[1]->setText("50");
        p.txtStartup->setText("600");
        QVERIFY(p.CheckData());
        QCOMPARE(p.txtFScale[0]->text(), QString("60000")); // sent as typed
        Await(p.frmQX4M_Download());
        expected.clear();
        for (int ch = 1; ch <= 4; ++ch) {
            const QString c = QString::number(ch);
            expected += {"G" + c,   "I20", "D0",     "I21",    "D60000", "I22", "D0.00", "I23",
                         "D1.0000", "I24", "D0.0",   "I25",    "D600.0", "I09", ch == 4 ? "D5" : "D0",
                         "I12",     ch == 2 ? "D50" : "D10"};
        }
        expected += {"G00", "I14", "D1", "G01", "I11", "D600"};
        QCOMPARE(rig.lines(), expected);
        NO_SURPRISES(ui);
    }

    void qx4mChecks_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("full scale 60000") << "txtFScale(0)" << "60000" << true;
        QTest::newRow("full scale -1") << "txtFScale(0)" << "-1" << false;
        QTest::newRow("drop out 5") << "txtDropout(3)" << "5" << true;
        QTest::newRow("drop out 4.9") << "txtDropout(3)" << "4.9" << false;
        QTest::newRow("drop out empty") << "txtDropout(3)" << "" << false;
        QTest::newRow("startup 600") << "txtStartup" << "600" << true;
        QTest::newRow("startup 600.5") << "txtStartup" << "600.5" << false;
        QTest::newRow("startup letters") << "txtStartup" << "ten" << false;
    }
    void qx4mChecks() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        identify("K5A-QX4V", 8, 4);
        frmQX4M p;
        for (const auto *cells : {&p.txtZScale, &p.txtFScale, &p.txtBias, &p.txtGain}) fill(*cells, "0");
        fill(p.txtDropout, "10");
        p.txtStartup->setText("0");
        p.findChild<QLineEdit *>(field)->setText(text);
        QCOMPARE(p.CheckData(), ok);
    }

    void qz4uShowsMilliamperesWhateverTheSwitch() {
        ScriptedUi ui;
        SimRig rig(StillUnit("K5A-QZ4U"));
        identify("K5A-QZ4U", 24, 4);
        rig.unit().setValue("00", "09", "3");
        rig.unit().removeItem("2", "09"); // the answer to the range read is not used
        frmQZ4U p;
        Await(p.frmQZ4U_Init());
        QStringList expected = {"G00", "I09", "G00", "I14"};
        for (int ch = 1; ch <= 4; ++ch) expected += slotReads(ch) << "I09";
        QCOMPARE(rig.lines(), expected);
        QCOMPARE(units(p), QStringList({"mA/mA", "mA/mA", "mA/mA", "mA/mA"}));
        QVERIFY(p.txtZScale[3]->isEnabled());

        rig.clearLines();
        Await(p.frmQZ4U_Download());
        expected.clear();
        for (int ch = 1; ch <= 4; ++ch)
            expected += {"G" + QString::number(ch), "I20", "D0", "I21", "D10000", "I22", "D0.00", "I23", "D1.0000",
                         "I24", "D4.000", "I25", "D20.000"};
        expected += {"G00", "I14", "D1"};
        QCOMPARE(rig.lines(), expected);
        NO_SURPRISES(ui);
    }

    // A range index the list has no entry for goes back to the unit as it was read.
    void unlistedRangeIsWrittenBackAsRead() {
        SimRig rig(StillUnit("K5A-QB4"));
        identify("K5A-QB4", 0, 4);
        rig.unit().setValue("3", "09", "14");
        frmQB4 p;
        Await(p.frmQB4_Init());
        QCOMPARE(p.cmbUserRange[2]->currentIndex(), -1);
        rig.clearLines();
        Await(p.frmQB4_Download());
        const QStringList lines = rig.lines();
        const int g3 = int(lines.indexOf("G3"));
        QCOMPARE(lines.mid(g3 + 13, 2), QStringList({"I09", "D14"}));
        QVERIFY(!lines.contains("D-1"));
        QCOMPARE(rig.unit().value("3", "09"), QString("14"));
    }

    // Identification reaches each page and the main window places it.
    void identificationPlacesEachPage_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelnum");
        QTest::newRow("QBW8") << "K5A-QBW8" << 18;
        QTest::newRow("QJ4") << "K5B-QJ4" << 7;
        QTest::newRow("QX4V") << "K5G-QX4V" << 8;
        QTest::newRow("QZ4U") << "K5A-QZ4U" << 24;
    }
    void identificationPlacesEachPage() {
        QFETCH(QString, model);
        QFETCH(int, modelnum);
        AppRig r(StillUnit(model));
        r.connectViaSetting();
        QCOMPARE(g.ActivePage, modelnum);
        QCOMPARE(r.shownPage(), static_cast<QWidget *>(r.page(modelnum)));
        QCOMPARE(r.buttons(), QString("TFFTFTTT"));
        auto *page = qobject_cast<ScalingPage *>(r.page(modelnum));
        QVERIFY(page->txtParData[0]->text().toInt() > 0);
        // Download writes, then reads everything back.
        r.clearLines();
        Await(r.session().commandDownload());
        QVERIFY(r.lines().contains("D1") || r.lines().contains("D0"));
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        // What Start and Stop do to the page.
        page->onStart();
        QVERIFY(!page->txtBias[0]->isEnabled() && !page->txtZScale[0]->isEnabled());
        page->onStop();
        QVERIFY(page->txtBias[0]->isEnabled() || modelnum == 7);
        QVERIFY2(r.ui.problems().isEmpty(), qPrintable(r.ui.problems()));
    }
};

QTEST_MAIN(AnalogInputTest)
#include "tst_analoginput.moc"
