// Network pages of the family (all but Ethernet) against the simulated unit.
#include "app/Colors.h"
#include "app/Commands.h"
#include "app/Globals.h"
#include "netpages/NetPages.h"
#include "netpages/frmDeviceNet.h"
#include "netpages/frmFLRemote.h"
#include "netpages/frmFlexnet.h"
#include "netpages/frmMechatro.h"
#include "netpages/frmModbus.h"
#include "tests/TestKit.h"

#include <QtTest>
#include <memory>

namespace {
const QString G0 = "00";

sim::UnitConfig unitFor(const QString &model) {
    sim::UnitConfig c;
    c.model = model;
    c.animate = false;
    return c;
}

// Lines of ReadItemRetry for each item, in order.
QStringList reads(const QStringList &items) {
    QStringList l;
    for (const QString &i : items) l << "G00" << "I" + i;
    return l;
}
QStringList write(const QString &item, const QString &data) { return {"G00", "I" + item, "D" + data}; }

struct Page {
    ScriptedUi ui;
    SimRig rig;
    std::unique_ptr<NetPage> page;
    Page(int netTyp, const QString &model) : rig(unitFor(model), 0, 50), page(CreateNetPage(netTyp, nullptr)) {
        g.NetTyp = netTyp;
    }
    template <class T = QWidget> T *c(const QString &name) const { return page->findChild<T *>(name); }
    QLineEdit *text(const QString &name) const { return c<QLineEdit>(name); }
    void upload() {
        page->btnUpload_Click();
    }
};

bool isWhite(const QWidget *w) { return BackColor(w) == Colors::Window(); }
bool isGrey(const QWidget *w) { return BackColor(w) == Colors::ButtonFace(); }

QString buttons(const NetPage *p) {
    QString s;
    for (const QPushButton *b : {p->btnUpload, p->btnDownload, p->btnExit}) s += b->isEnabled() ? 'T' : 'F';
    return s;
}
} // namespace

class NetPagesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { InitGlobals(); }

    void registryNamesEveryKindAndNoneForOthers() {
        const QStringList names = {"frmCCLINK",   "frmDeviceNet", "frmModbus",  "frmMechatro",
                                   "frmEthernet", "frmFLRemote",  "frmFlexnet", "frmFlexnet"};
        const QStringList titles = {"CC-Link Setting",  "DeviceNet Setting", "Modbus Setting",
                                    "MECHATROLINK Setting", "Ethernet Setting", "FL-Remote Setting",
                                    "Setting", "Setting"};
        for (int t = 0; t < 8; ++t) {
            QCOMPARE(NetPageName(t), names[t]);
            std::unique_ptr<NetPage> p(CreateNetPage(t, nullptr));
            QVERIFY(p);
            QCOMPARE(p->objectName(), names[t]);
            QCOMPARE(p->windowTitle(), titles[t]);
        }
        for (int t : {-1, 8, 99}) {
            QVERIFY(NetPageName(t).isEmpty());
            QVERIFY(!CreateNetPage(t, nullptr));
        }
    }

    void modbusLoadsGreyWithEmptySelections() {
        Page p(2, "K5G-QB4");
        auto *mode = p.c<QComboBox>("cmbMode");
        auto *parity = p.c<QComboBox>("cmbParity");
        QCOMPARE(mode->count(), 3);
        QCOMPARE(mode->currentIndex(), 2);
        QCOMPARE(parity->count(), 4);
        QCOMPARE(parity->currentIndex(), 3);
        for (const char *n : {"cmbMode", "cmbParity", "txtTimeout", "txtDataBit", "txtStop"}) {
            QVERIFY2(p.c(n)->isEnabled() && isGrey(p.c(n)), n);
            QVERIFY2(!p.c(n)->accessibleName().isEmpty(), n);
        }
        QCOMPARE(buttons(p.page.get()), QString("TFT"));
    }

    void modbusUploadReadsEveryItemAndTurnsWhite() {
        Page p(2, "K5G-QB4");
        p.upload();
        QCOMPARE(p.rig.lines(), reads({"01"}) + write("01", "1") + reads({"54", "55", "56", "57", "51"}));
        QCOMPARE(p.c<QComboBox>("cmbMode")->currentText(), QString("RTU"));
        QCOMPARE(p.text("txtDataBit")->text(), QString("8"));
        QCOMPARE(p.c<QComboBox>("cmbParity")->currentText(), QString("EVEN"));
        QCOMPARE(p.text("txtStop")->text(), QString("1"));
        QCOMPARE(p.text("txtTimeout")->text(), QString("30"));
        for (const char *n : {"cmbMode", "cmbParity", "txtTimeout"}) QVERIFY2(p.c(n)->isEnabled() && isWhite(p.c(n)), n);
        for (const char *n : {"txtDataBit", "txtStop"}) QVERIFY2(isGrey(p.c(n)), n);
        QCOMPARE(buttons(p.page.get()), QString("TTT"));
        QCOMPARE(p.ui.problems(), QString());
    }

    void modbusUnknownRepliesFallBack() {
        Page p(2, "K5G-QB4");
        p.rig.unit().setValue(G0, "54", "rtu"); // any text but "RTU" is ASCII
        p.rig.unit().setValue(G0, "56", "MARK");
        p.upload();
        QCOMPARE(p.c<QComboBox>("cmbMode")->currentIndex(), 1);
        QCOMPARE(p.c<QComboBox>("cmbParity")->currentText(), QString("NONE"));
    }

    void modbusDownloadWritesIndicesAndReadsBack() {
        Page p(2, "K5G-QB4");
        p.upload();
        p.c<QComboBox>("cmbMode")->setCurrentIndex(1);
        p.c<QComboBox>("cmbParity")->setCurrentIndex(1);
        p.text("txtTimeout")->setText("45");
        p.rig.clearLines();
        p.page->btnDownload_Click();
        const QStringList upload = reads({"01"}) + write("01", "1") + reads({"54", "55", "56", "57", "51"});
        QCOMPARE(p.rig.lines(),
                 reads({"01"}) + write("01", "1") + write("54", "1") + write("56", "1") + write("51", "45") + upload);
        QCOMPARE(p.rig.unit().value(G0, "54"), QString("ASCII"));
        QCOMPARE(p.rig.unit().value(G0, "56"), QString("ODD"));
        QCOMPARE(p.c<QComboBox>("cmbParity")->currentText(), QString("ODD"));
        QVERIFY(p.c("cmbMode")->isEnabled() && isWhite(p.c("cmbMode")));
        QCOMPARE(p.ui.problems(), QString());
    }

    void emptyTimeoutWritesNothingAtAll() {
        Page p(2, "K5G-QB4");
        p.upload();
        p.text("txtTimeout")->clear();
        p.rig.clearLines();
        p.ui.expect("Please enter number in TimeOut Box.", AppTitle, MsgIcon::Information);
        p.page->btnDownload_Click();
        QCOMPARE(p.rig.lines(), reads({"01"}));
        QVERIFY(p.rig.unit().writes().filter("=1").size() == 1); // only the upload's "01"
        QCOMPARE(buttons(p.page.get()), QString("TTT"));
        for (const char *n : {"cmbMode", "cmbParity", "txtTimeout"}) QVERIFY2(p.c(n)->isEnabled() && isWhite(p.c(n)), n);
        QCOMPARE(p.ui.problems(), QString());
    }

    void uploadFailureReportsAndClosesTheLink_data() {
        QTest::addColumn<int>("netTyp");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("downloadEnabled");
        QTest::newRow("CC-Link") << 0 << "K5A-QB4" << "51" << false;
        QTest::newRow("DeviceNet") << 1 << "K5B-QB4" << "50" << false;
        QTest::newRow("Modbus") << 2 << "K5G-QB4" << "56" << true;
        QTest::newRow("MECHATROLINK") << 3 << "K5GT-QB4" << "07" << false;
        QTest::newRow("FL-Remote") << 5 << "K5PW-QB4" << "52" << false;
        QTest::newRow("FLEX NETWORK") << 7 << "K5PX-QB4" << "51" << false;
        QTest::newRow("presence") << 2 << "K5G-QB4" << "01" << true;
    }
    void uploadFailureReportsAndClosesTheLink() {
        QFETCH(int, netTyp);
        QFETCH(QString, model);
        QFETCH(QString, item);
        QFETCH(bool, downloadEnabled);
        g.SubTyp = 1;
        Page p(netTyp, model);
        g.Connected = true;
        p.rig.unit().addFault({sim::FaultKind::Silence, G0, item, -1, 0});
        p.ui.expect("Uploading incomplete", "Uploading", MsgIcon::Critical);
        p.upload();
        QCOMPARE(p.ui.problems(), QString());
        QVERIFY(!p.rig.link().isOpen());
        QVERIFY(!g.Connected);
        QCOMPARE(buttons(p.page.get()), downloadEnabled ? QString("TTT") : QString("TFT"));
        // Nothing was confirmed: the value controls stay grey.
        for (QWidget *w : p.page->findChildren<QLineEdit *>()) QVERIFY(isGrey(w));
    }

    void modbusKeepsValuesReadBeforeAFailure() {
        Page p(2, "K5G-QB4");
        p.rig.unit().addFault({sim::FaultKind::Silence, G0, "56", -1, 0});
        p.ui.expect("Uploading incomplete", "Uploading", MsgIcon::Critical);
        p.upload();
        QCOMPARE(p.text("txtDataBit")->text(), QString("8"));
        QCOMPARE(p.c<QComboBox>("cmbMode")->currentText(), QString("RTU"));
        QCOMPARE(p.rig.lines().last(), QString("I56")); // nothing after the silent item
    }

    void downloadWithoutUnitReportsAndLocksValues() {
        Page p(0, "K5A-QB4");
        p.upload();
        p.rig.clearLines();
        p.rig.unit().addFault({sim::FaultKind::Silence, G0, "01", -1, 0});
        p.ui.expect("Downloading incomplete", "Downloading", MsgIcon::Critical);
        p.page->btnDownload_Click();
        QCOMPARE(p.ui.problems(), QString());
        QVERIFY(!p.rig.link().isOpen());
        QVERIFY(!p.rig.lines().filter(QRegularExpression("^D")).size());
        QVERIFY(!p.page->txtTimeout->isEnabled() && isWhite(p.page->txtTimeout));
        QCOMPARE(buttons(p.page.get()), QString("TTT"));
    }

    void timeoutChangeChecksRange() {
        Page p(0, "K5A-QB4");
        QLineEdit *t = p.page->txtTimeout;
        p.ui.expect("Please enter number.", AppTitle, MsgIcon::Information);
        t->setText("40000");
        p.ui.expect("Please enter number.", AppTitle, MsgIcon::Information);
        t->setText("-5");
        // Leading blanks let a sign past the first three characters: only the range test catches it.
        p.ui.expect("Please enter 0 to 32767.", AppTitle, MsgIcon::Information);
        t->setText("   -5");
        QCOMPARE(t->text(), QString("   -5"));
        t->setText("0");
        t->setText("32767");
        QCOMPARE(p.ui.messages.size(), 3);
        QCOMPARE(p.ui.problems(), QString());
    }

    void deviceNetStatusSerialAndFrame() {
        g.modelnum = 9;
        Page hidden(1, "K5B-KI8R");
        QVERIFY(hidden.c("Frame1")->isHidden());
        hidden.page.reset();
        g.modelnum = 0;
        Page p(1, "K5B-QB4");
        QVERIFY(!p.c("Frame1")->isHidden());
        auto *status = p.c<QComboBox>("cmbStatus");
        QCOMPARE(status->currentIndex(), 2);
        p.rig.unit().removeItem(G0, "68"); // answered "CNU": read as NEEDLESS
        p.upload();
        QCOMPARE(p.rig.lines(), reads({"01"}) + write("01", "1") + reads({"68", "50", "51"}));
        QCOMPARE(status->currentText(), QString("ON"));
        QCOMPARE(p.text("txtSerial")->text(), QString("00012345"));

        p.rig.unit().setItem(G0, "68", {"STATUS", "OFF", true, {"OFF", "ON"}, {}});
        p.upload();
        QCOMPARE(status->currentText(), QString("OFF"));
        p.text("txtSerial")->setText("777");
        p.rig.clearLines();
        p.page->btnDownload_Click();
        QCOMPARE(p.rig.lines().mid(0, 14),
                 reads({"01"}) + write("01", "1") + write("68", "0") + write("50", "777") + write("51", "30"));
        QCOMPARE(p.ui.problems(), QString());
    }

    void mechatrolinkModeLabelsAreCaseSensitive_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("II/32") << "M-II/32Byte" << "MECHATROLINK - II" << "32 Byte Mode";
        QTest::newRow("II/17") << "M-II/17byte" << "MECHATROLINK - II" << "17 Byte Mode";
        QTest::newRow("I/17") << "M-I/17byte" << "MECHATROLINK - I" << "17 Byte Mode";
        QTest::newRow("case") << "M-II/32byte" << "MODE SWITCH ERROR" << "MODE SWITCH ERROR";
        QTest::newRow("other") << "M-III" << "MODE SWITCH ERROR" << "MODE SWITCH ERROR";
    }
    void mechatrolinkModeLabelsAreCaseSensitive() {
        QFETCH(QString, reply);
        QFETCH(QString, mode);
        QFETCH(QString, bytes);
        Page p(3, "K5GT-QB4");
        p.rig.unit().setValue(G0, "08", reply);
        p.upload();
        QCOMPARE(p.c<QLabel>("lblMode")->text(), mode);
        QCOMPARE(p.c<QLabel>("lblByte")->text(), bytes);
        QCOMPARE(p.c<QLabel>("lblAddress")->text(), QString("Address : 0x61"));
    }

    void mechatrolinkUploadWritesNothing() {
        Page p(3, "K5GT-QB4");
        p.upload();
        QCOMPARE(p.rig.lines(), reads({"01", "08", "07", "51"}));
        p.rig.clearLines();
        p.page->btnDownload_Click();
        QCOMPARE(p.rig.lines().mid(0, 8), reads({"01"}) + write("01", "1") + write("51", "30"));
    }

    void flRemoteKeysAndEmptyBoxes() {
        Page p(5, "K5PW-QB4");
        p.upload();
        QCOMPARE(p.rig.lines(), reads({"01"}) + write("01", "1") + reads({"51", "52"}));
        QCOMPARE(p.text("Text1")->text(), QString("50"));
        QCOMPARE(p.text("Text2")->text(), QString("2"));
        p.text("Text1")->setText("x"); // no change check on this page
        p.text("Text1")->setText("70");
        p.rig.clearLines();
        p.page->btnDownload_Click();
        QCOMPARE(p.rig.lines().mid(0, 11), reads({"01"}) + write("01", "F") + write("51", "70") + write("52", "2"));
        QCOMPARE(p.rig.lines().mid(11, 5), reads({"01"}) + write("01", "1")); // the read-back keys "1"

        p.text("Text2")->clear();
        p.rig.clearLines();
        p.ui.expect("Please enter number.", AppTitle, MsgIcon::Information);
        p.page->btnDownload_Click();
        QCOMPARE(p.rig.lines(), reads({"01"}));
        QCOMPARE(p.ui.problems(), QString());
    }

    void flexnetFollowsSubTyp_data() {
        QTest::addColumn<int>("subTyp");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("third");
        QTest::newRow("1") << 1 << "Conversion rate" << "0:80 msec" << "2:20 msec";
        QTest::newRow("2") << 2 << "Conversion rate" << "0:250 msec" << "";
        QTest::newRow("3") << 3 << "Conversion rate" << "0:250 msec" << "";
        QTest::newRow("4") << 4 << "Averaging" << "0:No Averaging" << "2:4 sample";
        QTest::newRow("other") << 9 << "Averaging" << "" << "";
    }
    void flexnetFollowsSubTyp() {
        QFETCH(int, subTyp);
        QFETCH(QString, caption);
        QFETCH(QString, first);
        QFETCH(QString, third);
        g.SubTyp = subTyp;
        Page p(7, "K5PX-QB4");
        p.upload();
        QCOMPARE(p.rig.lines(), reads({"01"}) + write("01", "1") + reads({"51", "52"}));
        auto *frame = p.c<QGroupBox>("Frame1");
        QVERIFY(!frame->isHidden());
        QCOMPARE(frame->title(), caption);
        QCOMPARE(p.c<QLabel>("Label3")->text(), first);
        QCOMPARE(p.c<QLabel>("Label5")->text(), third);
        QCOMPARE(p.c<QLabel>("Label8")->text(), QString());
        QCOMPARE(p.text("txtAve")->text(), QString("1"));
    }

    void flexnetSubTypZeroHidesAveraging() {
        g.SubTyp = 0;
        Page p(6, "K5VS-QB4");
        QCOMPARE(p.page->txtTimeout->text(), QString("10"));
        p.upload();
        QCOMPARE(p.rig.lines(), reads({"01"}) + write("01", "1") + reads({"51"}));
        QVERIFY(p.c("Frame1")->isHidden());
        QCOMPARE(p.text("txtAve")->text(), QString("0"));
        p.rig.clearLines();
        p.page->btnDownload_Click();
        QVERIFY(!p.rig.lines().contains("I52"));
    }

    void flexnetWritesOnlyAcceptedAveraging() {
        g.SubTyp = 2;
        Page p(7, "K5PX-QB4");
        p.upload();
        p.text("txtAve")->setText("3");
        p.text("txtTimeout")->setText("25");
        p.rig.clearLines();
        p.page->btnDownload_Click();
        QCOMPARE(p.rig.lines().mid(0, 8), reads({"01"}) + write("01", "1") + write("51", "25"));
        QCOMPARE(p.rig.lines().mid(8, 2), reads({"01"})); // straight on to the read-back
        QCOMPARE(p.rig.unit().value(G0, "52"), QString("1"));

        p.text("txtAve")->setText("0");
        p.rig.clearLines();
        p.page->btnDownload_Click();
        QCOMPARE(p.rig.lines().mid(5, 6), write("51", "25") + write("52", "0"));
    }

    void flexnetShowsZeroTimeoutForSomeModules() {
        g.SubTyp = 1;
        g.modelnum = 17;
        Page p(7, "K5PX-NX2");
        p.upload();
        QCOMPARE(p.page->txtTimeout->text(), QString("0"));
        QVERIFY(p.rig.lines().contains("I51")); // still read: an unanswered read still fails
        g.modelnum = 0;
        p.upload();
        QCOMPARE(p.page->txtTimeout->text(), QString("10"));
    }

    void exitHidesThenRunsConnect() {
        Page p(0, "K5A-QB4");
        p.page->show();
        int runs = 0;
        bool visibleAtConnect = true;
        SetMainWindowHooks({nullptr, [&] {
                                ++runs;
                                visibleAtConnect = p.page->isVisible();
                            }});
        p.page->btnExit_Click();
        SetMainWindowHooks({});
        QCOMPARE(runs, 1);
        QVERIFY(!visibleAtConnect);
    }
};

QTEST_MAIN(NetPagesTest)
#include "tst_netpages.moc"
