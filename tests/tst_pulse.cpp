// The pulse counter pages through the real main window and the simulated unit: Upload, Download
// and monitoring lines, the range checks, and the preset buttons (idle and during a wait).
#include "pages/Colors.h"
#include "app/Dialogs.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "link/Numbers.h"
#include "link/TextRoutines.h"
#include "pages/frmK5NNX8.h"
#include "pages/frmNX16.h"
#include "pages/frmNX8.h"
#include "tests/TestKit.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

QStringList items(int first, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i) l << "I" + QString::number(first + i);
    return l;
}

QStringList texts(const QVector<QLineEdit *> &boxes) {
    QStringList l;
    for (const QLineEdit *b : boxes) l << b->text();
    return l;
}

PulsePage *pulsePage(AppRig &r) {
    auto *p = qobject_cast<PulsePage *>(r.page(g.ActivePage));
    return p && r.shownPage() == p ? p : nullptr;
}

std::unique_ptr<PulsePage> standalone(int modelnum, int channels) {
    InitGlobals();
    g.modelnum = modelnum;
    g.ChCount = channels;
    if (modelnum == 10) return std::make_unique<frmNX16>();
    if (modelnum == 14) return std::make_unique<frmNX8>();
    return std::make_unique<frmK5NNX8>();
}

} // namespace

class PulseTest : public QObject {
    Q_OBJECT
private slots:
    void nx16UploadDownloadAndMonitoring() {
        AppRig r(StillUnit("K5A-NX16"));
        r.unit().setValue("5", "13", "3");
        r.connectViaSetting();
        QCOMPARE(g.ActivePage, 10);
        PulsePage *p = pulsePage(r);
        QVERIFY(p && p->objectName() == "frmNX16");
        QStringList init = {"G00", "I14"};
        for (int c = 1; c <= 16; ++c) init += {"G" + QString::number(c), "I13", "G" + QString::number(c), "I14"};
        const QStringList pass = QStringList({"G00", "I01", "DF", "I20"}) + items(21, 16);
        QCOMPARE(UploadPageLines(r, init.size() + pass.size()), init + pass);
        QCOMPARE(p->lblV_Unit->text(), QString("NX16"));
        QCOMPARE(p->txtOver[4]->text(), QString("3"));
        QCOMPARE(p->txtFScale[15]->text(), QString("100000"));
        QCOMPARE(g.ChParam[4].Value1, QString("3"));
        QCOMPARE(g.ChParam[4].Item1, QString("13"));
        QCOMPARE(g.ChParam[15].Value2, QString("100000"));
        QCOMPARE(texts(p->txtNX).mid(0, 3), QStringList({"100", "200", "300"}));
        QCOMPARE(p->txtNX[15]->text(), QString("1600"));
        QCOMPARE(CellColours(p->txtCData), BitColours(0x8421, 16));
        // The first view is shown; the hold frame and the presets are on the second.
        QVERIFY(!p->cmdSet1->isEnabled() && p->cmdSet2->isEnabled() && p->frmSet1->isVisibleTo(p));
        QVERIFY(p->Frame2->parentWidget() == p->frmSet2 && p->cmdPreset[0]->parentWidget() == p->frmSet2);
        QCOMPARE(p->cmdPreset[15]->text(), QString("CH F"));
        QCOMPARE(p->findChild<QLabel *>("lblPreset(1)")->text(), QString("Preset Count"));
        Click(p->cmdSet2);
        QVERIFY(p->frmSet2->isVisibleTo(p) && !p->frmSet1->isVisibleTo(p) && !p->cmdSet2->isEnabled());

        // Two-digit groups on Download; values as typed (the check has rewritten them).
        p->txtFScale[0]->setText("0500");
        p->txtOver[0]->setText("20");
        QStringList written;
        for (int c = 1; c <= 16; ++c) {
            const QString gr = QStringLiteral("G%1").arg(c, 2, 10, QChar('0'));
            const QString carry = c == 1 ? "20" : c == 5 ? "3" : "0";
            written += {gr, "I13", "D" + carry, gr, "I14", c == 1 ? "D500" : "D100000"};
        }
        written += {"G00", "I14", "D1"};
        QCOMPARE(DownloadPageLines(r), written);
        QCOMPARE(r.unit().value("1", "14"), QString("500"));
        // The Upload after it shows the first view again.
        QVERIFY(p->frmSet1->isVisibleTo(p) && p->cmdSet2->isEnabled());

        r.unit().setValue("00", "20", "x0003");
        QCOMPARE(MonitorOnePass(r), pass);
        QCOMPARE(CellColours(p->txtCData), BitColours(0x0003, 16));
        NO_SURPRISES(r);
    }

    // Eight channels on the unit: Init and Download stop at eight, monitoring reads all sixteen
    // counts, and the boxes of the rows beyond stay editable.
    void nx16WithEightChannels() {
        sim::UnitConfig c = StillUnit("K5A-NX16");
        c.channels = 8;
        AppRig r(c);
        r.connectViaSetting();
        PulsePage *p = pulsePage(r);
        const QStringList l = UploadPageLines(r, 200);
        QVERIFY(l.contains("G8") && !l.contains("G9"));
        QVERIFY(l.contains("I36"));
        p->onStart();
        QVERIFY(!p->txtFScale[7]->isEnabled() && p->txtFScale[8]->isEnabled() && p->cmdPreset[8]->isEnabled());
        p->onStop();
        QVERIFY(!DownloadPageLines(r).contains("G09"));
        NO_SURPRISES(r);
    }

    void eightChannelPagesUploadAndDownload_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelnum");
        QTest::newRow("NX8") << "K5A-NX8" << 14;
        QTest::newRow("K5N-NX8") << "K5N-NX8" << 23;
    }
    void eightChannelPagesUploadAndDownload() {
        QFETCH(QString, model);
        QFETCH(int, modelnum);
        const bool k5n = modelnum == 23;
        AppRig r(StillUnit(model));
        r.connectViaSetting();
        QCOMPARE(g.ActivePage, modelnum); // "K5N-NX8" is known by its whole model text
        PulsePage *p = pulsePage(r);
        QVERIFY(p);
        QCOMPARE(p->objectName(), QString(k5n ? "frmK5NNX8" : "frmNX8"));
        QStringList init = {"G00", "I14"};
        QStringList written;
        for (int c = 1; c <= 8; ++c) {
            const QString gr = k5n ? "G0" + QString::number(c) : "G00";
            const QString carry = k5n ? "I13" : "I" + QString::number(30 + 2 * (c - 1));
            const QString max = k5n ? "I14" : "I" + QString::number(31 + 2 * (c - 1));
            init += {gr, carry, gr, max};
            written += {gr, carry, "D0", gr, max, "D100000"};
        }
        written += {"G00", "I14", "D1"};
        const QStringList pass = QStringList({"G00", "I01", "DF", k5n ? "I16" : "I20"}) + items(k5n ? 17 : 21, 8);
        QCOMPARE(UploadPageLines(r, init.size() + pass.size()), init + pass);
        QCOMPARE(texts(p->txtNX), QStringList({"100", "200", "300", "400", "500", "600", "700", "800"}));
        QCOMPARE(p->txtCData.size(), 8);
        QCOMPARE(CellColours(p->txtCData), BitColours(0x81, 8));
        QCOMPARE(p->lblExtIndex[1]->text(), QString("0  1  2  3                4  5  6  7"));
        QCOMPARE(p->cmdPreset.size(), 8);
        QVERIFY(p->cmdPreset[7]->parentWidget() == p->frmSet1 && p->Frame2->parentWidget() == p->frmSet2);
        QStringList heads;
        for (const char *name : {"lblPreset(0)", "lblNX(0)", "lblFScale(0)", "lblOver(0)"})
            heads << p->findChild<QLabel *>(name)->text();
        QCOMPARE(heads, QStringList({"Preset(0 - 4294967295)", "Count", "Max(1000-4294967295)", "Carry(0or1)"}));
        QCOMPARE(DownloadPageLines(r), written);

        // The second digit paints cells 0 to 3, the first 4 to 7.
        r.unit().setValue("00", k5n ? "16" : "20", "x1E");
        QCOMPARE(MonitorOnePass(r), pass);
        QCOMPARE(CellColours(p->txtCData), BitColours(0x1E, 8));
        NO_SURPRISES(r);
    }

    // The pauses of the "K5N-NX8" pass are its own: 50 ms after the points, 10 ms after each count.
    void k5nPassKeepsItsPauses() {
        AppRig r(StillUnit("K5N-NX8"));
        r.connectViaSetting();
        QElapsedTimer t;
        t.start();
        MonitorOnePass(r);
        QVERIFY(t.elapsed() >= 50 + 8 * 10);
        NO_SURPRISES(r);
    }

    void checks_data() {
        QTest::addColumn<int>("modelnum");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("carry");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("shown"); // max and carry afterwards
        QTest::newRow("NX16 carry above max") << 10 << "500" << "600" << false << "500/600";
        QTest::newRow("NX16 standard form") << 10 << "0010" << "1e1" << true << "10/10";
        QTest::newRow("NX16 max 1e9") << 10 << "1e9" << "0" << true << "1000000000/0";
        QTest::newRow("NX16 max above 1e9") << 10 << "1000000001" << "0" << false << "1000000001/0";
        QTest::newRow("NX16 negative carry") << 10 << "100" << "-1" << false << "100/-1";
        QTest::newRow("NX16 letters") << 10 << "1O0" << "0" << false << "1O0/0";
        QTest::newRow("NX8 max 20") << 14 << "20" << "0" << true << "20/0";
        QTest::newRow("NX8 max 9") << 14 << "9" << "0" << false << "9/0";
        QTest::newRow("NX8 max 4294967295") << 14 << "4294967295" << "0" << true << "4294967295/0";
        QTest::newRow("NX8 max 4294967296") << 14 << "4294967296" << "0" << false << "4294967296/0";
        QTest::newRow("NX8 carry 1.5") << 14 << "100" << "1.5" << true << "100/1.5";
        QTest::newRow("NX8 carry any number") << 14 << "100" << "-7.0" << true << "100/-7";
        QTest::newRow("K5N max 20") << 23 << "20" << "0" << false << "20/0";
        QTest::newRow("K5N max 1000") << 23 << "1000.0" << "0" << true << "1000/0";
        QTest::newRow("K5N carry 1.5") << 23 << "2000" << "1.5" << false << "2000/1.5";
        QTest::newRow("K5N carry 1") << 23 << "2000" << "1" << true << "2000/1";
        QTest::newRow("K5N carry 0.5") << 23 << "2000" << "0.5" << true << "2000/0.5";
    }
    void checks() {
        QFETCH(int, modelnum);
        QFETCH(QString, max);
        QFETCH(QString, carry);
        QFETCH(bool, ok);
        QFETCH(QString, shown);
        auto p = standalone(modelnum, 8);
        for (int k = 0; k < 8; ++k) {
            p->txtFScale[k]->setText("2000");
            p->txtOver[k]->setText("1");
        }
        p->txtFScale[2]->setText(max);
        p->txtOver[2]->setText(carry);
        p->txtFScale[0]->setText("02000"); // an earlier channel keeps its rewrite
        QCOMPARE(p->CheckData(), ok);
        QCOMPARE(p->txtFScale[2]->text() + "/" + p->txtOver[2]->text(), shown);
        // Letters fail before anything is rewritten.
        QCOMPARE(p->txtFScale[0]->text(), QString(IsNumeric(max) && IsNumeric(carry) ? "2000" : "02000"));
    }

    void presetCheck_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("shown");
        QTest::newRow("standard form") << "0010" << true << "10";
        QTest::newRow("exponent") << "1e3" << true << "1000";
        QTest::newRow("fraction") << "0.5" << true << "0.5";
        QTest::newRow("largest") << "4294967295" << true << "4294967295";
        QTest::newRow("too large") << "4294967296" << false << "4294967296";
        QTest::newRow("negative") << "-1" << false << "-1";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("letters") << "abc" << false << "abc";
    }
    void presetCheck() {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, shown);
        auto p = standalone(14, 8);
        p->txtPreset[5]->setText(typed);
        QCOMPARE(p->CheckData2(5), ok);
        QCOMPARE(p->txtPreset[5]->text(), shown);
    }

    // A preset loads the counter: the reply shows the new count, and so does the next pass.
    void presets_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("lines");
        // The 16-channel page sends the preset as typed; the others test it and rewrite it first.
        QTest::newRow("NX16 CH A") << "K5A-NX16" << 10 << QStringList{"G11", "I11", "D0500"};
        QTest::newRow("NX16 CH 2") << "K5A-NX16" << 2 << QStringList{"G03", "I11", "D0500"};
        QTest::newRow("NX8 CH 2") << "K5A-NX8" << 2 << QStringList{"G00", "I23", "D500"};
        QTest::newRow("K5N-NX8 CH 2") << "K5N-NX8" << 2 << QStringList{"G00", "I01", "DF", "G03", "I11", "D500"};
    }
    void presets() {
        QFETCH(QString, model);
        QFETCH(int, index);
        QFETCH(QStringList, lines);
        AppRig r(StillUnit(model));
        r.connectViaSetting();
        PulsePage *p = pulsePage(r);
        p->txtPreset[index]->setText("0500");
        r.clearLines();
        Click(p->cmdPreset[index]);
        QCOMPARE(r.lines(), lines);
        QCOMPARE(p->txtNX[index]->text(), QString("500"));
        p->txtNX[index]->clear();
        MonitorOnePass(r);
        QCOMPARE(p->txtNX[index]->text(), QString("500"));
        QCOMPARE(p->txtNX[index == 2 ? 3 : 2]->text(), QString::number(100 * (index == 2 ? 4 : 3)));
        NO_SURPRISES(r);
    }

    void presetsThatSendNothing() {
        {
            AppRig r(StillUnit("K5A-NX8"));
            r.connectViaSetting();
            PulsePage *p = pulsePage(r);
            p->txtPreset[1]->setText("4294967296");
            r.clearLines();
            r.ui.expect("Data Error \r\nCheck data range.", "Data Range Error", MsgIcon::Critical);
            Click(p->cmdPreset[1]);
            QVERIFY(r.lines().isEmpty());
            QCOMPARE(p->txtNX[1]->text(), QString("200"));
            NO_SURPRISES(r);
        }
        {
            // The 16-channel page tests nothing and skips an empty box; a text that is no count
            // leaves the counter as it was.
            AppRig r(StillUnit("K5A-NX16"));
            r.connectViaSetting();
            PulsePage *p = pulsePage(r);
            r.clearLines();
            Click(p->cmdPreset[0]);
            QVERIFY(r.lines().isEmpty());
            p->txtPreset[0]->setText("abc");
            Click(p->cmdPreset[0]);
            QCOMPARE(r.lines(), QStringList({"G01", "I11", "Dabc"}));
            QCOMPARE(p->txtNX[0]->text(), QString("100"));
            NO_SURPRISES(r);
        }
        {
            // "K5N-NX8": no answer to the "F" ends the preset silently.
            AppRig r(StillUnit("K5N-NX8"));
            r.connectViaSetting();
            PulsePage *p = pulsePage(r);
            p->txtPreset[0]->setText("5");
            r.unit().addFault({sim::FaultKind::Silence, "00", "01", -1, 0});
            r.clearLines();
            Click(p->cmdPreset[0]);
            QVERIFY(r.lines().count("I01") >= 4 && !r.lines().contains("I11"));
            QCOMPARE(p->txtNX[0]->text(), QString("100"));
            NO_SURPRISES(r);
        }
    }

    // The simulated counter counts on from a preset, also where the count item is the preset item.
    void simulatedCountersCountOnFromAPreset_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("preset");
        QTest::addColumn<QString>("count");
        QTest::newRow("NX8") << "K5A-NX8" << QStringList{"G00", "I23", "D5000"} << "I23";
        QTest::newRow("K5N-NX8") << "K5N-NX8" << QStringList{"G03", "I11", "D5000"} << "I19";
    }
    void simulatedCountersCountOnFromAPreset() {
        QFETCH(QStringList, preset);
        QFETCH(QString, count);
        QFETCH(QString, model);
        sim::UnitConfig c = StillUnit(model);
        c.animate = true;
        sim::SimUnit u(c);
        QString reply;
        for (const QString &line : preset) reply = QString::fromLatin1(u.handleLine(line).bytes).trimmed();
        const double loaded = AfterColon(reply.mid(1)).toDouble();
        QVERIFY2(loaded >= 5000 && loaded < 5100, qPrintable(reply));
        u.handleLine("G00");
        const double first = AfterColon(QString::fromLatin1(u.handleLine(count).bytes).trimmed().mid(1)).toDouble();
        const double second = AfterColon(QString::fromLatin1(u.handleLine(count).bytes).trimmed().mid(1)).toDouble();
        QVERIFY(first >= loaded && second > first);
    }

    // Preset and view buttons clicked while the unit is being waited for run once the wait has
    // unwound, exactly as if clicked then: after the pass, with their own lines whole.
    void buttonsClickedDuringAWaitRunAfterIt_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("pass");
        QTest::addColumn<QStringList>("preset");
        QTest::newRow("NX16") << "K5A-NX16" << QStringList({"G00", "I01", "DF", "I20"}) + items(21, 16)
                              << QStringList{"G03", "I11", "D7"};
        QTest::newRow("NX8") << "K5A-NX8" << QStringList({"G00", "I01", "DF", "I20"}) + items(21, 8)
                             << QStringList{"G00", "I23", "D7"};
        QTest::newRow("K5N-NX8") << "K5N-NX8" << QStringList({"G00", "I01", "DF", "I16"}) + items(17, 8)
                                 << QStringList{"G00", "I01", "DF", "G03", "I11", "D7"};
    }
    void buttonsClickedDuringAWaitRunAfterIt() {
        QFETCH(QString, model);
        QFETCH(QStringList, pass);
        QFETCH(QStringList, preset);
        AppRig r(StillUnit(model), 1000);
        r.connectViaSetting();
        PulsePage *p = pulsePage(r);
        p->txtPreset[2]->setText("7");
        // The points come slowly; Stop as the pass begins, then click while they are awaited.
        r.unit().addFault({sim::FaultKind::Delay, "", pass[3].mid(1), 1, 200});
        bool clickedInWait = false;
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(&r.link(), &Link::waitEnded, r.w, [&, once] {
            disconnect(*once);
            r.session().commandStop();
            QTimer::singleShot(5, r.w, [&] {
                // Inside the pass: waiting for the points (or, on a slow machine, a later wait of it).
                clickedInWait = r.lines().size() < pass.size();
                Click(p->cmdPreset[2]);
                Click(p->cmdSet2);
            });
        });
        r.clearLines();
        Await(r.session().commandStart());
        QVERIFY(clickedInWait);
        QTRY_COMPARE_WITH_TIMEOUT(r.lines().size(), pass.size() + preset.size(), 2000);
        Settle();
        QCOMPARE(r.lines(), pass + preset);
        QCOMPARE(p->txtNX[2]->text(), QString("7"));
        QVERIFY(p->frmSet2->isVisibleTo(p) && !p->cmdSet2->isEnabled());
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(PulseTest)
#include "tst_pulse.moc"
