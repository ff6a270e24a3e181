// The discrete I/O pages through the real main window and the simulated unit: what Upload,
// Download and a monitoring pass send, the cells and texts they paint, and each page's own rules.
#include "pages/Colors.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "pages/frmHM8.h"
#include "pages/frmKI16.h"
#include "pages/frmKO16.h"
#include "pages/frmKOR16.h"
#include "tests/TestKit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {

QString states(const QVector<QLineEdit *> &boxes) {
    QStringList l;
    for (int i = 1; i < boxes.size(); ++i) {
        const QColor c = ForeColor(boxes[i]);
        l << boxes[i]->text() + (c == Colors::TextGreen ? "g" : c == Colors::TextRed ? "r" : "?");
    }
    return l.join(' ');
}

template <class P> P *shown(AppRig &r, int modelnum) {
    auto *p = qobject_cast<P *>(r.page(modelnum));
    return p && r.shownPage() == p ? p : nullptr;
}

} // namespace

class DiscreteTest : public QObject {
    Q_OBJECT
private slots:
    void ki16UploadDownloadAndMonitoring() {
        AppRig r(StillUnit("K5A-KI16", "DI"));
        r.unit().setValue("00", "14", "ON");
        r.connectViaSetting();
        auto *p = shown<frmKI16>(r, 6);
        QVERIFY(p);
        QCOMPARE(UploadPageLines(r, 8), QStringList({"G00", "I12", "G00", "I14", "G00", "I21", "G00", "I12"}));
        QCOMPARE(p->lblV_Unit->text(), QString("KI16"));
        QCOMPARE(CellColours(p->txtCData), BitColours(0x5A3C));
        QCOMPARE(CellColours(p->txtChData), BitColours(0x00A5));
        QCOMPARE(p->lblExtIndex[1]->text(), QString("0  1  2  3                4  5  6  7               8  9  A  B              C  D  E  F"));
        QVERIFY(p->optKeepOn->isChecked() && !p->optKeepOff->isChecked() && p->optKeepOn->isEnabled());
        QCOMPARE(p->Frame2->title(), QString("Output Hold/Clear"));

        p->optKeepOff->setChecked(true);
        QCOMPARE(DownloadPageLines(r), QStringList({"G00", "I14", "D1"}));
        QVERIFY(p->optKeepOff->isChecked());
        QCOMPARE(r.unit().value("00", "14"), QString("OFF"));

        r.unit().setValue("00", "21", "x8001");
        r.unit().setValue("00", "12", "x0F00");
        QCOMPARE(MonitorOnePass(r), QStringList({"G00", "I21", "G00", "I12"}));
        QCOMPARE(CellColours(p->txtCData), BitColours(0x8001));
        QCOMPARE(CellColours(p->txtChData), BitColours(0x0F00));
        QVERIFY(p->optKeepOn->isEnabled()); // unlocked again by Stop
        NO_SURPRISES(r);
    }

    // The 8- and 4-point pages paint all four digits; the cells beyond their points are hidden.
    void smallInputPagesPaintHiddenCells_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelnum");
        QTest::addColumn<int>("shownCells");
        QTest::addColumn<QString>("caption");
        QTest::newRow("KI8R") << "K5A-KI8R" << 9 << 8 << "0  1  2  3                4  5  6  7    ";
        QTest::newRow("KI4H") << "K5B-KI4H" << 25 << 4 << "0  1  2  3  ";
    }
    void smallInputPagesPaintHiddenCells() {
        QFETCH(QString, model);
        QFETCH(int, modelnum);
        QFETCH(int, shownCells);
        QFETCH(QString, caption);
        AppRig r(StillUnit(model, "DI")); // an extension module the page never shows
        r.unit().setValue("00", "21", "xA5F0");
        r.connectViaSetting();
        auto *p = shown<DiscretePage>(r, modelnum);
        QVERIFY(p);
        QCOMPARE(p->objectName(), QString(modelnum == 9 ? "frmKI8R" : "frmKI4H"));
        QCOMPARE(UploadPageLines(r, 2), QStringList({"G00", "I21"}));
        QVERIFY(!r.lines().contains("I12"));
        QCOMPARE(p->lblV_Unit->text(), model.mid(4));
        QCOMPARE(CellColours(p->txtCData), BitColours(0xA5F0));
        for (int i = 0; i < 16; ++i) QCOMPARE(p->txtCData[i]->isVisibleTo(p), i < shownCells);
        QCOMPARE(p->lblExtIndex.size(), 1);
        QCOMPARE(p->lblExtIndex[0]->text(), caption);
        QVERIFY(p->findChild<QWidget *>("txtChData(0)") == nullptr);
        QVERIFY(p->findChild<QWidget *>("optKeepOn") == nullptr);
        QCOMPARE(DownloadPageLines(r), QStringList());
        QCOMPARE(MonitorOnePass(r), QStringList({"G00", "I21"}));
        NO_SURPRISES(r);
    }

    void ko16ReplyDelayOnlyOnKO16W() {
        AppRig r(StillUnit("K5G-KO16W"));
        r.unit().setValue("00", "58", "35");
        r.connectViaSetting();
        auto *p = shown<frmKO16>(r, 5);
        QVERIFY(p);
        QCOMPARE(UploadPageLines(r, 6), QStringList({"G00", "I14", "G00", "I58", "G00", "I21"}));
        QVERIFY(p->Frame3->isVisibleTo(p));
        QCOMPARE(p->Frame3->title(), QString("Reply Delay Timer"));
        QCOMPARE(p->Label1->text(), QString("msec ( 0 to 100 )"));
        QCOMPARE(p->Text1->text(), QString("35"));
        QCOMPARE(CellColours(p->txtCData), BitColours(0x0F81));
        p->Text1->setText("80");
        p->optKeepOn->setChecked(true);
        QCOMPARE(DownloadPageLines(r), QStringList({"G00", "I14", "D0", "G00", "I58", "D80"}));
        QCOMPARE(r.unit().value("00", "58"), QString("80"));
        p->onStart();
        QVERIFY(!p->Text1->isEnabled() && !p->optKeepOff->isEnabled());
        p->onStop();
        QVERIFY(p->Text1->isEnabled());
        NO_SURPRISES(r);
    }

    // Any other model: the frame stays hidden and item "58" is never asked for or written.
    void ko16WithoutReplyDelay() {
        AppRig other(StillUnit("K5G-KO16"));
        other.connectViaSetting();
        auto *q = shown<frmKO16>(other, 5);
        QVERIFY(!q->Frame3->isVisibleTo(q));
        QCOMPARE(UploadPageLines(other, 4), QStringList({"G00", "I14", "G00", "I21"}));
        q->Text1->setText("50");
        QCOMPARE(DownloadPageLines(other), QStringList({"G00", "I14", "D1"}));
        QVERIFY(!other.lines().contains("I58"));
        NO_SURPRISES(other);
    }

    // An unanswered output hold write ends the Download before the delay is written.
    void ko16DownloadEndsWithoutHoldReply() {
        AppRig r(StillUnit("K5G-KO16W"));
        r.connectViaSetting();
        r.clearLines();
        r.unit().addFault({sim::FaultKind::Silence, "00", "14", -1, 0});
        Await(shown<frmKO16>(r, 5)->frmKO16_Download());
        QVERIFY(r.lines().count("I14") >= 4);
        QVERIFY(!r.lines().contains("I58"));
        NO_SURPRISES(r);
    }

    void ko16DelayCheck_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("150") << "150" << "Please enter 0 to 100.";
        QTest::newRow("100") << "100" << "";
        QTest::newRow("0") << "0" << "";
        QTest::newRow("sign") << "-5" << "Please enter number.";
        QTest::newRow("letters") << "1a" << "Please enter number.";
    }
    void ko16DelayCheck() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        ScriptedUi ui;
        InitGlobals();
        frmKO16 p;
        if (!message.isEmpty()) ui.expect(message, AppTitle, MsgIcon::Information);
        p.Text1->setText(typed);
        QCOMPARE(p.Text1->text(), typed); // left as typed
        QVERIFY2(ui.problems().isEmpty(), qPrintable(ui.problems()));
    }

    // A value the check questions still goes to the unit as typed.
    void ko16DownloadSendsWhatWasTyped() {
        AppRig r(StillUnit("K5G-KO16W"));
        r.connectViaSetting();
        auto *p = shown<frmKO16>(r, 5);
        r.ui.expect("Please enter 0 to 100.", AppTitle, MsgIcon::Information);
        p->Text1->setText("150");
        QCOMPARE(DownloadPageLines(r).mid(3), QStringList({"G00", "I58", "D150"}));
        NO_SURPRISES(r);
    }

    void hm8StatesAndChannelCount() {
        sim::UnitConfig c = StillUnit("K5A-HM8", "DI");
        c.channels = 4;
        AppRig r(c);
        r.unit().setValue("00", "23", "10");
        r.connectViaSetting();
        auto *p = shown<frmHM8>(r, 16);
        QVERIFY(p);
        // Init reads the unit's four channels; the pass after it all eight.
        const QStringList init = {"G00", "I12", "G00", "I14", "I21", "I22", "I23", "I24"};
        const QStringList pass = {"G00", "I01", "DF", "G00", "I12", "I21", "I22", "I23", "I24",
                                  "I25", "I26", "I27", "I28"};
        QCOMPARE(UploadPageLines(r, init.size() + pass.size()), init + pass);
        QCOMPARE(p->Frame1->title(), QString("HM8"));
        QCOMPARE(p->lblChNo[1]->text(), QString("CH 0"));
        QCOMPARE(p->lblChNo[8]->text(), QString("CH 7"));
        QCOMPARE(p->lblDataTitle[0]->text(), QString("DI"));
        QCOMPARE(p->lblDataTitle[1]->text(), QString("DO"));
        // Channel 3 answered "10": its output is on (green) and its input off (red).
        QCOMPARE(p->txtDOCh[3]->text(), QString("ON"));
        QCOMPARE(ForeColor(p->txtDOCh[3]), Colors::TextGreen);
        QCOMPARE(p->txtDICh[3]->text(), QString("OFF"));
        QCOMPARE(ForeColor(p->txtDICh[3]), Colors::TextRed);
        // The unit's own states: input when i is a multiple of 3, output when even.
        QCOMPARE(states(p->txtDICh), QString("OFFr OFFr OFFr OFFr OFFr ONg OFFr OFFr"));
        QCOMPARE(states(p->txtDOCh), QString("OFFr ONg ONg ONg OFFr ONg OFFr ONg"));
        QVERIFY(p->optKeepOff->isChecked() && p->optKeepOn->isEnabled());

        p->optKeepOn->setChecked(true);
        QCOMPARE(DownloadPageLines(r), QStringList({"G00", "I14", "D0"}));

        r.unit().setValue("00", "28", "01");
        QCOMPARE(MonitorOnePass(r), pass);
        QCOMPARE(states(p->txtDICh).split(' ').last(), QString("ONg"));
        QCOMPARE(states(p->txtDOCh).split(' ').last(), QString("OFFr"));
        NO_SURPRISES(r);
    }

    void kor16ModesStatesAndDownload() {
        AppRig r(StillUnit("K5A-KOR16", "DO"));
        r.unit().setValue("00", "19", "7");
        r.connectViaSetting();
        auto *p = shown<frmKOR16>(r, 20);
        QVERIFY(p);
        const QStringList init = {"G00", "I12", "G00", "I14", "G00", "I16", "G00", "I17", "G00", "I18", "G00", "I19"};
        const QStringList pass = {"G00", "I01", "DF", "I21", "I22", "I23", "I24", "I25", "I26", "I27", "I28"};
        QCOMPARE(UploadPageLines(r, init.size() + pass.size()), init + pass);
        QCOMPARE(p->Frame1->title(), QString("Value"));
        QCOMPARE(p->lblChNo[1]->text(), QString("CH: 0"));
        QStringList captions, options;
        for (QGroupBox *f : p->fraOutMode) captions << f->title();
        QCOMPARE(captions, QStringList({"CH 0/1 Output Mode", "CH 2/3 Output Mode", "CH 4/5 Output Mode",
                                        "CH 6/7 Output Mode"}));
        for (QRadioButton *o : p->optOut) options << o->objectName() + "=" + o->text() + (o->isChecked() ? "*" : "");
        QCOMPARE(options, QStringList({"optOut1=Mainteined*", "optOut2=Momentary", "optOut3=Mainteined",
                                       "optOut4=Momentary*", "optOut5=Mainteined*", "optOut6=Momentary",
                                       "optOut7=Mainteined", "optOut8=Momentary*"}));
        // Here "ON" is red and "OFF" green.
        QCOMPARE(states(p->txtDICh), QString("OFFg OFFg ONr OFFg OFFg ONr OFFg OFFg"));
        QCOMPARE(states(p->txtDOCh), QString("OFFg ONr OFFg ONr OFFg ONr OFFg ONr"));

        p->optOut[1]->setChecked(true);
        p->optOut[2]->setChecked(true);
        p->optKeepOn->setChecked(true);
        QCOMPARE(DownloadPageLines(r), QStringList({"G00", "I14", "D0", "G00", "I16", "D1", "G00", "I17", "D0", "G00", "I18",
                                           "D0", "G00", "I19", "D1"}));
        QCOMPARE(r.unit().value("00", "16"), QString("1"));

        // A reply that does not split in two ends the pass there; the channel keeps its texts.
        r.unit().setValue("00", "21", "1;0");
        r.unit().setValue("00", "24", "1");
        QCOMPARE(MonitorOnePass(r), QStringList({"G00", "I01", "DF", "I21", "I22", "I23", "I24"}));
        QCOMPARE(states(p->txtDICh).split(' ').mid(0, 4), QStringList({"ONr", "OFFg", "ONr", "OFFg"}));
        QCOMPARE(states(p->txtDOCh).split(' ').first(), QString("OFFg"));
        QCOMPARE(states(p->txtDOCh).split(' ').at(3), QString("ONr"));
        NO_SURPRISES(r);
    }

    // A channel that does not answer while connected is a failure of its own, then a disconnect.
    void kor16UnansweredChannelDisconnects() {
        AppRig r(StillUnit("K5A-KOR16"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Silence, "00", "23", -1, 0});
        r.ui.expect("Uploading incomplete", "Uploading", MsgIcon::Critical);
        const QStringList l = MonitorOnePass(r);
        QVERIFY(l.count("I23") >= 4 && !l.contains("I24"));
        QVERIFY(!g.Connected && !r.link().isOpen());
        QCOMPARE(r.text("lblConStatus"), QString("Disconnected"));
        NO_SURPRISES(r);

        // Not connected any more: the pass just stops, without a word.
        r.clearLines();
        auto *p = shown<frmKOR16>(r, 20);
        Await(p->ReadingData());
        NO_SURPRISES(r);
    }

    // The first unanswered write ends the Download (Init's reads: the contract table).
    void kor16DownloadEndsAtFirstUnansweredMode() {
        AppRig r(StillUnit("K5A-KOR16"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Silence, "00", "18", -1, 0});
        r.clearLines();
        Await(shown<frmKOR16>(r, 20)->frmKOR16_Download());
        QVERIFY(r.lines().contains("I18") && !r.lines().contains("I19"));
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(DiscreteTest)
#include "tst_discrete.moc"
