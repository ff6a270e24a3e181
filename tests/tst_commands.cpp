// Commands clicked while the program waits for the unit: they run once the wait has unwound,
// exactly as if clicked when idle; Stop and Disconnect act at once.
#include "core/Commands.h"
#include "pages/Widgets.h"
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "link/Link.h"
#include "link/Protocol.h"
#include "netpages/NetPage.h"
#include "tests/TestKit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// The lines of one monitoring pass of the 4-channel input without extension.
constexpr int PassLines = 8;

QPushButton *buttonFor(AppRig &r, const QString &which) {
    if (which == "Upload") return r.find<QPushButton>("btnUpload");
    if (which == "Download") return r.find<QPushButton>("btnDownload");
    if (which == "Setting") return r.find<QPushButton>("btnSetting");
    return r.find<QPushButton>("btnComNet");
}

// What the person does in the dialogs the command opens: OK in the port dialog; on the network
// page its own Upload, then Exit (which connects again); the notice closed without OK.
void scriptDialogs(AppRig &r, const QString &which) {
    if (which == "Setting") r.ui.onDialog("frmComPort", ClickComPortOk);
    if (which != "network") return;
    r.ui.onDialog("frmCCLINK", [](QDialog *d) {
        auto *page = static_cast<NetPage *>(d);
        Click(page->btnUpload);
        Click(page->btnExit);
        return int(QDialog::Accepted);
    });
    r.ui.onDialog("frmNotice", [](QDialog *) { return int(QDialog::Rejected); });
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void clickedDuringWaitRunsAsIfIdle_data() {
        QTest::addColumn<QString>("which");
        for (const char *w : {"Upload", "Download", "Setting", "network"}) QTest::newRow(w) << w;
    }
    void clickedDuringWaitRunsAsIfIdle() {
        QFETCH(QString, which);
        AppRig r(StillUnit("K5A-QB4"), 300);
        r.connectViaSetting();
        // A short pause, so that clicks can also land in it, and a unit slow on one item.
        r.link().setTimings(5, 300);
        r.unit().addFault({sim::FaultKind::Delay, "", "22", -1, 40});

        // The same command from idle, for its lines and the buttons it leaves.
        scriptDialogs(r, which);
        r.session().commandStop(); // the buttons as Stop leaves them
        r.clearLines();
        QPushButton *target = buttonFor(r, which);
        QVERIFY(target->isEnabled());
        Click(target);
        const QStringList idleLines = r.lines();
        const QString idleButtons = r.buttons();
        QVERIFY(!idleLines.isEmpty());
        NO_SURPRISES(r);

        // Now Stop, and at once the command, while a monitoring pass waits for the unit.
        scriptDialogs(r, which);
        int heldAtClick = -1;
        bool busyAtClick = false;
        std::function<void()> clickInWait = [&] {
            if (!r.link().busy()) return QTimer::singleShot(1, clickInWait);
            busyAtClick = true;
            Click(r.find<QPushButton>("btnStop"));
            Click(buttonFor(r, which));
            heldAtClick = HeldCommandCount();
        };
        QTimer::singleShot(30, clickInWait);
        r.clearLines();
        Click(r.find<QPushButton>("btnStart")); // returns when monitoring has ended
        QTRY_COMPARE(HeldCommandCount(), 0);
        QVERIFY(busyAtClick);
        QCOMPARE(heldAtClick, 1);

        // Whole passes, then exactly the lines of the idle run.
        const QStringList l = r.lines();
        QVERIFY2(l.size() > idleLines.size(), qPrintable(l.join(',')));
        const QStringList passes = l.mid(0, l.size() - idleLines.size());
        QCOMPARE(l.mid(passes.size()), idleLines);
        QVERIFY2(!passes.isEmpty() && passes.size() % PassLines == 0 && passes.last() == "I24",
                 qPrintable(passes.join(',')));
        QVERIFY(g.Connected);
        QVERIFY(r.link().isOpen());
        QCOMPARE(r.text("lblConStatus"), QString("Connected"));
        QCOMPARE(r.buttons(), idleButtons);
        NO_SURPRISES(r);
    }

    // A click held during Connect runs after the whole of it: not inside the extension question
    // the Connect asks on the way, and not at all once its page has gone with the unit.
    void heldClickWaitsForTheWholeCommand_data() {
        QTest::addColumn<QString>("next"); // the unit on the line at the second Connect
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("runs");
        QTest::newRow("same unit, extension asked again") << "K5A-NX16" << "DI" << true;
        QTest::newRow("another unit, another page") << "K5A-QB4" << "NONE" << false;
    }
    void heldClickWaitsForTheWholeCommand() {
        QFETCH(QString, next);
        QFETCH(QString, ext);
        QFETCH(bool, runs);
        AppRig r(StillUnit("K5A-NX16", "DI"), 300);
        auto click = [&r](const char *name) { Click(r.w->findChild<QPushButton *>(name)); };
        // A fresh unit on the line, connected with Connect.
        auto connectTo = [&](const QString &model, const QString &e, const std::function<void()> &inWait) -> QStringList {
            auto unit = std::make_shared<sim::SimUnit>(StillUnit(model, e));
            AttachSim(r.link(), unit);
            if (e != "NONE") r.ui.onDialog("frmExtSelect", ClickExtCommand1);
            std::function<void()> poll = [&] {
                if (!r.link().busy()) return QTimer::singleShot(1, poll);
                inWait();
            };
            if (inWait) {
                unit->addFault({sim::FaultKind::Delay, "", "06", 1, 60}); // the version comes slowly
                QTimer::singleShot(0, poll);
            }
            click("btnConnect");
            for (int i = 0; i < 200 && HeldCommandCount() > 0; ++i) QTest::qWait(5);
            click("btnDisconnect");
            return unit->received();
        };
        r.connectViaSetting();
        click("btnDisconnect");
        const QStringList idle = connectTo(next, ext, {});
        connectTo("K5A-NX16", "DI", {}); // the NX16 page on show again
        QWidget *nx16 = r.w->findChild<QWidget *>("frmNX16");
        auto *preset = nx16->findChild<QPushButton *>("cmdPreset(0)");
        if (!preset->isVisibleTo(nx16)) nx16->findChild<QPushButton *>("cmdSet2")->click();
        r.w->findChild<QLineEdit *>("txtPreset(0)")->setText("1234");
        bool heldAtClick = false;
        const QStringList lines = connectTo(next, ext, [&] {
            Click(preset);
            heldAtClick = HeldCommandCount() == 1;
        });
        QVERIFY(heldAtClick);
        QCOMPARE(lines, idle + (runs ? QStringList{"G01", "I11", "D1234"} : QStringList()));
        NO_SURPRISES(r);
    }

    void heldCommandWaitsForTheWholeSequence() {
        SimRig rig(StillUnit("K5A-QB4"), 5, 300);
        rig.unit().addFault({sim::FaultKind::Delay, "", "06", -1, 30});
        QPushButton b;
        QStringList order;
        QString got;
        ConnectCommand(&b, [&]() -> co::Task<> {
            order << "command";
            got = co_await ReadItemRetry(3, "00", "02");
        });
        QTimer::singleShot(10, [&] {
            b.click();
            b.click(); // a second click on a held button adds nothing
        });
        const int wakeUps = HeldCommandWakeUps();
        QSignalSpy waitsEnded(&rig.link(), &Link::waitEnded);
        QStringList versions;
        Runner().run([&]() -> co::Task<> {
            for (int i = 0; i < 3; ++i) {
                versions << co_await ReadItemRetry(3, "00", "06");
                order << "sequence";
            }
        });
        Settle();
        // Not between the sequence's reads, not inside their waits.
        QCOMPARE(versions, QStringList({"VER:1.02", "VER:1.02", "VER:1.02"}));
        QCOMPARE(order, QStringList({"sequence", "sequence", "sequence", "command"}));
        QCOMPARE(HeldCommandCount(), 0);
        QCOMPARE(got, QString("MODEL:K5A-QB4"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I06", "G00", "I06", "G00", "I06", "G00", "I02"}));
        // Looked at no more than once per wait that ended: it never spins while it waits.
        QVERIFY2(HeldCommandWakeUps() - wakeUps <= waitsEnded.size(),
                 qPrintable(QStringLiteral("%1 looks, %2 waits").arg(HeldCommandWakeUps() - wakeUps).arg(waitsEnded.size())));
    }

    void heldClickOnButtonDisabledMeanwhileIsDropped() {
        SimRig rig(StillUnit("K5A-QB4"), 0, 300);
        rig.unit().addFault({sim::FaultKind::Delay, "", "06", 1, 30});
        QPushButton b;
        int runs = 0;
        ConnectCommand(&b, [&] {
            ++runs;
            return co::Ready();
        });
        QTimer::singleShot(10, [&] {
            b.click();
            b.setEnabled(false);
        });
        QCOMPARE(Await(ReadItemRetry(3, "00", "06")), QString("VER:1.02"));
        QTRY_COMPARE(HeldCommandCount(), 0);
        QCOMPARE(runs, 0);
    }

    void stopAndDisconnectActAtOnce() {
        AppRig r(StillUnit("K5A-QB4"), 2000);
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Delay, "", "22", -1, 1500});
        QString statusRightAfter;
        bool openRightAfter = true;
        QTimer::singleShot(30, [&] {
            Click(r.find<QPushButton>("btnDisconnect"));
            statusRightAfter = r.text("lblConStatus");
            openRightAfter = r.link().isOpen();
        });
        QElapsedTimer t;
        t.start();
        Click(r.find<QPushButton>("btnStart"));
        QVERIFY(t.elapsed() < 1000); // the slow reply was not waited for
        QCOMPARE(statusRightAfter, QString("Disconnected"));
        QVERIFY(!openRightAfter);
        QCOMPARE(HeldCommandCount(), 0);
        QCOMPARE(r.buttons(), QString("FFTFTFFF"));
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
