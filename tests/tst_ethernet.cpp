// The Ethernet page against the simulated unit.
#include "pages/Colors.h"
#include "core/Globals.h"
#include "netpages/NetPages.h"
#include "netpages/frmEthernet.h"
#include "tests/TestKit.h"

#include <QtTest>
#include <memory>

namespace {
const QString G0 = "00";

sim::UnitConfig ethernetUnit(const QString &version = "1.02") {
    sim::UnitConfig c;
    c.model = "K5N-QB4";
    c.version = version;
    c.animate = false;
    return c;
}

QStringList inquire(const QStringList &items) {
    QStringList l;
    for (const QString &i : items)
        l << "I" + i;
    return l;
}
QStringList numbered(int first, int n) {
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QString::number(first + i);
    return l;
}
QStringList key() {
    return {"G00", "I01", "DF"};
}
QStringList uploadLines(bool gateway) {
    return key() + inquire(gateway ? QStringList{"06", "25"} : QStringList{"06"}) +
           QStringList{"G00", "I51", "G00", "I29"} +
           inquire(QStringList{"30", "27", "28"} + numbered(31, 4) + numbered(41, 4));
}

struct Rig {
    ScriptedUi ui;
    SimRig rig;
    std::unique_ptr<frmEthernet> page;
    explicit Rig(const QString &version = "1.02")
        : rig(ethernetUnit(version), 0, 50), page(static_cast<frmEthernet *>(CreateNetPage(4, nullptr))) {}
};

bool isWhite(const QWidget *w) {
    return BackColor(w) == Colors::Window();
}
bool isGrey(const QWidget *w) {
    return BackColor(w) == Colors::ButtonFace();
}

// Every box EnableControls governs, and the three buttons.
QList<QWidget *> governed(const frmEthernet &p) {
    QList<QWidget *> w{p.btnUpload, p.btnDownload, p.btnExit};
    for (auto *b : p.txtTimeout)
        w << b;
    for (auto *a : {&p.txtIP, &p.txtSNM, &p.txtDGW})
        for (auto *b : *a)
            w << b;
    return w;
}
} // namespace

class EthernetTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        InitGlobals();
        g.NetTyp = 4;
    }

    void uploadSplitsAddressesFromTheLastOctet() {
        Rig r;
        for (QWidget *w : governed(*r.page))
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName())); // as loaded
        QVERIFY(isGrey(r.page->txtIP[0]) && isGrey(r.page->txtTimeout[2]));
        Await(r.page->btnUpload_Click());
        QCOMPARE(r.rig.lines(), uploadLines(true));
        auto texts = [&](const QStringList &names) {
            QStringList t;
            for (const QString &n : names)
                t << r.page->findChild<QWidget *>(n)->property("text").toString();
            return t;
        };
        QCOMPARE(texts({"txtIP(3)", "txtIP(2)", "txtIP(1)", "txtIP(0)"}),
                 QStringList({"192", "168", "0", "10"}));
        QCOMPARE(texts({"txtSNM(3)", "txtSNM(0)", "txtDGW(0)", "lblMac(0)", "lblMac(1)", "txtTimeout(0)",
                        "txtPort(4)", "txtTimeout(3)"}),
                 QStringList({"255", "0", "1", "00-80-4C", "12-A5-F0", "30", "504",
                              "50"})); // "LT:3:50": after the second colon
        QCOMPARE(LabelsNamedOverTheirText(r.page.get()), QStringList());
        QVERIFY(!r.page->Label1->isHidden() && !r.page->txtDGW[2]->isHidden());
        for (QWidget *w : governed(*r.page))
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(isWhite(r.page->txtIP[1]) && isWhite(r.page->txtTimeout[4]));
        for (int i = 1; i <= 4; ++i)
            QVERIFY(!r.page->txtPort[i]->isEnabled() && isGrey(r.page->txtPort[i]));
        QCOMPARE(r.ui.problems(), QString());
    }

    void downloadWritesTheUnitItsOwnTexts() {
        Rig r;
        Await(r.page->btnUpload_Click());
        r.page->txtIP[0]->setText("11");
        r.page->txtTimeout[2]->setText("7");
        r.rig.clearLines(); // the download ends with a full read-back
        Await(r.page->btnDownload_Click());
        QStringList expected =
            key() + QStringList{"I51", "D30", "I29",         "D192.168.0.11", "I30", "D255.255.255.0",
                                "I06", "I25", "D192.168.0.1"};
        for (int i = 1; i <= 4; ++i)
            expected << QString("I3%1").arg(i) << QString("D50%1").arg(i);
        for (int i = 1; i <= 4; ++i)
            expected << QString("I4%1").arg(i) << (i == 2 ? "D7" : "D50");
        QCOMPARE(r.rig.lines(), expected + uploadLines(true));
        QCOMPARE(r.rig.unit().value(G0, "29"), QString("192.168.0.11"));
        QCOMPARE(r.page->txtTimeout[2]->text(), QString("7"));
        QCOMPARE(r.ui.problems(), QString());
    }

    void gatewayFollowsTheVersionSeries_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("shown");
        QTest::newRow("1.02") << "1.02" << true;
        QTest::newRow("blank before") << " 1.03" << true;
        QTest::newRow("1.1") << "1.10" << false;
        QTest::newRow("2.00") << "2.00" << false;
    }
    void gatewayFollowsTheVersionSeries() {
        QFETCH(QString, version);
        QFETCH(bool, shown);
        Rig r(version);
        Await(r.page->btnUpload_Click());
        QCOMPARE(r.rig.lines(), uploadLines(shown));
        QCOMPARE(r.page->Label1->isHidden(), !shown);
        QCOMPARE(r.page->txtDGW[0]->isHidden(), !shown);
        r.page->txtDGW[0]->setText(""); // hidden gateway boxes are not checked
        r.rig.clearLines();
        Await(r.page->btnDownload_Click());
        QCOMPARE(r.rig.lines().contains("I25"), shown);
        QCOMPARE(r.ui.problems(), QString());
    }

    void emptyBoxesStopTheDownloadInOrder_data() {
        QTest::addColumn<QStringList>("cleared");
        QTest::addColumn<QString>("message");
        QTest::newRow("ip") << QStringList{"txtTimeout(0)", "txtSNM(1)", "txtIP(2)"}
                            << "Please enter number in IP Address.";
        QTest::newRow("mask") << QStringList{"txtTimeout(0)", "txtSNM(3)"}
                              << "Please enter number in Subnet Mask.";
        QTest::newRow("port") << QStringList{"txtTimeout(0)", "txtPort(4)"}
                              << "Please enter number in TCP Port No.";
        QTest::newRow("timeout") << QStringList{"txtTimeout(0)", "txtTimeout(1)"}
                                 << "Please enter number in TimeOut Box.";
    }
    void emptyBoxesStopTheDownloadInOrder() {
        QFETCH(QStringList, cleared);
        QFETCH(QString, message);
        Rig r;
        Await(r.page->btnUpload_Click());
        for (const QString &n : cleared)
            r.page->findChild<QLineEdit *>(n)->clear();
        r.rig.clearLines();
        r.ui.expect(message, AppTitle, MsgIcon::Information);
        Await(r.page->btnDownload_Click());
        QCOMPARE(r.rig.lines(), key());
        QCOMPARE(r.rig.unit().writes(),
                 QStringList({"0/01=F", "0/01=F"})); // the upload's and the download's key
        for (QWidget *w : governed(*r.page))
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(isWhite(r.page->txtIP[2]));
        QCOMPARE(r.ui.problems(), QString());
    }

    void failuresCloseTheLinkAndEnableThePage() {
        {
            Rig r;
            g.Connected = true;
            r.rig.unit().addFault({sim::FaultKind::Silence, G0, "30", -1, 0});
            r.ui.expect("Uploading incomplete", "Uploading", MsgIcon::Critical);
            Await(r.page->btnUpload_Click());
            QCOMPARE(r.ui.problems(), QString());
            QVERIFY(!r.rig.link().isOpen() && !g.Connected);
            QCOMPARE(r.rig.lines().last(), QString("I30"));
            QCOMPARE(r.page->txtIP[3]->text(), QString("192")); // read before the failure
            for (QWidget *w : governed(*r.page))
                QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        }
        Rig r;
        Await(r.page->btnUpload_Click());
        r.rig.unit().addFault({sim::FaultKind::Silence, G0, "06", -1, 0});
        r.ui.expect("Downloading incomplete", "Downloading", MsgIcon::Critical);
        Await(r.page->btnDownload_Click());
        QCOMPARE(r.ui.problems(), QString());
        QVERIFY(!r.rig.link().isOpen());
        // What went before the inquiry stays written; nothing after it is sent.
        QCOMPARE(r.rig.unit().writes(),
                 QStringList({"0/01=F", "0/01=F", "0/51=30", "0/29=192.168.0.10", "0/30=255.255.255.0"}));
        for (QWidget *w : governed(*r.page))
            QVERIFY(w->isEnabled());
    }

    void addressBoxKeepsThreeCharactersAndTheCaret() {
        Rig r;
        Await(r.page->btnUpload_Click());
        QLineEdit *box = r.page->txtIP[2];
        box->setText("123");
        box->setCursorPosition(1);
        QTest::keyClick(box, Qt::Key_9);
        QCOMPARE(box->text(), QString("192"));
        QCOMPARE(box->cursorPosition(), 2);

        box->setText("25");
        box->setCursorPosition(2);
        r.ui.expect("Please enter 0 to 255.", AppTitle, MsgIcon::Information);
        QTest::keyClick(box, Qt::Key_6);
        QCOMPARE(box->text(), QString("256")); // the text stays
        // A fourth digit on a rejected value is cut and reported once, not twice.
        r.ui.expect("Please enter 0 to 255.", AppTitle, MsgIcon::Information);
        QTest::keyClick(box, Qt::Key_1);
        QCOMPARE(box->text(), QString("256"));
        QCOMPARE(r.ui.messages.size(), 2);
        QCOMPARE(r.ui.problems(), QString());
    }
};

QTEST_MAIN(EthernetTest)
#include "tst_ethernet.moc"
