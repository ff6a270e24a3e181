// The two-channel positioning page through the main window and the simulated unit.
#include "pages/Colors.h"
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "link/Link.h"
#include "pages/frmNX2.h"
#include "tests/TestKit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {
sim::UnitConfig nx2Unit(int channels = 2) {
    sim::UnitConfig c;
    c.model = "K5A-NX2";
    c.ext = "NONE";
    c.channels = channels;
    c.animate = false;
    return c;
}

QStringList inquiries(const QList<int> &items) {
    QStringList l;
    for (int i : items)
        l << QStringLiteral("I%1").arg(i, 2, 10, QChar('0'));
    return l;
}

const QList<int> Live[2] = {{20, 22, 24, 26, 28}, {21, 23, 25, 27, 29}};
const QList<int> SettingItems[2] = {
    {10, 14, 16, 18, 34, 35, 38, 39, 42, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 64, 66, 68, 70, 72, 74, 76},
    {11, 15, 17, 19, 36, 37, 40, 41, 43, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 65, 67, 69, 71, 73, 75, 77}};

const QStringList Identification = {"G00", "I01", "DF", "I02", "I06", "I10", "I03"};
const QStringList CcLink = {"G00", "I01", "G00", "I01", "D1", "G00", "I51"};

QStringList initLines(int channels) {
    QStringList l = {"G01", "I28"};
    for (int k = 0; k < channels; ++k)
        l += QStringList{"G00", "I01", "DF"} + inquiries(Live[k]) + QStringList{"G01", "I01", "DF"} +
             inquiries(SettingItems[k]);
    return l + inquiries({6, 7, 8, 29, 30});
}

QStringList readingLines() {
    return QStringList{"G00", "I01", "DF"} + inquiries(Live[0]) + inquiries(Live[1]);
}

QStringList uploadLines(int channels = 2) {
    return Identification + initLines(channels) + readingLines() + CcLink;
}

frmNX2 *page(AppRig &r) {
    return qobject_cast<frmNX2 *>(r.page(17));
}
QLineEdit *box(frmNX2 *p, const QString &name) {
    return p->findChild<QLineEdit *>(name);
}
QString text(frmNX2 *p, const QString &name) {
    return box(p, name)->text();
}

// "txtMax(0)=5" puts 5 into txtMax(0).
void edit(frmNX2 *p, const QStringList &edits) {
    for (const QString &e : edits) {
        const qsizetype eq = e.indexOf('=');
        QLineEdit *b = box(p, e.left(eq));
        QVERIFY2(b, qPrintable(e));
        b->setText(e.mid(eq + 1));
    }
}

// The set a control belongs to is shown or hidden by the display mode, whatever view is up.
bool shown(frmNX2 *p, const QString &name) {
    QWidget *w = p->findChild<QWidget *>(name);
    return w && !w->isHidden();
}

} // namespace

class Nx2Test : public QObject {
    Q_OBJECT
  private slots:
    void uploadFillsThePositionSet() {
        AppRig r(nx2Unit());
        r.unit().setValue("01", "19", "500000");
        r.unit().setValue("01", "63", "7");
        r.unit().setValue("01", "07", "2.5");
        r.unit().setValue("00", "26", "4711");
        r.connectViaSetting();
        QCOMPARE(r.lines(), QStringList({"G00", "I01"}) + uploadLines());
        frmNX2 *p = page(r);
        QCOMPARE(r.shownPage(), static_cast<QWidget *>(p));
        QCOMPARE(p->txtTM[6]->text(), QString("POSITION"));
        QCOMPARE(g.DispSpeed, 0);
        QCOMPARE(p->Command9->text(), QString("DISPLAY SPEED DATA"));
        QCOMPARE(text(p, "txtCP(0)"), QString("12345"));
        QCOMPARE(text(p, "txtCP(1)"), QString("250000"));
        QCOMPARE(text(p, "txtLS(0)"), QString("4711"));
        QCOMPARE(text(p, "txtMax(1)"), QString("500000"));
        QCOMPARE(text(p, "txtA2PH(1)"), QString("7"));
        QCOMPARE(text(p, "txtGain(0)"), QString("1.0000"));
        QCOMPARE(p->txtTM[1]->text(), QString("2.5"));
        QCOMPARE(p->txtTM[3]->text(), QString("50000"));
        QCOMPARE(p->txtTM[4]->text(), QString("0"));
        // The "Setting" view, its button the disabled one; editing on again.
        QVERIFY(p->frmSet1->isVisibleTo(p) && !p->frmSet3->isVisibleTo(p) && !p->frmSet4->isVisibleTo(p));
        QVERIFY(!p->cmdSet1->isEnabled() && p->cmdSet3->isEnabled() && p->cmdSet4->isEnabled());
        QVERIFY(box(p, "txtDO(1)")->isEnabled() && p->txtTM[2]->isEnabled());
        QVERIFY(box(p, "txtCP(0)")->isReadOnly() && p->txtTM[6]->isReadOnly() && p->txtTM[4]->isReadOnly());
        QCOMPARE(r.buttons(), QString("TFFTFTTT"));
        QCOMPARE(box(p, "txtA1SM(1)")->accessibleName(), QString("CH 1 Alarm A Speed Setpoint"));

        // The trend follows the current value of the set on display.
        QSignalSpy spy(p, &Page::liveValue);
        Await(p->ReadingData());
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), 1);
        QCOMPARE(spy.at(1).at(1).toDouble(), 250000.0);
        NO_SURPRISES(r);
    }

    // A unit reporting one channel: Init reads it alone, ReadingData and Download both.
    void oneChannelUnit() {
        AppRig r(nx2Unit(1));
        r.connectViaSetting();
        QCOMPARE(r.lines(), QStringList({"G00", "I01"}) + uploadLines(1));
        QVERIFY(text(page(r), "txtMax(1)").isEmpty());
        QCOMPARE(text(page(r), "txtCP(1)"), QString("250000"));
        NO_SURPRISES(r);
    }

    void downloadWritesBothChannelsInTheUnitsOrder() {
        AppRig r(nx2Unit());
        r.connectViaSetting();
        frmNX2 *p = page(r);
        edit(p, {"txtMax(0)=0002000000", "txtDO(1)=2.5", "txtEL(1)=1", "txtA2SM(0)=5.50"});
        p->txtTM[2]->setText("60.0");
        r.clearLines();
        Await(r.session().commandDownload());
        auto writes = [](const QList<std::pair<int, QString>> &items) {
            QStringList l;
            for (const auto &[item, data] : items)
                l << inquiries({item}) << "D" + data;
            return l;
        };
        // Every value a range test passed goes back in standard form ("1.00" as "1").
        const QString max[2] = {"2000000", "1000000"};
        const QString dropOut[2] = {"1", "2.5"};
        const QString el[2] = {"0", "1"};
        const QString a2sm[2] = {"5.5", "5"};
        QStringList download = {"G00", "I01", "DF", "G00", "I01", "DF", "G01", "I01", "DF"};
        for (int k = 0; k < 2; ++k) {
            const QList<int> &s = SettingItems[k];
            download += writes({{s[0], dropOut[k]}});
            for (int round = 0; round < 3; ++round)
                download += writes({{s[1], "0"}, {s[2], "0"}, {s[3], max[k]}});
            download +=
                writes({{s[4], "0"},    {s[5], "1"},      {s[6], "0"},  {s[7], "10000"},   {s[8], "0"},
                        {s[9], "3"},    {s[10], "100"},   {s[11], "1"}, {s[12], "900000"}, {s[13], "100"},
                        {s[14], "2"},   {s[15], a2sm[k]}, {s[16], "1"}, {s[17], "1000"},   {s[18], "100"},
                        {s[19], el[k]}, {s[20], "0"},     {s[21], "0"}, {s[22], "0"},      {s[23], "1"},
                        {s[24], "0"},   {s[25], "0"}});
        }
        download += writes({{6, "0.0"}, {7, "1.0"}, {8, "60.0"}});
        QCOMPARE(r.lines(), download + uploadLines());
        QCOMPARE(r.unit().value("01", "18"), QString("2000000"));
        QCOMPARE(r.unit().value("01", "65"), QString("1"));
        QCOMPARE(text(p, "txtMax(0)"), QString("2000000")); // read back
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(r);
    }

    void monitoringLocksTheViewsAndReadsBothChannels() {
        AppRig r(nx2Unit());
        r.connectViaSetting();
        frmNX2 *p = page(r);
        Click(p->cmdSet3); // monitoring brings the "Setting" view back
        r.unit().setValue("00", "25", "777");
        QString buttonsWhileMonitoring;
        bool viewsWhileMonitoring = false, lockedWhileMonitoring = false;
        QTimer::singleShot(30, [&] {
            buttonsWhileMonitoring = r.buttons();
            viewsWhileMonitoring = p->frmSet1->isVisibleTo(p) && !p->frmSet3->isVisibleTo(p) &&
                                   !p->cmdSet1->isEnabled() && !p->cmdSet3->isEnabled() &&
                                   !p->cmdSet4->isEnabled();
            lockedWhileMonitoring = !box(p, "txtDO(0)")->isEnabled() && !box(p, "txtCP(1)")->isEnabled() &&
                                    !p->txtTM[0]->isEnabled() && box(p, "txtMin(0)")->isEnabled();
            r.session().commandStop();
        });
        r.clearLines();
        Await(r.session().commandStart());
        QCOMPARE(buttonsWhileMonitoring, QString("FTFTFFFF"));
        QVERIFY(viewsWhileMonitoring);
        QVERIFY(lockedWhileMonitoring);
        // Whole passes, each exactly the page's lines.
        const QStringList lines = r.lines();
        const QStringList pass = readingLines();
        QVERIFY(lines.size() >= pass.size() && lines.size() % pass.size() == 0);
        for (qsizetype i = 0; i < lines.size(); i += pass.size())
            QCOMPARE(lines.mid(i, pass.size()), pass);
        QCOMPARE(text(p, "txtLP(1)"), QString("777"));
        // Stop: "Alarm" and "Latch/Reset" available again, the "Setting" view up.
        QVERIFY(p->frmSet1->isVisibleTo(p) && !p->cmdSet1->isEnabled() && p->cmdSet3->isEnabled() &&
                p->cmdSet4->isEnabled());
        QVERIFY(box(p, "txtDO(0)")->isEnabled() && box(p, "txtCP(1)")->isEnabled() &&
                p->txtTM[0]->isEnabled());
        NO_SURPRISES(r);
    }

    void unansweredLiveValueWhileMonitoring() {
        AppRig r(nx2Unit());
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Silence, "00", "25", -1, 0});
        r.ui.expect("Data Read Error.", "Error", MsgIcon::Critical);
        r.clearLines();
        Await(r.session().commandStart()); // the failure ends the loop
        QVERIFY(!g.Connected && !g.Monitoring);
        QVERIFY(!r.link().isOpen());
        QCOMPARE(r.lamp(), Colors::LampDisconnected);
        // Four attempts at the silent item, then nothing more.
        const QStringList l = r.lines();
        QCOMPARE(l.mid(0, 10), readingLines().mid(0, 10));
        QCOMPARE(l.mid(10), QStringList({"I25", "I25", "I25", "I25"}));
        NO_SURPRISES(r);
    }

    // The person's own Disconnect during monitoring is no read error, and the other views can be
    // edited again without a unit.
    void disconnectDuringMonitoringIsNoReadError() {
        AppRig r(nx2Unit());
        r.connectViaSetting();
        frmNX2 *p = page(r);
        r.unit().addFault({sim::FaultKind::Delay, "00", "25", 1, 100});
        std::function<void()> poll = [&] {
            if (!r.link().busy() || !r.lines().contains("I25")) return QTimer::singleShot(1, poll);
            Click(r.w->findChild<QPushButton *>("btnDisconnect"));
        };
        QTimer::singleShot(0, poll);
        r.clearLines();
        Click(r.w->findChild<QPushButton *>("btnStart"));
        QVERIFY(!g.Connected && !g.Monitoring);
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
        QVERIFY(p->frmSet1->isVisibleTo(p) && !p->cmdSet1->isEnabled() && p->cmdSet3->isEnabled() &&
                p->cmdSet4->isEnabled());
        QVERIFY(box(p, "txtDO(0)")->isEnabled() && p->txtTM[0]->isEnabled());
        NO_SURPRISES(r);
    }

    void failureCodes_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("kept"); // a box and the text it holds afterwards
        auto row = [](const char *name, const QStringList &edits, int code, const QString &kept = {},
                      int channels = 2) { QTest::newRow(name) << edits << channels << code << kept; };
        row("letter in a speed setpoint, nothing rewritten", {"txtMax(0)=0010000", "txtA2SM(1)=1x"}, 1,
            "txtMax(0)=0010000");
        row("empty drop out", {"txtDO(0)="}, 1);
        // A channel the unit lacks is emptied at Upload, and neither checked nor written.
        row("second channel not reported", {"txtMax(1)=x"}, 0, "txtMin(1)=", 1);
        row("drop out 0.09", {"txtDO(1)=0.09"}, 2);
        row("drop out 0.1 and 50", {"txtDO(0)=0.1", "txtDO(1)=50"}, 0, "txtDO(1)=50");
        row("max above", {"txtMax(1)=2100000001"}, 3);
        row("max below", {"txtMax(0)=-2100000000"}, 3);
        row("min below", {"txtMin(0)=-2100000001"}, 4);
        row("min above max", {"txtMin(1)=1000001"}, 5);
        row("min before full scale", {"txtMax(0)=-5", "txtFS(0)=99999"}, 5);
        row("reset value outside", {"txtReset(0)=1000001"}, 6);
        row("position setpoint outside", {"txtA2PM(1)=-1"}, 7);
        row("min = max = reset: no room for a hysteresis",
            {"txtMin(0)=100", "txtMax(0)=100", "txtReset(0)=100", "txtA1PM(0)=100", "txtA2PM(0)=100"}, 8);
        row("hysteresis equal to the span", {"txtA1PH(1)=1000000"}, 8);
        row("hysteresis one below the span", {"txtA1PH(1)=999999"}, 0, "txtA1PH(1)=999999");
        row("negative hysteresis", {"txtA2PH(0)=-1"}, 8);
        row("full scale", {"txtFS(1)=32000.5"}, 9);
        row("zero scale", {"txtZS(0)=-32001"}, 10);
        row("scales keep their decimals", {"txtZS(0)=12.5", "txtFS(1)=-32000"}, 0, "txtZS(0)=12.5");
        row("speed hysteresis -0.01", {"txtA1SH(1)=-0.01"}, 11);
        row("speed setpoint 115.01", {"txtA2SM(0)=115.01"}, 12);
        row("setpoints before hystereses", {"txtA1SH(0)=-1", "txtA1SM(1)=200"}, 12);
        row("speed setpoints -15 and 115", {"txtA1SM(0)=-15", "txtA2SM(1)=115"}, 0, "txtA2SM(1)=115");
        row("bias", {"txtBias(1)=320.01"}, 13);
        row("bias before gain", {"txtGain(0)=9", "txtBias(0)=-999"}, 13);
        row("gain", {"txtGain(0)=-3.2001"}, 14);
        row("standard form", {"txtMax(0)=0001e6"}, 0, "txtMax(0)=1000000");
    }
    void failureCodes() {
        QFETCH(QStringList, edits);
        QFETCH(int, channels);
        QFETCH(int, code);
        QFETCH(QString, kept);
        static const QStringList details = {"Non-numeric symbols have been used.",
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
                                            "Gain : -3.2000 to 3.2000"};
        AppRig r(nx2Unit(channels));
        r.connectViaSetting();
        frmNX2 *p = page(r);
        edit(p, edits);
        r.clearLines();
        if (code)
            r.ui.expect("Data Error \r\nCheck data range. \r\n" + details[code - 1], "Data Range Error",
                        MsgIcon::Critical);
        Await(r.session().commandDownload());
        QCOMPARE(g.ChkErrNo, code);
        if (code)
            QVERIFY(r.lines().isEmpty());
        else
            QVERIFY(r.lines().contains(channels < 2 ? "I76" : "I77") && r.lines().endsWith("I51"));
        if (channels < 2) QVERIFY(!r.lines().contains("I77") && !r.lines().contains("I19"));
        if (!kept.isEmpty()) QCOMPARE(text(p, kept.section('=', 0, 0)), kept.section('=', 1));
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        NO_SURPRISES(r);
    }

    void viewsAndDisplayModes() {
        AppRig r(nx2Unit());
        r.unit().setValue("01", "28", "SPE");
        r.connectViaSetting();
        frmNX2 *p = page(r);
        QCOMPARE(p->txtTM[6]->text(), QString("SPEED"));
        QCOMPARE(g.DispSpeed, 1);
        auto speedSetShown = [&](bool speed) {
            for (const char *s : {"txtCS(0)", "txtLS(1)", "txtDO(0)", "lblDOHint", "txtBias(1)", "txtGain(0)",
                                  "txtZS(1)", "txtFS(0)", "txtA1SM(0)", "txtA1SH(1)", "txtA2SM(1)",
                                  "txtA2SH(0)", "lblA2SH", "txtTM(3)", "lblTM(3)"})
                QVERIFY2(shown(p, s) == speed, s);
            for (const char *s : {"txtCP(1)",   "txtLP(0)",   "txtRP(1)",    "txtA1PM(0)", "txtA1PH(1)",
                                  "txtA2PM(0)", "txtA2PH(1)", "txtReset(0)", "txtMax(1)",  "lblMaxHint",
                                  "txtMin(0)",  "txtTM(4)",   "lblMode(0)",  "lblMode(1)", "lblMode(2)",
                                  "lblMode(3)", "lblMode(4)", "lblMode(5)",  "lblMode(6)", "lblMode(7)"})
                QVERIFY2(shown(p, s) != speed, s);
            // The controls of both sets never move.
            for (const char *s : {"txtTM(6)", "txtOP(1)", "txtA1Type(0)", "txtA2Type(1)", "lblAlarmA",
                                  "txtHRD(1)", "txtTM(0)"})
                QVERIFY2(shown(p, s), s);
            QCOMPARE(p->Command9->text(), QString(speed ? "DISPLAY POSITION DATA" : "DISPLAY SPEED DATA"));
        };
        speedSetShown(true);
        r.clearLines();
        Click(p->Command9);
        QCOMPARE(g.DispSpeed, 0);
        speedSetShown(false);
        Click(p->Command9);
        QCOMPARE(g.DispSpeed, True);
        speedSetShown(true);
        Click(p->Command9);
        speedSetShown(false);

        auto onlyView = [&](QGroupBox *view, QPushButton *button) {
            for (QGroupBox *v : {p->frmSet1, p->frmSet3, p->frmSet4})
                QCOMPARE(v->isVisibleTo(p), v == view);
            for (QPushButton *b : {p->cmdSet1, p->cmdSet3, p->cmdSet4})
                QCOMPARE(b->isEnabled(), b != button);
        };
        Click(p->cmdSet4);
        onlyView(p->frmSet4, p->cmdSet4);
        Click(p->cmdSet3);
        onlyView(p->frmSet3, p->cmdSet3);
        Click(p->Command9); // the set changes on the view on show too
        QVERIFY(p->findChild<QLineEdit *>("txtA1SM(0)")->isVisibleTo(p));
        Click(p->cmdSet1);
        onlyView(p->frmSet1, p->cmdSet1);
        QVERIFY(r.lines().isEmpty()); // only the display changes

        // Conversion data the page does not know: "ERROR", and the display stays as it was.
        QCOMPARE(g.DispSpeed, True);
        r.unit().setValue("01", "28", "XYZ");
        Await(r.session().commandUpload());
        QCOMPARE(p->txtTM[6]->text(), QString("ERROR"));
        QCOMPARE(g.DispSpeed, True);
        speedSetShown(true);
        NO_SURPRISES(r);
    }

    // Each button writes "1" to its item; the unit latches, resets and clears at once.
    void requestButtons() {
        AppRig r(nx2Unit());
        r.unit().setValue("01", "15", "500");
        r.connectViaSetting();
        frmNX2 *p = page(r);
        Click(p->cmdSet4);
        bool allLocked = false;
        auto request = [&](int n) {
            r.clearLines();
            QTimer::singleShot(100, [&] {
                allLocked = true;
                for (QPushButton *b : p->Commands)
                    allLocked = allLocked && !b->isEnabled();
            });
            QElapsedTimer t;
            t.start();
            Click(p->Commands[n - 1]);
            QVERIFY(t.elapsed() >= 500);
            QVERIFY(allLocked);
            for (QPushButton *b : p->Commands)
                QVERIFY(b->isEnabled());
            const QString item = QString::number(77 + n);
            QCOMPARE(r.lines(), QStringList({"G01", "I" + item, "D1"}));
            Await(p->ReadingData());
        };
        request(1); // latch CH 0
        QCOMPARE(text(p, "txtLP(0)"), QString("12345"));
        request(4); // reset CH 1
        QCOMPARE(text(p, "txtRP(1)"), QString("250000"));
        QCOMPARE(text(p, "txtCP(1)"), QString("500"));
        request(5); // latch data clear CH 0
        QCOMPARE(text(p, "txtLP(0)"), QString("0"));
        request(8); // reset data clear CH 1
        QCOMPARE(text(p, "txtRP(1)"), QString("0"));
        for (int n : {2, 3, 6, 7})
            request(n);
        const QStringList requests = r.unit().writes().filter(QRegularExpression("^1/[78]"));
        QCOMPARE(requests, QStringList({"1/78=1", "1/81=1", "1/82=1", "1/85=1", "1/79=1", "1/80=1", "1/83=1",
                                        "1/84=1"}));
        NO_SURPRISES(r);
    }

    // A request clicked while a live read waits runs once the pass is over, as if clicked then.
    void requestClickedDuringAWait() {
        AppRig r(nx2Unit(), 1000);
        r.connectViaSetting();
        frmNX2 *p = page(r);
        Click(p->cmdSet4);
        r.unit().addFault({sim::FaultKind::Delay, "00", "22", 1, 80});
        bool clickedInsideTheWait = false;
        QTimer::singleShot(20, [&] {
            clickedInsideTheWait = r.link().busy();
            Click(p->Commands[2]); // Reset CH 0
        });
        r.clearLines();
        Runner().run([p]() -> co::Task<> { co_await p->ReadingData(); });
        Settle();
        QVERIFY(clickedInsideTheWait);
        // The pass ran undisturbed, the request after it.
        QCOMPARE(r.lines(), readingLines() + QStringList({"G01", "I80", "D1"}));
        QTRY_VERIFY_WITH_TIMEOUT(p->Commands[0]->isEnabled(), 2000);
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(Nx2Test)
#include "tst_nx2.moc"
