// The program against a unit that misbehaves: protocol answers where values belong, refused
// writes, a line that goes away while idle, a port that will not open. Each case once told the
// person something untrue or left no way out.
#include "pages/Colors.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/QtSerialDevice.h"
#include "pages/frmQB4.h"
#include "tests/TestKit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

frmQB4 *qb4Page(AppRig &r) { return qobject_cast<frmQB4 *>(r.page(0)); }

const char *const Refused = "The unit did not accept the start of the download.\r\n"
                            "Nothing was written; the edited values are still on the page.";

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    // A download start answered with anything but an acceptance writes nothing and says so; with
    // no answer at all the Upload that follows reports the unit gone. The edits stay either way.
    void downloadStartNotAccepted_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("buttons");
        QStringList refused, silent;
        for (int i = 0; i < 4; ++i) refused += {"G00", "I01", "DF"};
        for (int i = 0; i < 8; ++i) silent += "G00";
        silent += {"I02", "I02", "I02", "I02"};
        QTest::newRow("refused") << int(sim::FaultKind::Refuse) << Refused << "Download" << refused << "TFFTTTTT";
        QTest::newRow("silent") << int(sim::FaultKind::Silence) << "Upload Error" << "Upload" << silent << "TFTFTFFF";
    }
    void downloadStartNotAccepted() {
        QFETCH(int, fault);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QStringList, lines);
        QFETCH(QString, buttons);
        const bool refused = sim::FaultKind(fault) == sim::FaultKind::Refuse;
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        frmQB4 *p = qb4Page(r);
        const QString before = r.unit().value("1", "20");
        const QStringList writesBefore = r.unit().writes();
        p->txtZScale[0]->setText("-150");
        r.unit().addFault(refused ? sim::Fault{sim::FaultKind::Refuse, "00", "01", -1, 0}
                                  : sim::Fault{sim::FaultKind::Silence, "", "", -1, 0});
        r.clearLines();
        r.ui.expect(text, title, MsgIcon::Critical);
        Click(r.w->findChild<QPushButton *>("btnDownload"));
        // The download start's attempts, and no channel written, no read-back.
        QCOMPARE(r.lines(), lines);
        QCOMPARE(r.unit().writes(), writesBefore);
        QCOMPARE(r.unit().value("1", "20"), before);
        QCOMPARE(p->txtZScale[0]->text(), QString("-150"));
        QVERIFY(p->txtZScale[0]->isEnabled());
        QCOMPARE(g.Connected, refused);
        QCOMPARE(r.text("lblConStatus"), QString(refused ? "Connected" : "Disconnected"));
        QCOMPARE(r.buttons(), buttons);
        NO_SURPRISES(r);
    }

    void needlessChannelCountIsNoRequestToInitialise() {
        AppRig r(StillUnit("K5A-QB4"));
        r.unit().addFault({sim::FaultKind::Cnu, "", "03", -1, 0});
        r.connectViaSetting();
        QCOMPARE(r.ui.programEnds, 0);
        QVERIFY(g.Connected);
        QCOMPARE(g.ActivePage, 0);
        QCOMPARE(r.shownPage(), qb4Page(r));
        NO_SURPRISES(r);
    }

    void protocolAnswerIsNoModel_data() {
        QTest::addColumn<int>("fault"); // -1: a model reply with nothing after its colon
        QTest::addColumn<QStringList>("lines");
        const QStringList refusedStart = {"G00", "G00", "G00", "G00"}; // the "F" write never gets past its select
        QTest::newRow("CNG everywhere") << int(sim::FaultKind::Cng) << refusedStart + QStringList{"I02"};
        QTest::newRow("CNU everywhere") << int(sim::FaultKind::Cnu) << refusedStart + QStringList{"I02"};
        QTest::newRow("empty model") << -1 << QStringList{"G00", "I01", "DF", "I02"};
    }
    void protocolAnswerIsNoModel() {
        QFETCH(int, fault);
        QFETCH(QStringList, lines);
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        if (fault < 0) r.unit().setValue("00", "02", QString());
        else r.unit().addFault({sim::FaultKind(fault), {}, {}, -1, 0});
        r.clearLines();
        r.ui.expect("Upload Error", "Upload", MsgIcon::Critical);
        Await(r.session().commandUpload());
        QCOMPARE(r.lines(), lines);
        QCOMPARE(r.text("lblMastertype"), QString("K5A-QB4"));
        QCOMPARE(g.UnitModel, QString("K5A-QB4"));
        QVERIFY(!g.Connected);
        QCOMPARE(r.buttons(), QString("TFTFTFFF")); // Setting and Connect lead on
        NO_SURPRISES(r);
    }

    void unknownModelIsNoDeadEnd() {
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        r.unit().setValue("00", "02", "K5A-QB8"); // a model this version has no page for
        r.ui.expect("Not definced modelnum in frmVireo -> btnUpload", "Debug info", MsgIcon::Critical);
        Await(r.session().commandUpload());
        QVERIFY(!g.Connected);
        QCOMPARE(r.buttons(), QString("TFTFTFFF")); // not all eight disabled for good
        // Start connects first (its Upload reports again), then finds no page to monitor.
        r.ui.expect("Not definced modelnum in frmVireo -> btnUpload", "Debug info", MsgIcon::Critical);
        r.ui.expect("Not definced modelnum in frmVireo -> btnStart_Click", "Debug info", MsgIcon::Critical);
        Await(r.session().commandStart());
        QCOMPARE(r.buttons(), QString("TFTFTFFF"));
        NO_SURPRISES(r);
    }

    void failedNetworkReadEndsWithDisconnectedButtons() {
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Silence, "", "51", -1, 0});
        r.ui.expect("Uploading incomplete", "Uploading", MsgIcon::Critical);
        Await(r.session().commandUpload());
        QCOMPARE(r.text("lblConStatus"), QString("Disconnected"));
        QVERIFY(!g.Connected);
        QCOMPARE(r.buttons(), QString("TFTFTFFF"));
        NO_SURPRISES(r);
    }

    // One lost line, one box: the Upload's own report where it makes one, else the lost line.
    void lineLostUnderAnUploadIsReportedOnce_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("buttons");
        // The page ends its Init quietly on an unanswered switch range; the line is gone all the same.
        QTest::newRow("switch range") << "09" << "The connection to the unit was lost: The device has been removed."
                                      << "Connection" << "FFTFTFFF";
        QTest::newRow("scaling slot") << "20" << "Upload Error" << "Upload" << "TFTFTFFF";
    }
    void lineLostUnderAnUploadIsReportedOnce() {
        QFETCH(QString, item);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, buttons);
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Vanish, "", item, 1, 0});
        r.ui.expect(text, title, MsgIcon::Critical);
        Click(r.w->findChild<QPushButton *>("btnUpload"));
        QVERIFY(!g.Connected);
        QCOMPARE(r.text("lblConStatus"), QString("Disconnected"));
        QCOMPARE(r.buttons(), buttons);
        QTest::qWait(20); // nothing more is said once the Upload has unwound
        QCOMPARE(r.ui.messages.size(), 1);
        NO_SURPRISES(r);
    }

    void unitGoneWhileIdleIsNoticedAtOnce() {
        AppRig r(StillUnit("K5A-QB4"));
        // The line goes away 30 ms after the Upload's last reply, with nothing under way.
        r.unit().addFault({sim::FaultKind::HangUp, "", "51", 1, 30});
        r.connectViaSetting();
        QCOMPARE(r.text("lblConStatus"), QString("Connected"));
        r.ui.expect("The connection to the unit was lost: The device has been removed.", "Connection",
                    MsgIcon::Critical);
        QTRY_COMPARE_WITH_TIMEOUT(r.text("lblConStatus"), QString("Disconnected"), 2000);
        QVERIFY(!g.Connected);
        QVERIFY(!r.link().isOpen());
        QCOMPARE(r.lamp(), Colors::LampDisconnected);
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
        QCOMPARE(r.ui.messages.size(), 1);
        NO_SURPRISES(r);
    }

    void portThatCannotBeOpenedSaysWhyInOneBox_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "/dev/no-such-serial-device"
                                 << "the device does not exist. Check the cable or USB adapter, or pick another "
                                    "device in Setting.";
        QTest::newRow("not a port") << "/dev/null" << QString();
    }
    void portThatCannotBeOpenedSaysWhyInOneBox() {
        QFETCH(QString, device);
        QFETCH(QString, reason);
        AppRig r(StillUnit("K5A-QB4"));
        r.ui.recordOnly(); // the system's reason varies: the messages are checked below
        r.link().setDevice(std::make_unique<QtSerialDevice>());
        PortMap::choose(1, device);
        r.ui.onDialog("frmComPort", ClickComPortOk);
        r.press("btnSetting");
        PortMap::clearChoices();
        QCOMPARE(r.ui.messages.size(), 2);
        const QString first = r.ui.messages[0].text;
        QVERIFY2(first.startsWith("Connection Error\r\nCOM1 (" + device + ") cannot be opened: "), qPrintable(first));
        if (!reason.isEmpty()) QVERIFY2(first.endsWith(reason), qPrintable(first));
        QCOMPARE(r.ui.messages[0].title, QString("Connection"));
        QCOMPARE(r.ui.messages[1], (ScriptedUi::Msg{"Upload Error", "Upload", MsgIcon::Critical}));
        QCOMPARE(r.buttons(), QString("TFTFTFFF"));
    }

    // A page that reports a failure and disconnects during monitoring leaves the buttons of a
    // disconnected unit and its settings editable, whether or not Stop came first.
    void pageFailureDuringMonitoringEndsDisconnected() {
        for (const bool stopFirst : {false, true}) {
            sim::UnitConfig c;
            c.model = "K5A-KOR16";
            c.ext = "NONE";
            c.animate = false;
            AppRig r(c);
            r.connectViaSetting();
            r.unit().addFault({sim::FaultKind::Silence, "00", "23", -1, 0});
            r.ui.expect("Uploading incomplete", "Uploading", MsgIcon::Critical);
            // Stop pressed while the pass's first line waits: the pass goes on and fails.
            QMetaObject::Connection stop;
            if (stopFirst)
                stop = connect(&r.link(), &Link::waitEnded, r.w, [&] {
                    disconnect(stop);
                    r.session().commandStop();
                });
            Await(r.session().commandStart());
            disconnect(stop);
            QVERIFY(!g.Connected);
            QCOMPARE(r.buttons(), QString("FFTFTFFF"));
            QCOMPARE(r.lamp(), Colors::LampDisconnected);
            QVERIFY(r.w->findChild<QWidget *>("optKeepOn")->isEnabled());
            QVERIFY2(r.ui.problems().isEmpty(), qPrintable(r.ui.problems()));
        }
    }
};

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
