// The thermocouple, RTD and TH_502AT input pages through the main window and the simulated unit.
#include "pages/Colors.h"
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "pages/frmQH4.h"
#include "pages/frmQK4.h"
#include "pages/frmQW4.h"
#include "tests/TestKit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {
const QColor Red(255, 0, 0);


template <class P> P *page(AppRig &r, int modelnum) { return qobject_cast<P *>(r.page(modelnum)); }

// The lines of the page's Init within an Upload: after the identification's channel count.
QStringList initLines(const QStringList &lines, int n) { return lines.mid(lines.indexOf("I03") + 1, n); }

// Init's lines of one channel: the slots, then unit, type index and type text, selected or inquired.
QStringList channelReads(int ch, bool select) {
    const QString g = "G" + QString::number(ch);
    QStringList l = {g, "I20", "I21", "I22", "I23", "I24", "I25"};
    for (const QString item : {"I04", "I09", "I03"}) {
        if (select) l << g;
        l << item;
    }
    return l;
}

QStringList liveLines() { return {"G00", "I21", "G00", "I22", "G00", "I23", "G00", "I24", "G00", "I04"}; }

template <class T> QStringList texts(const QVector<T *> &cells) {
    QStringList l;
    for (const T *c : cells) {
        if constexpr (std::is_same_v<T, QComboBox>) l << c->currentText();
        else l << c->text();
    }
    return l;
}

QStringList colours(const TemperaturePage &p) {
    QStringList l;
    for (const QLineEdit *t : p.Text1) l << (BackColor(t) == Red ? "red" : BackColor(t) == Colors::ToolTip() ? "-" : "?");
    return l;
}

// Records the view buttons while Init waits on the burnout direction, and clicks "Setting 2".
struct DuringInit {
    bool seen = false, set1 = true, set2 = false;
    QTimer poll;
    DuringInit(AppRig &r, ScalingPage *p) {
        r.unit().addFault({sim::FaultKind::Delay, "01", "05", 1, 60});
        poll.setInterval(2);
        QObject::connect(&poll, &QTimer::timeout, [this, &r, p] {
            if (seen || r.lines().isEmpty() || r.lines().last() != "I05") return;
            seen = true;
            set1 = p->cmdSet1->isEnabled();
            set2 = p->cmdSet2->isEnabled();
            Click(p->cmdSet2);
        });
        poll.start();
    }
};

} // namespace

class TemperatureTest : public QObject {
    Q_OBJECT
private slots:
    void qk4Upload() {
        AppRig r(StillUnit("K5A-QK4"));
        r.unit().setValue("2", "04", "F");
        r.unit().setValue("4", "04", "K");
        r.unit().setValue("1", "24", "-100");
        r.connectViaSetting();
        QCOMPARE(g.ActivePage, 1);
        auto *p = page<frmQK4>(r, 1);
        QStringList expected = {"G00", "I09", "G00", "I14", "G01", "I05"};
        for (int ch = 1; ch <= 4; ++ch) expected += channelReads(ch, true);
        const int n = int(expected.size());
        QCOMPARE(initLines(r.lines(), n), expected);
        QCOMPARE(initLines(r.lines(), n + 10).mid(n), liveLines());

        QCOMPARE(p->lblV_Unit->text(), QString("QK4"));
        QCOMPARE(p->txtUserBout[0]->text(), QString("UPSCALE"));
        QCOMPARE(texts(p->Text1), QStringList({"UPSCALE", "UPSCALE", "UPSCALE", "UPSCALE"}));
        QCOMPARE(texts(p->lblTcType), QStringList({"K(CA)", "E(CRC)", "J(IC)", "T(CC)"}));
        QCOMPARE(texts(p->cmbUserRange), QStringList({"K(CA)", "E(CRC)", "J(IC)", "T(CC)"}));
        QCOMPARE(texts(p->cmbUserUnit), QStringList({"C", "F", "C", "K"}));
        QCOMPARE(texts(p->lblZBase_Unit), QStringList({"deg C", "deg F", "deg C", "K"}));
        QCOMPARE(texts(p->lblFBase_Unit), texts(p->lblZBase_Unit));
        QCOMPARE(texts(p->lblZTemp), QStringList({"-272 to 1472", "-458 to 2048", "-260 to 1300", "1 to 773"}));
        QCOMPARE(texts(p->lblFTemp), texts(p->lblZTemp));
        QCOMPARE(p->txtZBase[0]->text(), QString("-100"));
        QCOMPARE(p->cmbUserRange[0]->count(), 13);
        QCOMPARE(p->cmbUserRange[0]->itemText(7), QString("C(WRe 5-26)"));
        QCOMPARE(texts(QVector<QLabel *>{p->lblZBase01, p->lblFBase01, p->Label6, p->Label12, p->Label5}),
                 QStringList({"Zero temp", "Full temp", "Tc type", "TC Type", "Temp Unit"}));
        QCOMPARE(p->Frame3->title(), QString("Burnout Direction"));
        QVERIFY(p->Frame3->parentWidget() == p->frmSet2 && p->Frame2->parentWidget() == p->frmSet2);
        QVERIFY(p->Text1[3]->parentWidget() == p->Frame1 && p->Text1[3]->isReadOnly());
        // Temperatures are edited; the burnout direction never is.
        QVERIFY(p->txtZBase[3]->isEnabled() && p->txtFBase[3]->isEnabled() && p->cmbUserUnit[3]->isEnabled());
        QVERIFY(!p->txtUserBout[0]->isEnabled());
        QVERIFY(!p->cmdSet1->isEnabled() && p->cmdSet2->isEnabled() && p->frmSet1->isVisibleTo(p));
        QCOMPARE(colours(*p), QStringList({"-", "-", "-", "-"}));
        NO_SURPRISES(r);
    }

    void qk4Download() {
        AppRig r(StillUnit("K5A-QK4"));
        r.connectViaSetting();
        auto *p = page<frmQK4>(r, 1);
        p->txtZScale[0]->setText("12.5");
        p->txtZBase[1]->setText("-50000"); // far outside the sensor's range: no range test
        p->txtFBase[1]->setText("1200.5");
        p->cmbUserUnit[2]->setCurrentIndex(2);
        p->cmbUserRange[3]->setCurrentIndex(12);
        p->optKeepOn->setChecked(true);
        r.clearLines();
        Await(r.session().commandDownload());
        QStringList expected = {"G00", "I01", "DF"};
        const QStringList zero = {"12", "0", "0", "0"}, ztemp = {"0", "-50000", "0", "0"}, ftemp = {"1000", "1200.5", "1000", "1000"};
        const QStringList types = {"0", "1", "2", "12"}, units = {"0", "0", "2", "0"};
        for (int k = 0; k < 4; ++k)
            expected += {"G" + QString::number(k + 1), "I20", "D" + zero[k], "I21", "D10000", "I22", "D0.00", "I23", "D1.0000",
                         "I24", "D" + ztemp[k], "I25", "D" + ftemp[k], "I09", "D" + types[k], "I04", "D" + units[k]};
        expected += {"G00", "I14", "D0"};
        QCOMPARE(r.lines().mid(0, expected.size()), expected);
        // The Upload that follows shows what the unit now keeps.
        QCOMPARE(p->lblZBase_Unit[2]->text(), QString("K"));
        QCOMPARE(p->lblTcType[3]->text(), QString("PR"));
        QCOMPARE(p->lblZTemp[3]->text(), QString("-52 to 1860"));
        QCOMPARE(p->lblZTemp[2]->text(), QString("13 to 1573"));
        QVERIFY(p->optKeepOn->isChecked());
        NO_SURPRISES(r);
    }

    // Other than 15, the switch range is every channel's type for the hints, whatever its own entry.
    void hintsFollowTheSwitchRange() {
        AppRig r(StillUnit("K5A-QK4"));
        r.unit().setValue("00", "09", "4");
        r.unit().setValue("2", "04", "F");
        r.connectViaSetting();
        auto *p = page<frmQK4>(r, 1);
        QCOMPARE(texts(p->lblZTemp), QStringList({"24 to 1920", "75 to 3488", "24 to 1920", "24 to 1920"}));
        QCOMPARE(p->cmbUserRange[1]->currentText(), QString("E(CRC)"));
        // A switch range beyond the table's types shows no hint rather than someone else's.
        r.unit().setValue("00", "09", "F");
        r.unit().setValue("3", "09", "16");
        Await(r.session().commandUpload());
        QCOMPARE(p->lblZTemp[2]->text(), QString("0 to 0")); // the table's own zeros for 16
        r.unit().setValue("3", "09", "1F");
        Await(r.session().commandUpload());
        QCOMPARE(p->lblZTemp[2]->text(), QString("-272 to 1472")); // an unreadable index is 0
        NO_SURPRISES(r);
    }

    // A unit answer other than C, F or K keeps the previous channel's unit (deg C for the first).
    void unitFallsBackToThePreviousChannel() {
        AppRig r(StillUnit("K5A-QK4"));
        r.unit().setValue("1", "04", "X");
        r.unit().setValue("2", "04", "K");
        r.unit().setValue("3", "04", "?");
        r.unit().setValue("4", "04", "");
        r.connectViaSetting();
        auto *p = page<frmQK4>(r, 1);
        QCOMPARE(texts(p->lblZBase_Unit), QStringList({"deg C", "K", "K", "K"}));
        QCOMPARE(texts(p->cmbUserUnit), QStringList({"C", "K", "K", "K"}));
        QCOMPARE(p->lblZTemp[2]->text(), QString("13 to 1573"));
        NO_SURPRISES(r);
    }

    void burnoutTurnsItsChannelRedWhileMonitoring() {
        AppRig r(StillUnit("K5A-QK4"));
        r.connectViaSetting();
        auto *p = page<frmQK4>(r, 1);
        sim::SetBurnout(r.unit(), 0, true);
        sim::SetBurnout(r.unit(), 2, true);
        // Watch the passes: the colours after the first whole one, then two passes after the switch.
        QStringList during, after;
        int switchedAt = -1;
        QTimer watch;
        watch.setInterval(2);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const int passes = int(r.lines().count("I04"));
            if (switchedAt < 0 && passes >= 2) {
                during = colours(*p);
                sim::SetBurnout(r.unit(), 0, false);
                switchedAt = passes;
            } else if (switchedAt >= 0 && passes >= switchedAt + 2 && after.isEmpty()) {
                after = colours(*p);
                r.session().commandStop();
            }
        });
        watch.start();
        r.clearLines();
        Await(r.session().commandStart());
        QCOMPARE(during, QStringList({"red", "-", "red", "-"}));
        QCOMPARE(after, QStringList({"-", "-", "red", "-"}));
        QCOMPARE(r.lines().mid(r.lines().size() - 10), liveLines());
        NO_SURPRISES(r);
    }

    void burnoutDigit_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("painted");
        const QStringList before = {"red", "-", "-", "red"};
        QTest::newRow("5") << "000005" << QStringList({"red", "-", "red", "-"});
        QTest::newRow("A") << "00000A12" << QStringList({"-", "red", "-", "red"});
        QTest::newRow("0 clears") << "000000" << QStringList({"-", "-", "-", "-"});
        QTest::newRow("short") << "00009" << before;
        QTest::newRow("lower case") << "00000a" << before;
        QTest::newRow("not hex") << "00000G" << before;
    }
    void burnoutDigit() {
        QFETCH(QString, status);
        QFETCH(QStringList, painted);
        AppRig r(StillUnit("K5A-QK4"));
        r.unit().setValue("00", "04", "000009");
        r.connectViaSetting();
        auto *p = page<frmQK4>(r, 1);
        QCOMPARE(colours(*p), QStringList({"red", "-", "-", "red"}));
        r.unit().setValue("00", "04", status);
        Await(p->ReadingData());
        QCOMPARE(colours(*p), painted);
        // No answer, or a refusal, changes nothing.
        r.unit().addFault({sim::FaultKind::Silence, "00", "04", 4, 0});
        Await(p->ReadingData());
        QCOMPARE(colours(*p), painted);
        for (const sim::FaultKind refusal : {sim::FaultKind::Cnu, sim::FaultKind::Cng}) {
            r.unit().addFault({refusal, "00", "04", -1, 0});
            Await(p->ReadingData());
            QCOMPARE(colours(*p), painted);
            r.unit().clearFaults();
        }
        NO_SURPRISES(r);
    }

    void checkData_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("zero temp far out") << "txtZBase" << "-99999" << true;
        QTest::newRow("full temp letters") << "txtFBase" << "hot" << false;
        QTest::newRow("zero temp empty") << "txtZBase" << "" << false;
        QTest::newRow("gain 3.2001") << "txtGain" << "3.2001" << false;
        QTest::newRow("bias 320") << "txtBias" << "320" << true;
        QTest::newRow("zero scale 32000.6") << "txtZScale" << "32000.6" << false;
    }
    void checkData() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        InitGlobals();
        g.modelnum = 2;
        g.ChCount = 4;
        frmQW4 p;
        for (const auto *cells : {&p.txtZScale, &p.txtFScale, &p.txtBias, &p.txtGain, &p.txtZBase, &p.txtFBase})
            for (QLineEdit *c : *cells) c->setText("1");
        p.findChild<QLineEdit *>(field + "(3)")->setText(text);
        QCOMPARE(p.CheckData(), ok);
        if (ok) QCOMPARE(p.txtZBase[3]->text(), field == "txtZBase" ? text : QString("1")); // temperatures as typed
    }

    // The RTD page inquires the channel reads and keeps its second view open while Init runs;
    // a click on it then runs once the wait is over.
    void qw4Upload() {
        AppRig r(StillUnit("K5A-QW4"));
        r.unit().setValue("4", "09", "8");
        r.unit().setValue("3", "04", "F");
        r.connectViaSetting();
        auto *p = page<frmQW4>(r, 2);
        DuringInit during(r, p);
        r.clearLines();
        Await(r.session().commandUpload());
        QStringList expected = {"G00", "I09", "G00", "I14", "G01", "I05"};
        for (int ch = 1; ch <= 4; ++ch) expected += channelReads(ch, false);
        QCOMPARE(initLines(r.lines(), int(expected.size()) + 10), expected + liveLines());
        QVERIFY(during.seen);
        QVERIFY(!during.set1 && during.set2);
        // The click ran between two reads: the second view is shown, its button the disabled one.
        QTRY_VERIFY(p->frmSet2->isVisibleTo(p) && !p->frmSet1->isVisibleTo(p));
        QVERIFY(p->cmdSet1->isEnabled() && !p->cmdSet2->isEnabled());
        QCOMPARE(texts(p->lblRtdType), QStringList({"Pt100(JIS'97)", "Pt100(JIS'89)", "JPt100(JIS'89)", "Cu50"}));
        QCOMPARE(texts(p->lblZTemp), QStringList({"-240 to 900", "-240 to 900", "-393 to 1040", "-100 to 200"}));
        QCOMPARE(texts(QVector<QLabel *>{p->Label6, p->Label12}), QStringList({"Rtd type", "RTD Type"}));
        QCOMPARE(p->cmbUserRange[0]->count(), 9);
        QCOMPARE(p->cmbUserRange[0]->itemText(6), QString("-------------"));
        QVERIFY(p->findChild<QLabel *>("lblTcType(0)") == nullptr);
        NO_SURPRISES(r);
    }

    void qk4LocksItsViewButtonsDuringInit() {
        AppRig r(StillUnit("K5A-QK4"));
        r.connectViaSetting();
        auto *p = page<frmQK4>(r, 1);
        DuringInit during(r, p);
        Await(r.session().commandUpload());
        QVERIFY(during.seen);
        QVERIFY(!during.set1 && !during.set2);
        QVERIFY(p->frmSet1->isVisibleTo(p)); // the click on a disabled button did nothing
        NO_SURPRISES(r);
    }

    void qw4Download() {
        AppRig r(StillUnit("K5A-QW4"));
        r.connectViaSetting();
        auto *p = page<frmQW4>(r, 2);
        p->cmbUserUnit[0]->setCurrentIndex(1);
        r.clearLines();
        Await(r.session().commandDownload());
        QStringList expected = {"G00", "I01", "DF"};
        for (int k = 0; k < 4; ++k)
            expected += {"G" + QString::number(k + 1), "I20", "D0", "I21", "D10000", "I22", "D0.00", "I23", "D1.0000",
                         "I24", "D0", "I25", "D400", "I09", "D" + QString::number(k), "I04", k == 0 ? "D1" : "D0"};
        expected += {"G00", "I14", "D1"};
        QCOMPARE(r.lines().mid(0, expected.size()), expected);
        QCOMPARE(p->lblZTemp[0]->text(), QString("-400 to 1652"));
        NO_SURPRISES(r);
    }

    void qh4UploadAndDownloadOrder() {
        AppRig r(StillUnit("K5A-QH4"));
        r.unit().setValue("2", "04", "F");
        r.connectViaSetting();
        auto *p = page<frmQH4>(r, 11);
        QStringList expected = {"G00", "I09", "G00", "I14", "G01", "I05"};
        for (int ch = 1; ch <= 4; ++ch) expected += channelReads(ch, false);
        QCOMPARE(initLines(r.lines(), int(expected.size())), expected);
        QCOMPARE(texts(p->lblRtdType), QStringList({"TH_502AT", "TH_502AT", "TH_502AT", "TH_502AT"}));
        QCOMPARE(texts(p->lblZTemp), QStringList({"-50 to 110", "-58 to 230", "-50 to 110", "-50 to 110"}));
        QCOMPARE(p->cmbUserRange[0]->count(), 1);
        QVERIFY(!p->cmdSet1->isEnabled() && p->cmdSet2->isEnabled());

        p->txtFBase[3]->setText("105");
        r.clearLines();
        Await(r.session().commandDownload());
        expected = {"G00", "I01", "DF"};
        // Type and unit first, with the group selected, then the six slots as data.
        for (int k = 0; k < 4; ++k)
            expected += {"G" + QString::number(k + 1), "I09", "D0", "I04", k == 1 ? "D1" : "D0", "I20", "D0", "I21", "D10000",
                         "I22", "D0.00", "I23", "D1.0000", "I24", "D0", "I25", k == 3 ? "D105" : "D100"};
        expected += {"G00", "I14", "D1"};
        QCOMPARE(r.lines().mid(0, expected.size()), expected);
        NO_SURPRISES(r);
    }

    // Lists never read (a page filled from a file without selections) are skipped, never sent
    // as -1, and the channel's writes still go to its own group.
    void qh4WithoutTypeOrUnitStillSelectsTheChannel() {
        SimRig rig(StillUnit("K5A-QH4"));
        InitGlobals();
        g.modelnum = 11;
        g.NetTyp = 0;
        g.ChCount = 4;
        frmQH4 p;
        Await(p.frmQH4_Download());
        const QStringList lines = rig.lines();
        QVERIFY(!lines.contains("D-1"));
        QCOMPARE(lines.mid(0, 3), QStringList({"G1", "I20", "D"}));
        QCOMPARE(lines.count("I09"), 0);
        for (int ch = 2; ch <= 4; ++ch) QVERIFY(lines.contains("G" + QString::number(ch)));
    }

    // An HLS unit reads its switch range from "08" and has no output hold.
    void hlsUnit() {
        AppRig r(StillUnit("K5VS-QK4"));
        r.connectViaSetting();
        auto *p = page<frmQK4>(r, 1);
        QCOMPARE(initLines(r.lines(), 4), QStringList({"G00", "I08", "G01", "I05"}));
        QVERIFY(!p->Frame2->isVisibleTo(p));
        r.clearLines();
        Await(r.session().commandDownload());
        QVERIFY(!r.lines().contains("I14"));
        NO_SURPRISES(r);
    }

    void unansweredBurnoutDirectionIsUploadError() {
        AppRig r(StillUnit("K5A-QK4"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Silence, "01", "05", -1, 0});
        r.ui.expect("Upload Error", "Upload", MsgIcon::Critical);
        Await(r.session().commandUpload());
        QVERIFY(!g.Connected);
        QCOMPARE(r.buttons(), QString("TFTFTFFF"));
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(TemperatureTest)
#include "tst_temperature.moc"
