// Network pages of the family (all but Ethernet) against the simulated unit.
#include "pages/Colors.h"
#include "core/Commands.h"
#include "core/Globals.h"
#include "netpages/NetPage.h"
#include "netpages/NetPages.h"
#include "core/Session.h"
#include "tests/TestKit.h"

#include <QtTest>
#include <memory>

namespace {
const QString G0 = "00";

QStringList reads(const QStringList &items) {
    QStringList l;
    for (const QString &i : items)
        l << "G00"
          << "I" + i;
    return l;
}
QStringList write(const QString &item, const QString &data) {
    return {"G00", "I" + item, "D" + data};
}
const QStringList presence = reads({"01"});

struct NetRig {
    ScriptedUi ui;
    SimRig rig;
    std::unique_ptr<NetPage> page;
    NetRig(int netTyp, const QString &model) : rig(StillUnit(model, "DI"), 0, 50), page(CreateNetPage(netTyp, nullptr)) {}
    template <class T = QWidget> T *c(const QString &name) const { return page->findChild<T *>(name); }
    QString text(const QString &name) const { return c<QLineEdit>(name)->text(); }
    void set(const QString &name, const QString &text) const { c<QLineEdit>(name)->setText(text); }
    QString list(const QString &name) const { return c<QComboBox>(name)->currentText(); }
    QString buttons() const {
        QString s;
        for (const QPushButton *b : {page->btnUpload, page->btnDownload, page->btnExit})
            s += b->isEnabled() ? 'T' : 'F';
        return s;
    }
    // Runs a download and returns the lines it sent before its read-back began.
    QStringList download() {
        rig.clearLines();
        Await(page->btnDownload_Click());
        // The read-back starts at the third "I01": after the presence read and the key write.
        QStringList l = rig.lines();
        qsizetype at = -1;
        for (int n = 0; n < 3; ++n)
            if ((at = l.indexOf("I01", at + 1)) < 0) return l;
        return l.mid(0, at - 1);
    }
};

bool isWhite(const QWidget *w) {
    return BackColor(w) == Colors::Window();
}
bool isGrey(const QWidget *w) {
    return BackColor(w) == Colors::ButtonFace();
}
bool editableWhite(const NetRig &p, const QStringList &names) {
    for (const QString &n : names)
        if (!p.c(n)->isEnabled() || !isWhite(p.c(n))) return false;
    return true;
}
} // namespace

class NetPagesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { InitGlobals(); }

    void registryNamesEveryKind() {
        const QStringList names = {"frmCCLINK",   "frmDeviceNet", "frmModbus",  "frmMechatro",
                                   "frmEthernet", "frmFLRemote",  "frmFlexnet", "frmFlexnet"};
        const QStringList titles = {
            "CC-Link Setting",  "DeviceNet Setting", "Modbus Setting", "MECHATROLINK Setting",
            "Ethernet Setting", "FL-Remote Setting", "Setting",        "Setting"};
        for (int t = 0; t < 8; ++t) {
            std::unique_ptr<NetPage> p(CreateNetPage(t, nullptr));
            QCOMPARE(NetPageName(t), names[t]);
            QCOMPARE(p->objectName(), names[t]);
            QCOMPARE(p->windowTitle(), titles[t]);
        }
        for (int t : {-1, 8, 99})
            QVERIFY(NetPageName(t).isEmpty() && !CreateNetPage(t, nullptr));
    }

    void modbusUploadAndDownload() {
        NetRig p(2, "K5G-QB4");
        QCOMPARE(p.c<QComboBox>("cmbMode")->currentIndex(), 2); // the empty item
        QCOMPARE(p.c<QComboBox>("cmbParity")->currentIndex(), 3);
        for (const char *n : {"cmbMode", "cmbParity", "txtTimeout", "txtDataBit", "txtStop"})
            QVERIFY2(p.c(n)->isEnabled() && isGrey(p.c(n)) && !p.c(n)->accessibleName().isEmpty(), n);
        QCOMPARE(p.buttons(), QString("TFT"));

        Await(p.page->btnUpload_Click());
        QCOMPARE(p.rig.lines(), presence + write("01", "1") + reads({"54", "55", "56", "57", "51"}));
        QCOMPARE(QStringList({p.list("cmbMode"), p.text("txtDataBit"), p.list("cmbParity"), p.text("txtStop"),
                              p.text("txtTimeout")}),
                 QStringList({"RTU", "8", "EVEN", "1", "30"}));
        QVERIFY(editableWhite(p, {"cmbMode", "cmbParity", "txtTimeout"}));
        QVERIFY(isGrey(p.c("txtDataBit")) && isGrey(p.c("txtStop")));
        QCOMPARE(p.buttons(), QString("TTT"));

        p.c<QComboBox>("cmbMode")->setCurrentIndex(1);
        p.c<QComboBox>("cmbParity")->setCurrentIndex(1);
        p.set("txtTimeout", "45");
        QCOMPARE(p.download(),
                 presence + write("01", "1") + write("54", "1") + write("56", "1") + write("51", "45"));
        QCOMPARE(p.rig.unit().value(G0, "56"), QString("ODD"));
        QCOMPARE(p.list("cmbMode"), QString("ASCII")); // read back
        QVERIFY(editableWhite(p, {"cmbMode", "cmbParity", "txtTimeout"}));
        QCOMPARE(p.ui.problems(), QString());
    }

    void listRepliesSelect_data() {
        QTest::addColumn<int>("netTyp");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("reply"); // empty: the unit answers "CNU", read as NEEDLESS
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("shown");
        QTest::newRow("parity other") << 2 << "56"
                                      << "MARK"
                                      << "cmbParity"
                                      << "NONE";
        QTest::newRow("parity ODD") << 2 << "56"
                                    << "ODD"
                                    << "cmbParity"
                                    << "ODD";
        QTest::newRow("mode other") << 2 << "54"
                                    << "rtu"
                                    << "cmbMode"
                                    << "ASCII";
        QTest::newRow("status OFF") << 1 << "68"
                                    << "OFF"
                                    << "cmbStatus"
                                    << "OFF";
        QTest::newRow("status NEEDLESS") << 1 << "68"
                                         << ""
                                         << "cmbStatus"
                                         << "ON";
    }
    void listRepliesSelect() {
        QFETCH(int, netTyp);
        QFETCH(QString, item);
        QFETCH(QString, reply);
        QFETCH(QString, list);
        QFETCH(QString, shown);
        NetRig p(netTyp, netTyp == 2 ? "K5G-QB4" : "K5B-QB4");
        if (reply.isEmpty())
            p.rig.unit().removeItem(G0, item);
        else
            p.rig.unit().setValue(G0, item, reply);
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.list(list), shown);
        QCOMPARE(p.ui.problems(), QString());
    }

    void emptyBoxWritesNothing_data() {
        QTest::addColumn<int>("netTyp");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("message");
        QTest::newRow("Modbus") << 2 << "K5G-QB4"
                                << "txtTimeout"
                                << "Please enter number in TimeOut Box.";
        QTest::newRow("FL-Remote") << 5 << "K5PW-QB4"
                                   << "Text2"
                                   << "Please enter number.";
    }
    void emptyBoxWritesNothing() {
        QFETCH(int, netTyp);
        QFETCH(QString, model);
        QFETCH(QString, box);
        QFETCH(QString, message);
        NetRig p(netTyp, model);
        Await(p.page->btnUpload_Click());
        p.set(box, "");
        p.ui.expect(message, AppTitle, MsgIcon::Information);
        QCOMPARE(p.download(), presence); // not even the key of "01"
        QCOMPARE(p.buttons(), QString("TTT"));
        QVERIFY(editableWhite(p, {box}));
        QCOMPARE(p.ui.problems(), QString());
    }

    void uploadFailureReportsAndCloses_data() {
        QTest::addColumn<int>("netTyp");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("buttons");
        QTest::newRow("CC-Link") << 0 << "K5A-QB4"
                                 << "51"
                                 << "TFT";
        QTest::newRow("DeviceNet") << 1 << "K5B-QB4"
                                   << "50"
                                   << "TFT";
        QTest::newRow("Modbus") << 2 << "K5G-QB4"
                                << "56"
                                << "TTT";
        QTest::newRow("Modbus presence") << 2 << "K5G-QB4"
                                         << "01"
                                         << "TTT";
        QTest::newRow("MECHATROLINK") << 3 << "K5GT-QB4"
                                      << "07"
                                      << "TFT";
        QTest::newRow("FL-Remote") << 5 << "K5PW-QB4"
                                   << "52"
                                   << "TFT";
        QTest::newRow("FLEX NETWORK") << 7 << "K5PX-QB4"
                                      << "52"
                                      << "TFT";
    }
    void uploadFailureReportsAndCloses() {
        QFETCH(int, netTyp);
        QFETCH(QString, model);
        QFETCH(QString, item);
        QFETCH(QString, buttons);
        g.SubTyp = 1;
        NetRig p(netTyp, model);
        g.Connected = true;
        p.rig.unit().addFault({sim::FaultKind::Silence, G0, item, -1, 0});
        p.ui.expect("Uploading incomplete", "Uploading", MsgIcon::Critical);
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.ui.problems(), QString());
        QCOMPARE(p.rig.lines().last(), "I" + item); // nothing after the unanswered item
        QVERIFY(!p.rig.link().isOpen() && !g.Connected);
        QCOMPARE(p.buttons(), buttons);
        for (QWidget *w : p.page->findChildren<QLineEdit *>())
            QVERIFY(isGrey(w));                                                        // nothing confirmed
        if (netTyp == 2 && item == "56") QCOMPARE(p.text("txtDataBit"), QString("8")); // read before it stays
    }

    void downloadWithoutUnitLocksValues() {
        NetRig p(0, "K5A-QB4");
        Await(p.page->btnUpload_Click());
        p.rig.unit().addFault({sim::FaultKind::Silence, G0, "01", -1, 0});
        p.ui.expect("Downloading incomplete", "Downloading", MsgIcon::Critical);
        QVERIFY(p.download().filter(QRegularExpression("^D")).isEmpty());
        QCOMPARE(p.ui.problems(), QString());
        QVERIFY(!p.rig.link().isOpen());
        QVERIFY(!p.page->txtTimeout->isEnabled() && isWhite(p.page->txtTimeout));
        QCOMPARE(p.buttons(), QString("TTT"));
    }

    void timeoutChangeChecksRange() {
        NetRig p(0, "K5A-QB4");
        p.ui.expect("Please enter number.", AppTitle, MsgIcon::Information);
        p.set("txtTimeout", "40000");
        p.ui.expect("Please enter number.", AppTitle, MsgIcon::Information);
        p.set("txtTimeout", "-5");
        // Blanks carry a sign past the first three characters: only the range test sees it.
        p.ui.expect("Please enter 0 to 32767.", AppTitle, MsgIcon::Information);
        p.set("txtTimeout", "   -5");
        QCOMPARE(p.text("txtTimeout"), QString("   -5"));
        p.set("txtTimeout", "32767");
        QCOMPARE(p.ui.messages.size(), 3);
        QCOMPARE(p.ui.problems(), QString());
    }

    void deviceNetFrameAndWrites() {
        g.modelnum = 9;
        QVERIFY(NetRig(1, "K5B-KI8R").c("Frame1")->isHidden());
        g.modelnum = 0;
        NetRig p(1, "K5B-QB4");
        QVERIFY(!p.c("Frame1")->isHidden());
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.rig.lines(), presence + write("01", "1") + reads({"68", "50", "51"}));
        QCOMPARE(p.text("txtSerial"), QString("00012345"));
        p.set("txtSerial", "777");
        QCOMPARE(p.download(),
                 presence + write("01", "1") + write("68", "1") + write("50", "777") + write("51", "30"));
    }

    void mechatrolinkModeIsCaseSensitive_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("II/32") << "M-II/32Byte"
                               << "MECHATROLINK - II"
                               << "32 Byte Mode";
        QTest::newRow("II/17") << "M-II/17byte"
                               << "MECHATROLINK - II"
                               << "17 Byte Mode";
        QTest::newRow("I/17") << "M-I/17byte"
                              << "MECHATROLINK - I"
                              << "17 Byte Mode";
        QTest::newRow("case") << "M-II/32byte"
                              << "MODE SWITCH ERROR"
                              << "MODE SWITCH ERROR";
    }
    void mechatrolinkModeIsCaseSensitive() {
        QFETCH(QString, reply);
        QFETCH(QString, mode);
        QFETCH(QString, bytes);
        NetRig p(3, "K5GT-QB4");
        p.rig.unit().setValue(G0, "08", reply);
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.rig.lines(), reads({"01", "08", "07", "51"})); // no key written on upload
        QCOMPARE(p.c<QLabel>("lblMode")->text(), mode);
        QCOMPARE(p.c<QLabel>("lblByte")->text(), bytes);
        QCOMPARE(p.c<QLabel>("lblAddress")->text(), QString("Address : 0x61"));
        QCOMPARE(p.download(), presence + write("01", "1") + write("51", "30"));
    }

    void flRemoteKeysDiffer() {
        NetRig p(5, "K5PW-QB4");
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.rig.lines(), presence + write("01", "1") + reads({"51", "52"}));
        p.set("Text1", "x"); // no change check on this page
        p.set("Text1", "70");
        QCOMPARE(p.download(), presence + write("01", "F") + write("51", "70") + write("52", "2"));
        QCOMPARE(p.rig.unit().writes().last(), QString("0/01=1")); // the read-back's key
        QCOMPARE(p.ui.problems(), QString());
    }

    void flexnetFollowsSubTyp_data() {
        QTest::addColumn<int>("subTyp");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("labels"); // Label3 to Label5
        QTest::newRow("1") << 1 << "Conversion rate" << QStringList{"0:80 msec", "1:40 msec", "2:20 msec"};
        QTest::newRow("3") << 3 << "Conversion rate" << QStringList{"0:250 msec", "1:500 msec", ""};
        QTest::newRow("4") << 4 << "Averaging" << QStringList{"0:No Averaging", "1:2 sample", "2:4 sample"};
        QTest::newRow("other") << 9 << "Averaging" << QStringList{"", "", ""};
    }
    void flexnetFollowsSubTyp() {
        QFETCH(int, subTyp);
        QFETCH(QString, caption);
        QFETCH(QStringList, labels);
        g.SubTyp = subTyp;
        NetRig p(7, "K5PX-QB4");
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.rig.lines(), presence + write("01", "1") + reads({"51", "52"}));
        QVERIFY(!p.c("Frame1")->isHidden());
        QCOMPARE(p.c<QGroupBox>("Frame1")->title(), caption);
        QCOMPARE(QStringList({p.c<QLabel>("Label3")->text(), p.c<QLabel>("Label4")->text(),
                              p.c<QLabel>("Label5")->text()}),
                 labels);
        QCOMPARE(p.c<QLabel>("Label8")->text(), QString());
        QCOMPARE(p.text("txtAve"), QString("1"));
    }

    void flexnetWritesOnlyAcceptedValues() {
        g.SubTyp = 0;
        NetRig hls(6, "K5VS-QB4");
        Await(hls.page->btnUpload_Click());
        QCOMPARE(hls.rig.lines(), presence + write("01", "1") + reads({"51"}));
        QVERIFY(hls.c("Frame1")->isHidden());
        QCOMPARE(hls.text("txtAve"), QString("0"));
        QCOMPARE(hls.download(), presence + write("01", "1") + write("51", "10"));

        g.SubTyp = 2;
        NetRig p(7, "K5PX-QB4");
        Await(p.page->btnUpload_Click());
        p.set("txtAve", "3");
        p.set("txtTimeout", "25");
        QCOMPARE(p.download(), presence + write("01", "1") + write("51", "25"));
        p.set("txtAve", "0");
        QCOMPARE(p.download(), presence + write("01", "1") + write("51", "25") + write("52", "0"));
    }

    void flexnetShowsZeroTimeoutForSomeModules() {
        g.SubTyp = 1;
        g.modelnum = 17;
        NetRig p(7, "K5PX-NX2");
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.text("txtTimeout"), QString("0"));
        QVERIFY(p.rig.lines().contains("I51")); // still read
        g.modelnum = 0;
        Await(p.page->btnUpload_Click());
        QCOMPARE(p.text("txtTimeout"), QString("10"));
    }

    void exitHidesThenRunsConnect() {
        NetRig p(0, "K5A-QB4");
        p.page->show();
        QList<bool> visibleAtConnect;
        p.ui.recordOnly(); // the Connect finds no unit on the session's own port
        Session session;
        connect(&session, &Session::buttonsChanged, [&] {
            if (visibleAtConnect.isEmpty()) visibleAtConnect << p.page->isVisible();
        });
        Await(p.page->btnExit_Click());
        QCOMPARE(visibleAtConnect, QList<bool>{false});
    }
};

QTEST_MAIN(NetPagesTest)
#include "tst_netpages.moc"
