// The six analog output pages through the main window and the simulated unit.
#include "pages/Colors.h"
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "pages/frmWB2.h"
#include "pages/frmWB4M.h"
#include "pages/frmWC2.h"
#include "pages/frmWC4.h"
#include "pages/frmZWB2.h"
#include "pages/PageRegistry.h"
#include "tests/TestKit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

template <class P> P *page(AppRig &r, int modelnum) { return qobject_cast<P *>(r.page(modelnum)); }

// The lines of the page's Init and first ReadingData within an Upload.
QStringList initLines(const QStringList &lines, int n) { return lines.mid(lines.indexOf("I03") + 1, n); }

QStringList slotReads(int ch, bool range) {
    QStringList l = {"G" + QString::number(ch), "I20", "I21", "I22", "I23", "I24", "I25"};
    if (range) l << "I09";
    return l;
}

// A channel's six slots written back as the simulated unit keeps them, then its range if it has one.
QStringList slotWrites(int ch, const QString &zeroBase, const QString &fullBase, const QString &range = {}) {
    QStringList l = {"G" + QString::number(ch), "I20", "D0",  "I21", "D10000", "I22", "D0.00",
                     "I23", "D1.0000", "I24", "D" + zeroBase, "I25", "D" + fullBase};
    if (!range.isEmpty()) l << "I09" << "D" + range;
    return l;
}

QStringList live(int channels) {
    QStringList l;
    for (int k = 0; k < channels; ++k) l << "G00" << QString::number(21 + k).prepend('I');
    return l;
}

QStringList units(const ScalingPage &p) {
    QStringList l;
    for (int k = 0; k < p.lblZBase_Unit.size(); ++k) l << p.lblZBase_Unit[k]->text() + "/" + p.lblFBase_Unit[k]->text();
    return l;
}

} // namespace

class AnalogOutputTest : public QObject {
    Q_OBJECT
private slots:
    // Every page's Upload and Download lines, from its row of the family's table.
    void wires_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelnum");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QStringList>("module");  // Init's module reads
        QTest::addColumn<bool>("range");          // the channels' "09"
        QTest::addColumn<bool>("hold");           // item "14" written
        QTest::addColumn<QString>("unitText");
        QTest::newRow("WB2") << "K5A-WB2" << 3 << 2 << QStringList{"G00", "I09", "G00", "I14"} << true << true << "V";
        QTest::newRow("WC2") << "K5A-WC2" << 4 << 2 << QStringList{"G00", "I14"} << false << true << "mA";
        QTest::newRow("WB4") << "K5B-WB4" << 12 << 4 << QStringList{"G00", "I09", "G00", "I14"} << true << true << "V";
        QTest::newRow("WC4") << "K5A-WC4" << 13 << 4 << QStringList{"G00", "I14"} << false << true << "mA";
        QTest::newRow("ZWB2") << "K5A-ZWBW2" << 15 << 2 << QStringList{"G00", "I09"} << false << false << "";
    }
    void wires() {
        QFETCH(QString, model);
        QFETCH(int, modelnum);
        QFETCH(int, channels);
        QFETCH(QStringList, module);
        QFETCH(bool, range);
        QFETCH(bool, hold);
        QFETCH(QString, unitText);
        AppRig r(StillUnit(model));
        r.unit().setValue(QString::number(channels), "09", "4");
        r.connectViaSetting();
        QCOMPARE(g.ActivePage, modelnum);
        auto *p = page<ScalingPage>(r, modelnum);
        QStringList init = module;
        for (int ch = 1; ch <= channels; ++ch) init += slotReads(ch, range);
        QCOMPARE(initLines(r.lines(), int(init.size()) + 2 * channels), init + live(channels));
        QCOMPARE(units(*p), QStringList(channels, unitText + "/" + unitText));
        QVERIFY(p->txtZScale[channels - 1]->isEnabled() && !p->txtZBase[channels - 1]->isEnabled());
        QVERIFY(p->findChild<QWidget *>(QStringLiteral("txtZScale(%1)").arg(channels)) == nullptr);
        QCOMPARE(p->lblZScale[0]->text(), QString("-32000 to 32000"));
        if (p->Frame2) p->optKeepOn->setChecked(true);
        r.clearLines();
        Await(r.session().commandDownload());
        const bool volts = unitText != "mA";
        QStringList download = {"G00", "I01", "DF"};
        for (int ch = 1; ch <= channels; ++ch)
            download += slotWrites(ch, volts ? "-10.000" : "4.000", volts ? "10.000" : "20.000",
                                   !range ? QString() : ch == channels ? "4" : "0");
        if (hold) download += {"G00", "I14", "D0"};
        QCOMPARE(r.lines().mid(0, download.size() + 1), download + QStringList{"G00"}); // then the Upload
        NO_SURPRISES(r);
    }

    void wb2RangesAndUnits() {
        AppRig r(StillUnit("K5A-WB2"));
        r.unit().setValue("1", "09", "7");
        r.unit().setValue("2", "09", "F"); // per channel 15: no list entry, the table's empty unit
        r.connectViaSetting();
        auto *p = page<frmWB2>(r, 3);
        QCOMPARE(p->cmbUserRange[0]->currentText(), QString("-0.5V to 0.5V"));
        QCOMPARE(p->cmbUserRange[1]->currentIndex(), -1);
        QCOMPARE(p->cmbUserRange[0]->count(), 8);
        QCOMPARE(p->Label12->text(), QString("Selected Range"));
        QCOMPARE(units(*p), QStringList({"V/V", "/"}));
        QVERIFY(p->cmbUserRange[0]->parentWidget() == p->frmSet2 && p->Frame2->parentWidget() == p->frmSet2);
        QVERIFY(!p->cmdSet1->isEnabled() && p->cmdSet2->isEnabled());
        r.clearLines();
        Await(r.session().commandDownload());
        QCOMPARE(r.lines().mid(31, 2), QStringList({"I09", "D15"})); // written back as read
        // Any other switch range gives every channel its unit.
        r.unit().setValue("00", "09", "2");
        Await(r.session().commandUpload());
        QCOMPARE(units(*p), QStringList({"V/V", "V/V"}));
        NO_SURPRISES(r);
    }

    // One view: no view buttons, the hold frame beside the scaling.
    void wc2HasOneView() {
        AppRig r(StillUnit("K5A-WC2"));
        r.connectViaSetting();
        auto *p = page<frmWC2>(r, 4);
        QVERIFY(p->findChild<QPushButton *>("cmdSet1") == nullptr && p->frmSet2 == nullptr);
        QVERIFY(p->Frame2->parentWidget() == p->frmSet1 && p->Frame2->isVisibleTo(p));
        QVERIFY(p->findChild<QComboBox *>() == nullptr);
        NO_SURPRISES(r);
    }

    // On an HLS or FLEX NETWORK unit the current outputs have no output hold; the scaling is still read.
    void currentOutputsWithoutHold_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelnum");
        QTest::newRow("WC2 HLS") << "K5VS-WC2" << 4;
        QTest::newRow("WC4 FLEX NETWORK") << "K5PX-WC4" << 13;
    }
    void currentOutputsWithoutHold() {
        QFETCH(QString, model);
        QFETCH(int, modelnum);
        AppRig r(StillUnit(model));
        r.connectViaSetting();
        auto *p = page<ScalingPage>(r, modelnum);
        QVERIFY(!r.lines().contains("I14"));
        QVERIFY(!p->Frame2->isVisibleTo(p));
        QCOMPARE(initLines(r.lines(), 7), slotReads(1, false));
        r.clearLines();
        Await(r.session().commandDownload());
        QVERIFY(!r.lines().contains("I14"));
        QVERIFY(r.lines().contains("D20.000"));
        NO_SURPRISES(r);
    }

    void wc4SecondViewHoldsOnlyTheHoldFrame() {
        AppRig r(StillUnit("K5A-WC4"));
        r.connectViaSetting();
        auto *p = page<frmWC4>(r, 13);
        QVERIFY(!p->cmdSet1->isEnabled() && p->cmdSet2->isEnabled() && p->frmSet1->isVisibleTo(p));
        QVERIFY(p->Frame2->parentWidget() == p->frmSet2);
        QVERIFY(p->frmSet2->findChildren<QLineEdit *>().isEmpty());
        Click(p->cmdSet2);
        QVERIFY(p->frmSet2->isVisibleTo(p) && p->Frame2->isVisibleTo(p) && !p->frmSet1->isVisibleTo(p));
        NO_SURPRISES(r);
    }

    void wb4m() {
        AppRig r(StillUnit("K5A-WB4Y", "DI"));
        r.unit().setValue("1", "20", "-2000");
        r.unit().setValue("2", "09", "3");
        r.connectViaSetting();
        QCOMPARE(g.ActivePage, 19);
        auto *p = page<frmWB4M>(r, 19);
        QStringList init = {"G00", "I09"};
        for (int ch = 1; ch <= 4; ++ch) init += slotReads(ch, true);
        // The extension points are read once, when Init sets the display up.
        const int ext = int(r.lines().indexOf("I12"));
        QVERIFY(ext > 0 && ext < r.lines().indexOf("I20"));
        QStringList lines = r.lines();
        lines.remove(ext - 1, 2);
        QCOMPARE(initLines(lines, int(init.size()) + 8), init + live(4));
        QVERIFY(p->findChild<QPushButton *>("cmdSet1") == nullptr && p->frmSet2 == nullptr);
        QVERIFY(p->findChild<QGroupBox *>("Frame2") == nullptr);
        QCOMPARE(p->Label12->text(), QString("Range ( PC Configurator setting. SW1-3:ON  SW1-4:ON  SW1-5:ON  SW1-6:ON )"));
        QCOMPARE(p->cmbUserRange[1]->currentText(), QString("0V to 10V"));
        QCOMPARE(p->cmbUserRange[0]->itemText(2), QString("-----------"));
        QVERIFY(p->findChild<QLabel *>("lblZScale(0)") == nullptr && p->findChild<QLabel *>("lblFScale(0)") == nullptr);
        QCOMPARE(p->lblBias[0]->text(), QString("-320.00 to 320.00"));
        QCOMPARE(p->lblGain[3]->text(), QString("-3.2000 to 3.2000"));
        QCOMPARE(units(*p), QStringList({"V/V", "V/V", "V/V", "V/V"}));
        QVERIFY(!p->txtZScale[0]->isEnabled() && !p->txtFScale[0]->isEnabled() && p->txtBias[0]->isEnabled());

        // Monitoring reads the channels' values only: the extension display stays as Init left it.
        const QColor before = BackColor(p->txtChData[0]);
        r.unit().setValue("00", "12", "xFFFE");
        r.clearLines();
        Await(p->ReadingData());
        QCOMPARE(r.lines(), live(4));
        QCOMPARE(BackColor(p->txtChData[0]), before);

        // The scales cannot be edited nor are they checked, but go back as the Upload read them.
        p->txtZScale[1]->setText("not a number");
        p->txtBias[1]->setText("320.01");
        QVERIFY(!p->CheckData());
        p->txtBias[1]->setText("-320");
        p->txtZScale[1]->setText("0");
        QVERIFY(p->CheckData());
        r.clearLines();
        Await(r.session().commandDownload());
        QStringList download = {"G00", "I01", "DF"};
        for (int ch = 1; ch <= 4; ++ch) {
            QStringList w = slotWrites(ch, "-10.000", "10.000", ch == 2 ? "3" : "0");
            if (ch == 1) w[2] = "D-2000";
            if (ch == 2) w[6] = "D-320";
            download += w;
        }
        QCOMPARE(r.lines().mid(0, download.size()), download);
        QCOMPARE(r.lines().at(download.size()), QString("G00")); // the Upload follows; no item "14"
        QVERIFY(!r.lines().contains("I14"));
        NO_SURPRISES(r);
    }

    // The switch range is read and not used: the unit labels keep their design text; an
    // unanswered switch range ends Init without a word.
    void zwb2() {
        AppRig r(StillUnit("K5A-ZWBW2"));
        r.unit().setValue("00", "09", "9");
        r.connectViaSetting();
        auto *p = page<frmZWB2>(r, 15);
        QCOMPARE(p->objectName(), QString("frmZWB2"));
        QCOMPARE(units(*p), QStringList({"/", "/"}));
        QVERIFY(p->findChild<QGroupBox *>("Frame2") == nullptr && p->findChild<QComboBox *>() == nullptr);
        QVERIFY(p->findChild<QPushButton *>("cmdSet2") == nullptr);
        r.unit().addFault({sim::FaultKind::Silence, "00", "09", -1, 0});
        r.clearLines();
        Await(p->frmZWBW2_Init());
        QCOMPARE(r.lines().count("I09"), 4); // four attempts
        QVERIFY(!r.lines().contains("I20"));
        QVERIFY(!p->txtZScale[0]->isEnabled());
        NO_SURPRISES(r);
    }

    void checks_data() {
        QTest::addColumn<int>("modelnum");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("after");
        QTest::newRow("WB2 zero 12.5 to 12") << 3 << "txtZScale(1)" << "12.5" << true << "12";
        QTest::newRow("ZWB2 full 13.5 to 14") << 15 << "txtFScale(0)" << "13.5" << true << "14";
        QTest::newRow("WC4 full 32000.5 fails") << 13 << "txtFScale(3)" << "32000.5" << false << "";
        QTest::newRow("WC2 gain 3.2") << 4 << "txtGain(0)" << "3.2" << true << "3.2";
        QTest::newRow("ZWB2 bias letters") << 15 << "txtBias(1)" << "b" << false << "";
        QTest::newRow("WB4 base not checked") << 12 << "txtZBase(2)" << "x" << true << "x";
        QTest::newRow("WB4M gain 3.2001") << 19 << "txtGain(2)" << "3.2001" << false << "";
        QTest::newRow("WB4M full scale not checked") << 19 << "txtFScale(0)" << "99999.5" << true << "99999.5";
    }
    void checks() {
        QFETCH(int, modelnum);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, after);
        InitGlobals();
        g.modelnum = modelnum;
        g.ChCount = 4;
        std::unique_ptr<Page> p(FindPageKind(modelnum)->create(nullptr));
        for (QLineEdit *t : p->findChildren<QLineEdit *>(QRegularExpression("^txt(ZScale|FScale|Bias|Gain)\\(")))
            t->setText("1");
        p->findChild<QLineEdit *>(field)->setText(text);
        QCOMPARE(p->CheckData(), ok);
        if (ok) QCOMPARE(p->findChild<QLineEdit *>(field)->text(), after);
    }
};

QTEST_MAIN(AnalogOutputTest)
#include "tst_analogoutput.moc"
