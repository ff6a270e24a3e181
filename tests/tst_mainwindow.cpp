// The main window's commands against the simulated unit: wire lines, buttons, lamp, messages.
#include "pages/Colors.h"
#include "app/Dialogs.h"
#include "core/Commands.h"
#include "core/Globals.h"
#include "pages/Widgets.h"
#include "app/frmVireo.h"
#include "link/Link.h"
#include "pages/frmQB4.h"
#include "tests/TestKit.h"

#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <QAction>
#include <QtTest>

namespace {
sim::UnitConfig qb4(const QString &model = "K5A-QB4", const QString &ext = "DI") {
    sim::UnitConfig c;
    c.model = model;
    c.ext = ext;
    c.animate = false;
    return c;
}

QStringList channelReads(int ch) {
    const QString g = QString::number(ch);
    return {"G" + g, "I20", "I21", "I22", "I23", "I24", "I25", "I09"};
}

// Everything an Upload of a 4-channel input with a 16-point extension sends before the network page.
QStringList qb4UploadLines() {
    QStringList l = {"G00", "I01", "DF", "I02", "I06", "I10", "I03", "G00", "I12", "G00", "I09", "G00", "I14"};
    for (int ch = 1; ch <= 4; ++ch) l += channelReads(ch);
    l += {"G00", "I21", "G00", "I22", "G00", "I23", "G00", "I24", "G00", "I12"};
    return l;
}

frmQB4 *qb4Page(AppRig &r) { return qobject_cast<frmQB4 *>(r.page(0)); }

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUp() {
        AppRig r(qb4());
        QCOMPARE(r.w->windowTitle(), QString("VIREO"));
        QCOMPARE(r.w->size(), QSize(808, 573));
        QCOMPARE(r.buttons(), QString("FFFFTFFF"));
        QCOMPARE(r.text("lblConStatus"), QString("Disconnected"));
        QCOMPARE(r.text("lblMastertype"), QString("Welcome"));
        QCOMPARE(r.text("lblComPortNo"), QString("COM1"));
        QVERIFY(r.text("lblVersionNo").isEmpty());
        QVERIFY(!r.find<QGroupBox>("Frame6")->isVisibleTo(r.w));
        QCOMPARE(g.ActivePage, -1);
        QCOMPARE(r.find<QMenu>("mnuFiles")->title(), QString("File"));
        QCOMPARE(r.find<QAction>("mnuFilesEnd")->text(), QString("Exit"));
        QVERIFY(r.find<QAction>("mnuFilesVar")->isSeparator());
        // Nothing to route before a connection.
        r.session().commandStop();
        r.session().commandDisconnect();
        QVERIFY(r.lines().isEmpty());
        NO_SURPRISES(r);
    }

    void settingOkConnectsAndUploads() {
        AppRig r(qb4());
        r.connectViaSetting();
        const QStringList ccLink = {"G00", "I01", "G00", "I01", "D1", "G00", "I51"};
        QCOMPARE(r.lines(), QStringList({"G00", "I01"}) + qb4UploadLines() + ccLink);
        QCOMPARE(r.text("lblConStatus"), QString("Connected"));
        QCOMPARE(r.lamp(), Colors::LampConnected);
        QCOMPARE(r.text("lblMastertype"), QString("K5A-QB4"));
        QCOMPARE(r.text("lblVersionNo"), QString("Version : 1.02"));
        QCOMPARE(r.text("lblExtName"), QString("+XD16"));
        QVERIFY(r.find<QGroupBox>("Frame6")->isVisibleTo(r.w));
        QCOMPARE(r.find<QPushButton>("btnComNet")->text(), QString("CC-Link"));
        QCOMPARE(g.modelnum, 0);
        QCOMPARE(g.SubTyp, 1);
        QCOMPARE(g.NetTyp, 0);
        QCOMPARE(g.ChCount, 4);
        QCOMPARE(g.ActivePage, 0);
        QVERIFY(g.PageShown);
        QCOMPARE(r.shownPage(), qb4Page(r));
        QVERIFY(qb4Page(r)->isVisibleTo(r.w));
        QCOMPARE(qb4Page(r)->geometry(), QRect(0, 0, 643, 493));
        // Connected through Setting: Setting itself stays off.
        QCOMPARE(r.buttons(), QString("TFFTFTTT"));
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(r);
    }

    void buttonRowsFollowEachCommand() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.connectViaSetting();
        r.session().commandDisconnect();
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
        QCOMPARE(r.lamp(), Colors::LampDisconnected);
        QCOMPARE(r.text("lblConStatus"), QString("Disconnected"));
        QVERIFY(!r.link().isOpen());
        Await(r.session().commandConnect());
        QCOMPARE(r.buttons(), QString("TFFTTTTT")); // Connect leaves Setting on
        Await(r.session().commandUpload());
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        Await(r.session().commandDownload());
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        NO_SURPRISES(r);
    }

    void extensionQuestionOncePerConnection() {
        AppRig r(qb4("K5A-QB4", "DO"));
        r.ui.onDialog("frmComPort", ClickComPortOk);
        r.ui.onDialog("frmExtSelect", ClickExtCommand2);
        r.press("btnSetting");
        QCOMPARE(g.ExtType, QString("XF8"));
        QCOMPARE(g.ExtChCount, 8);
        QCOMPARE(r.text("lblExtName"), QString("+XF8"));
        Await(r.session().commandUpload()); // no second question
        QCOMPARE(r.ui.dialogsShown.count("frmExtSelect"), 1);
        r.session().commandDisconnect();
        r.ui.onDialog("frmExtSelect", ClickExtCommand1);
        Await(r.session().commandConnect()); // a new connection asks again
        QCOMPARE(g.ExtType, QString("XF16"));
        NO_SURPRISES(r);
    }

    void noExtensionHidesTheLabel() {
        for (const char *ext : {"NONE", "DM"}) {
            AppRig r(qb4("K5A-QB4", ext));
            r.connectViaSetting();
            QCOMPARE(g.ExtName, QString("NONE"));
            QVERIFY(!r.find<QGroupBox>("Frame6")->isVisibleTo(r.w));
            QVERIFY(r.text("lblExtName").isEmpty());
            QVERIFY(!r.ui.dialogsShown.contains("frmExtSelect"));
            QVERIFY(!r.lines().contains("I12"));
            NO_SURPRISES(r);
        }
    }

    void downloadRoundsScalesAndUploadsAgain() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.connectViaSetting();
        frmQB4 *p = qb4Page(r);
        p->txtZScale[0]->setText("12.5");
        p->txtZScale[1]->setText("13.5");
        p->cmbUserRange[2]->setCurrentIndex(10);
        p->optKeepOn->setChecked(true);
        r.clearLines();
        Await(r.session().commandDownload());
        const QStringList l = r.lines();
        const QStringList head = {"G00", "I01", "DF", "G1", "I20", "D12", "I21", "D10000", "I22", "D0.00",
                                  "I23", "D1.0000", "I24", "D-10.000", "I25", "D10.000", "I09", "D0", "G2", "I20", "D14"};
        QCOMPARE(l.mid(0, head.size()), head);
        const int ch3 = l.indexOf("G3");
        QCOMPARE(l.mid(ch3 + 13, 2), QStringList({"I09", "D10"}));
        const int hold = l.indexOf("I14");
        QCOMPARE(l.mid(hold - 1, 3), QStringList({"G00", "I14", "D0"}));
        QCOMPARE(r.unit().value("00", "14"), QString("ON"));
        // The Upload that follows reads everything back.
        QCOMPARE(l.mid(hold + 2, 4), QStringList({"G00", "I01", "DF", "I02"}));
        QCOMPARE(p->txtZScale[0]->text(), QString("12"));
        QCOMPARE(p->txtZScale[1]->text(), QString("14"));
        QCOMPARE(p->cmbUserRange[2]->currentIndex(), 10);
        QVERIFY(p->optKeepOn->isChecked());
        QCOMPARE(LoadingForm(), nullptr);
        NO_SURPRISES(r);
    }

    void failedCheckWritesNothing() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.connectViaSetting();
        frmQB4 *p = qb4Page(r);
        p->txtGain[3]->setText("3.2001");
        r.clearLines();
        r.ui.expect("Data Error \r\nCheck data range.", "Data Range Error", MsgIcon::Critical);
        Await(r.session().commandDownload());
        QVERIFY(r.lines().isEmpty());
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        NO_SURPRISES(r);
    }

    void stopDuringPassFinishesThePass() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Delay, "", "22", -1, 15});
        QString buttonsAtStop, buttonsWhileMonitoring;
        QColor lampWhileMonitoring;
        int passLinesAtStop = 0;
        // Stop while a reply is awaited, that is during a pass (on a busy machine the first
        // chance may come between two passes instead).
        std::function<void()> stopInPass = [&] {
            if (!r.link().busy()) return QTimer::singleShot(1, stopInPass);
            lampWhileMonitoring = r.lamp();
            buttonsWhileMonitoring = r.buttons();
            QVERIFY(!qb4Page(r)->txtZScale[0]->isEnabled());
            passLinesAtStop = int(r.lines().size());
            r.session().commandStop();
            buttonsAtStop = r.buttons();
        };
        QTimer::singleShot(80, stopInPass);
        r.clearLines();
        Await(r.session().commandStart()); // returns when the loop ends
        QCOMPARE(lampWhileMonitoring, Colors::LampMonitoring);
        QCOMPARE(buttonsWhileMonitoring, QString("FTFTFFFF"));
        QCOMPARE(buttonsAtStop, QString("TFFTTTTT"));
        QCOMPARE(r.lamp(), Colors::LampConnected);
        QVERIFY(!g.Monitoring);
        QVERIFY(qb4Page(r)->txtZScale[0]->isEnabled());
        // The pass under way was completed: the monitoring lines end with a whole pass.
        QVERIFY(r.lines().size() % 8 == 0);
        QVERIFY(r.lines().size() > passLinesAtStop);
        QCOMPARE(r.lines().last(), QString("I24"));
        NO_SURPRISES(r);
    }

    void startWhileDisconnectedConnectsFirst() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        Await(r.session().commandConnect());
        r.session().commandDisconnect();
        r.clearLines();
        QTimer::singleShot(30, [&] { r.session().commandStop(); });
        Await(r.session().commandStart());
        QCOMPARE(r.lines().mid(0, 5), QStringList({"G00", "I01", "G00", "I01", "DF"}));
        QVERIFY(g.Connected);
        NO_SURPRISES(r);
    }

    void disconnectDuringMonitoring() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Delay, "", "23", -1, 20});
        QTimer::singleShot(60, [&] { r.session().commandDisconnect(); });
        Await(r.session().commandStart());
        QVERIFY(!g.Monitoring && !g.Connected);
        QVERIFY(!r.link().isOpen());
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
        QCOMPARE(r.lamp(), Colors::LampDisconnected);
        QVERIFY(qb4Page(r)->txtZScale[0]->isEnabled());
        NO_SURPRISES(r);
    }

    void exitDuringMonitoring() {
        AppRig r(qb4("K5A-QB4", "NONE"), 3000);
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Delay, "", "22", -1, 2000});
        QElapsedTimer t;
        QTimer::singleShot(40, [&] {
            t.start();
            r.session().commandExit();
        });
        Await(r.session().commandStart());
        QVERIFY(t.elapsed() < 1000); // did not wait for the slow reply
        QCOMPARE(r.ui.programEnds, 1);
        QVERIFY(!r.link().isOpen());
        const int lines = int(r.lines().size());
        Await(r.session().commandUpload()); // nothing runs any more
        QCOMPARE(int(r.lines().size()), lines);
        NO_SURPRISES(r);
    }

    void exitWhileUploadWaits() {
        AppRig r(qb4("K5A-QB4", "NONE"), 2000);
        Await(r.session().commandConnect());
        r.clearLines();
        r.unit().addFault({sim::FaultKind::Silence, "2", "22", -1, 0});
        int heldAfterExit = -1;
        QTimer::singleShot(40, [&] {
            Trigger(r.w->findChild<QAction *>("mnuFilesSave")); // held for after the Upload, dropped by Exit
            Trigger(r.w->findChild<QAction *>("mnuFilesEnd"));
            heldAfterExit = HeldCommandCount();
        });
        QElapsedTimer t;
        t.start();
        Await(r.session().commandUpload());
        QVERIFY(t.elapsed() < 1000); // the silent item was not waited for
        QCOMPARE(heldAfterExit, 0);
        QCOMPARE(r.ui.programEnds, 1);
        QVERIFY(!r.lines().contains("G3")); // nothing after the item under way
        QVERIFY(!r.lines().contains("I51"));
        NO_SURPRISES(r); // and no Upload Error
    }

    void unitThatVanishesWhileMonitoring() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Vanish, "", "23", 1, 0});
        r.ui.expect("The connection to the unit was lost: The device has been removed.", "Connection",
                    MsgIcon::Critical);
        Await(r.session().commandStart()); // must end by itself
        QVERIFY(!g.Monitoring && !g.Connected);
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
        NO_SURPRISES(r);
    }

    // A pass draws the window once, at its end; a pass that does not end (a box opened in it)
    // holds the drawing back for a moment only.
    void passHoldsDrawingBackBriefly() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(r.w));
        struct Paints : QObject {
            int n = 0;
            bool eventFilter(QObject *, QEvent *e) override {
                n += e->type() == QEvent::Paint;
                return false;
            }
        } paints;
        QLabel *status = r.find<QLabel>("lblConStatus");
        status->installEventFilter(&paints);
        auto drawnAfter = [&](const std::function<void()> &step, int ms) {
            paints.n = 0;
            status->update();
            step();
            QTest::qWait(ms);
            return paints.n > 0;
        };
        QVERIFY(drawnAfter([] {}, 50));
        QVERIFY(!drawnAfter([&] { emit r.session().passStarted(); }, 50));
        QVERIFY(drawnAfter([&] { emit r.session().passDone(); }, 50));
        QVERIFY(drawnAfter([&] { emit r.session().passStarted(); }, 400));
        NO_SURPRISES(r);
    }

    void connectionCheckFails() {
        AppRig r(qb4());
        r.unit().addFault({sim::FaultKind::Silence, {}, {}, -1, 0});
        r.ui.onDialog("frmComPort", ClickComPortOk);
        r.ui.expect("Connection Error", "Connection", MsgIcon::Critical);
        r.ui.expect("Upload Error", "Upload", MsgIcon::Critical);
        r.press("btnSetting");
        QCOMPARE(r.lines(), QStringList({"G00", "G00"})); // two attempts, then the port is closed
        QCOMPARE(r.buttons(), QString("TFTFTFFF"));
        QVERIFY(!g.Connected);
        QCOMPARE(r.lamp(), Colors::LampDisconnected);
        NO_SURPRISES(r);
    }

    void portThatCannotBeOpened() {
        AppRig r(qb4());
        r.device->setOpenFailure("the port is in use by another program.");
        r.ui.onDialog("frmComPort", ClickComPortOk);
        // One box says why, then the Upload that Connect always runs.
        r.ui.expect("Connection Error\r\nCOM1 (/dev/ttyS0) cannot be opened: the port is in use by another program.",
                    "Connection", MsgIcon::Critical);
        r.ui.expect("Upload Error", "Upload", MsgIcon::Critical);
        qunsetenv("VIREO_COM1");
        r.press("btnSetting");
        QVERIFY(r.lines().isEmpty());
        QCOMPARE(r.buttons(), QString("TFTFTFFF"));
        NO_SURPRISES(r);
    }

    void identificationItemUnanswered() {
        for (const char *item : {"02", "06", "10", "03"}) {
            AppRig r(qb4("K5A-QB4", "NONE"));
            r.unit().addFault({sim::FaultKind::Silence, "", item, -1, 0});
            r.ui.onDialog("frmComPort", ClickComPortOk);
            r.ui.expect("Upload Error", "Upload", MsgIcon::Critical);
            r.press("btnSetting");
            QCOMPARE(r.lines().count("I" + QString(item)), 4);
            QVERIFY(!g.Connected);
            QVERIFY(!r.link().isOpen());
            QCOMPARE(r.buttons(), QString("TFTFTFFF"));
            NO_SURPRISES(r);
        }
    }

    void unitNeedsInitialising() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.unit().addFault({sim::FaultKind::NeedsInit, "", "03", -1, 0});
        r.ui.onDialog("frmComPort", ClickComPortOk);
        r.ui.expect("Need Initialize", "Initialize Error\r\n", MsgIcon::Critical);
        r.press("btnSetting");
        QCOMPARE(r.ui.programEnds, 1);
        QVERIFY(!r.link().isOpen());
        QVERIFY(!r.lines().contains("I09")); // no page was read
        NO_SURPRISES(r);
    }

    void unsupportedModelShowsNonePage() {
        AppRig r(qb4("K5A-QB8", "NONE")); // QB8 is not a known code
        r.ui.onDialog("frmComPort", ClickComPortOk);
        r.ui.expect("Not definced modelnum in frmVireo -> btnUpload", "Debug info", MsgIcon::Critical);
        r.press("btnSetting");
        QCOMPARE(g.modelnum, 99);
        QCOMPARE(g.ActivePage, 99);
        QVERIFY(r.shownPage() && r.shownPage()->objectName() == "frmNONE");
        QVERIFY(!g.Connected);
        // Connect sets the buttons after the Upload ended: disconnected.
        QCOMPARE(r.buttons(), QString("TFTFTFFF"));
        r.ui.expect("Not definced modelnum in frmVireo -> btnDownload", "Debug info", MsgIcon::Critical);
        Await(r.session().commandDownload());
        QCOMPARE(r.buttons(), QString("TFTFTFFF")); // not a dead end: Setting and Connect stay usable
        NO_SURPRISES(r);
    }

    void channelCountTextUnknownKeepsCount() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        g.ChCount = 2;
        r.unit().setValue("00", "03", "CH:3CHs");
        r.connectViaSetting();
        QCOMPARE(g.ChCount, 2);
        QVERIFY(!r.lines().contains("G3"));
        NO_SURPRISES(r);
    }

    void versionDecidesNewFirmware() {
        sim::UnitConfig c = qb4("K5A-QB4", "NONE");
        c.version = " 1.02";
        {
            AppRig r(c);
            r.connectViaSetting();
            QVERIFY(!g.NewFirmware);
            QCOMPARE(r.text("lblVersionNo"), QString("Version :  1.02"));
        }
        c.version = "2.00";
        AppRig r(c);
        r.connectViaSetting();
        QVERIFY(g.NewFirmware);
    }

    void dialogsAndVersion() {
        AppRig r(qb4());
        r.press("mnuHelpVersion");
        auto *v = qobject_cast<frmVersion *>(r.ui.beside.value(0));
        QVERIFY(v);
        QCOMPARE(v->windowTitle(), QString("Version VIREO "));
        QCOMPARE(v->lblName[1]->text(), QString("0.44"));
        QCOMPARE(v->lblTitle[0]->text(), QString("VIREO"));
        QCOMPARE(r.ui.dialogsShown, QStringList{"frmVersion"});
        NO_SURPRISES(r);
    }

    void comPortDialogChoosesPortAndDevice() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.ui.onDialog("frmComPort", [](QDialog *d) {
            auto *c = static_cast<frmComPort *>(d);
            c->optCom[4]->setChecked(true);
            c->cmbDevice[4]->setCurrentText("/dev/pts/42");
            c->btnExit_Click();
            return int(QDialog::Accepted);
        });
        r.press("btnSetting");
        QCOMPARE(g.ComPortNo, 4);
        QCOMPARE(r.text("lblComPortNo"), QString("COM4"));
        QCOMPARE(r.device->lastPortName(), QString("/dev/pts/42"));
        QVERIFY(g.Connected);
        // The dialog opens again with the choice made.
        r.press("btnDisconnect");
        r.ui.onDialog("frmComPort", [](QDialog *d) {
            auto *c = static_cast<frmComPort *>(d);
            const bool ok = c->optCom[4]->isChecked() && c->cmbDevice[4]->currentText() == "/dev/pts/42";
            return ok ? int(QDialog::Rejected) : 99;
        });
        r.press("btnSetting");
        QVERIFY(!g.Connected); // closing without OK changes nothing
        QCOMPARE(r.lines().count("I02"), 1);
        NO_SURPRISES(r);
    }

    void noticeOkDisconnects() {
        AppRig r(qb4("K5A-QB4", "NONE"));
        r.connectViaSetting();
        r.ui.onDialog("frmCCLINK", [](QDialog *) { return int(QDialog::Rejected); });
        r.ui.onDialog("frmNotice", [](QDialog *d) {
            auto *n = static_cast<frmNotice *>(d);
            if (n->windowTitle() != "Notice" || n->Label1->text() != "please turn off the power, and restart the K5.")
                return int(QDialog::Rejected);
            Click(n->OKButton);
            return n->result();
        });
        r.press("btnComNet");
        QVERIFY(!g.Connected);
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
    }

    void networkButtonOpensPageThenNotice() {
        AppRig r(qb4("K5G-QB4", "NONE"));
        r.connectViaSetting();
        QVERIFY(r.lines().endsWith("I51")); // the Upload filled the Modbus page too
        QString buttonsWhileOpen;
        r.ui.onDialog("frmModbus", [&](QDialog *d) {
            buttonsWhileOpen = r.buttons();
            Click(Control<QPushButton>(d, "btnExit")); // hides the page and runs Connect
            return int(QDialog::Accepted);
        });
        r.ui.onDialog("frmNotice", [](QDialog *d) {
            static_cast<frmNotice *>(d)->OKButton_Click();
            return int(QDialog::Accepted);
        });
        r.clearLines();
        Await(r.session().commandNetwork());
        QCOMPARE(buttonsWhileOpen, QString("FFFFFFFF"));
        QCOMPARE(r.lines().mid(0, 5), QStringList({"G00", "I01", "G00", "I01", "DF"}));
        QCOMPARE(r.ui.dialogsShown.join(","), QString("frmComPort,frmModbus,frmNotice"));
        // The notice's OK ends the connection.
        QVERIFY(!g.Connected);
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
        NO_SURPRISES(r);
    }

    void networkButtonWithoutNetworkKind() {
        AppRig r(qb4());
        r.ui.expect("Not definced NetTyp in frmVireo -> btnComNet", "Debug info", MsgIcon::Critical);
        Await(r.session().commandNetwork());
        QVERIFY(!g.Connected);
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
