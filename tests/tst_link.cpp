// The transaction, the command protocol with its retry rules, and the simulated unit's wire.
#include "core/Globals.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "link/QtSerialDevice.h"
#include "sim/PtyHost.h"
#include "tests/TestKit.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {
// A line that answers each written command with scripted chunks.
class RawDevice : public SerialDevice {
public:
    QList<QList<QByteArray>> script;
    QList<QByteArray> written;
    bool open(const QString &, const QString &, QString *) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void write(const QByteArray &b) override {
        written.append(b);
        if (script.isEmpty()) return;
        const QList<QByteArray> chunks = script.takeFirst();
        for (int i = 0; i < chunks.size(); ++i)
            QTimer::singleShot(2 * i, this, [this, c = chunks[i]] {
                m_rx += c;
                emit dataArrived();
            });
    }
    qint64 bytesAvailable() const override { return m_rx.size(); }
    QByteArray readAll() override { return std::exchange(m_rx, {}); }
    void inject(const QByteArray &b) {
        m_rx += b;
        emit dataArrived();
    }

private:
    bool m_open = false;
    QByteArray m_rx;
};

struct RawRig {
    Link link;
    RawDevice *dev;
    RawRig() {
        auto d = std::make_unique<RawDevice>();
        dev = d.get();
        link.setDevice(std::move(d));
        link.setTimings(0, 100);
        Await(link.OpenComPort(1, Link::DefaultSettings));
        Link::setCurrent(&link);
    }
    ~RawRig() { Link::setCurrent(nullptr); }
};

sim::UnitConfig unitWith(const QString &model = "K5A-QB4") {
    sim::UnitConfig c;
    c.model = model;
    c.animate = false;
    return c;
}
} // namespace

class LinkTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        InitGlobals();
        PortMap::clearChoices();
    }

    void transactionJoinsChunksUntilOneEndsWithCarriageReturn() {
        RawRig r;
        r.dev->script = {{"CO", "K\r"}, {"\r"}, {"  1.02 \r"}, {"A\rB", "C\r"}};
        QCOMPARE(Await(r.link.SendCommand("G00\r")), QString("COK"));
        QCOMPARE(r.dev->written.first(), QByteArray("G00\r"));
        QCOMPARE(Await(r.link.SendCommand("I01\r")), QString()); // a lone carriage return
        QCOMPARE(Await(r.link.SendCommand("I06\r")), QString("1.02"));
        // The test looks at the chunk just read: a CR inside a chunk does not end the reply.
        QCOMPARE(Await(r.link.Transact("I07\r")), QString("A\rBC"));
    }

    void transactionGivesUpAfterTimeoutAndDropsPartialInput() {
        RawRig r;
        r.dev->script = {{"COK"}};
        QCOMPARE(Await(r.link.Transact("G00\r")), QString());
        QVERIFY(r.link.TimedOut);
    }

    void closedPortFailsAtOnceWithoutSending() {
        RawRig r;
        r.link.CloseComPort();
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(ReadItemRetry(3, "00", "02")), QString());
        QVERIFY(r.dev->written.isEmpty());
        QVERIFY(t.elapsed() < 200);
    }

    void portClosedDuringWaitEndsTransaction() {
        RawRig r; // nothing scripted: the unit stays silent
        r.link.setTimings(0, 5000);
        QTimer::singleShot(20, [&] { r.link.CloseComPort(); });
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(r.link.Transact("G00\r")), QString());
        QVERIFY(t.elapsed() < 1000);
    }

    void nestedTransactionSendsNothing() {
        RawRig r; // the first command is not answered until the nested attempt is over
        r.link.setTimings(0, 1000);
        QString nested = "unset";
        QTimer::singleShot(0, [&] { nested = Await(r.link.Transact("I02\r")); });
        QTimer::singleShot(30, [&] { r.dev->inject("COK\r"); });
        QCOMPARE(Await(r.link.Transact("G00\r")), QString("COK"));
        QCOMPARE(nested, QString());
        QCOMPARE(r.dev->written, QList<QByteArray>({"G00\r"}));
    }

    void bytesWaitingBeforeTheLineBelongToAnEarlierExchange() {
        RawRig r;
        r.dev->inject("=LATE:1\r");
        r.dev->script = {{"COK\r"}};
        QCOMPARE(Await(r.link.SendCommand("G00\r")), QString("COK"));
    }

    void lateReplyIsNotTakenForTheNextCommand() {
        // The late reply lands in the pause before the retry's line: it must not answer anything.
        SimRig rig(unitWith(), 100, 100);
        rig.unit().addFault({sim::FaultKind::Delay, "", "06", 1, 150});
        QCOMPARE(Await(ReadItem("00", "02")), QString("MODEL:K5A-QB4"));
        QCOMPARE(Await(InquireItemRetry(3, "06")), QString("VER:1.02"));
        QCOMPARE(Await(InquireItemRetry(3, "10")), QString("EXT:XM-DI"));
        QCOMPARE(Await(InquireItemRetry(3, "03")), QString("CH:4CHs"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I02", "I06", "I06", "I10", "I03"}));
    }

    void pauseLetsEventsRunAndStillDelaysTheLine() {
        RawRig r;
        r.link.setTimings(60, 500);
        r.dev->script = {{"COK\r"}};
        QSignalSpy ended(&r.link, &Link::waitEnded);
        bool ranInPause = false, busyInPause = false;
        QString nested = "unset";
        QTimer::singleShot(10, [&] {
            ranInPause = r.dev->written.isEmpty();
            busyInPause = r.link.busy();
            nested = Await(r.link.SendCommand("I02\r")); // a command started inside another's wait
        });
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(r.link.SendCommand("G00\r")), QString("COK"));
        QVERIFY(t.elapsed() >= 60);
        QVERIFY(ranInPause);
        QVERIFY(busyInPause);
        QCOMPARE(nested, QString());
        QCOMPARE(r.dev->written, QList<QByteArray>({"G00\r"}));
        QCOMPARE(ended.size(), 1); // one wait: the pause and its transaction
        QVERIFY(!r.link.busy());
    }

    void disconnectInPauseSendsNothing() {
        RawRig r;
        r.link.setTimings(200, 500);
        QSignalSpy ended(&r.link, &Link::waitEnded);
        QTimer::singleShot(10, [&] { r.link.CloseComPort(); });
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(r.link.SendCommand("G00\r")), QString());
        QVERIFY(t.elapsed() < 150);
        QVERIFY(r.dev->written.isEmpty());
        QCOMPARE(ended.size(), 1);
    }

    void shutDownRefusesEverythingAfter() {
        RawRig r;
        r.link.shutDown();
        QVERIFY(!r.link.isOpen());
        QVERIFY(!Await(r.link.OpenComPort(1, Link::DefaultSettings)));
        QCOMPARE(Await(r.link.SendCommand("G00\r")), QString());
        QVERIFY(r.dev->written.isEmpty());
    }

    void intervalTimerRaisesFlagUntilStopped() {
        Link link;
        bool flag = true;
        link.IntervalTimerOn(10);
        link.IntervalTimerCheck(flag);
        QVERIFY(!flag);
        QTRY_VERIFY_WITH_TIMEOUT((link.IntervalTimerCheck(flag), flag), 1000);
        link.IntervalTimerOff();
        link.IntervalTimerOn(1000);
        link.IntervalTimerCheck(flag);
        QVERIFY(!flag);
        link.IntervalTimerOff();
    }

    void readItemReplyClasses() {
        SimRig rig(unitWith());
        QCOMPARE(Await(ReadItem("00", "02")), QString("MODEL:K5A-QB4"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I02"}));
        QCOMPARE(Await(InquireItem("77")), QString("NEEDLESS")); // CNU
        rig.unit().addFault({sim::FaultKind::Cng, "", "06", 1, 0});
        QCOMPARE(Await(InquireItem("06")), QString("CNG"));
        rig.clearLines();
        QCOMPARE(Await(ReadItem("99", "02")), QString()); // group refused: no inquire line
        QCOMPARE(rig.lines(), QStringList({"G99"}));
    }

    void retryCounts_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("attempts");
        QTest::newRow("0 gives one attempt") << 0 << 1;
        QTest::newRow("1 gives two") << 1 << 2;
        QTest::newRow("3 gives four") << 3 << 4;
    }
    void retryCounts() {
        QFETCH(int, count);
        QFETCH(int, attempts);
        SimRig rig(unitWith(), 0, 30);
        rig.unit().addFault({sim::FaultKind::Silence, "", "02", -1, 0});
        QCOMPARE(Await(ReadItemRetry(count, "00", "02")), QString());
        QCOMPARE(rig.lines().count("I02"), attempts);
        QCOMPARE(rig.lines().count("G00"), attempts);
        rig.clearLines();
        QCOMPARE(Await(InquireItemRetry(count, "02")), QString());
        QCOMPARE(rig.lines().size(), attempts);
    }

    void retryStopsAtFirstAnswer() {
        SimRig rig(unitWith());
        rig.unit().addFault({sim::FaultKind::Silence, "", "02", 2, 0});
        QCOMPARE(Await(ReadItemRetry(3, "00", "02")), QString("MODEL:K5A-QB4"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I02", "G00", "I02", "G00", "I02"}));
        rig.clearLines();
        // "CNG" on the select is a failed attempt; the retry selects again.
        rig.unit().addFault({sim::FaultKind::Cng, "", "", 1, 0});
        QCOMPARE(Await(ReadItemRetry(3, "00", "06")), QString("VER:1.02"));
        QCOMPARE(rig.lines(), QStringList({"G00", "G00", "I06"}));
    }

    void needlessAndCngEndRetriesAtOnce() {
        SimRig rig(unitWith());
        QCOMPARE(Await(ReadItemRetry(3, "00", "55")), QString("NEEDLESS"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I55"}));
        rig.clearLines();
        rig.unit().addFault({sim::FaultKind::Cng, "", "02", -1, 0});
        QCOMPARE(Await(ReadItemRetry(3, "00", "02")), QString("CNG"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I02"}));
    }

    void shortAndPaddedDataReplies() {
        RawRig r;
        r.dev->script = {{"X\r"}, {"X\r"}, {"=1\r"}};
        QCOMPARE(Await(InquireItemRetry(3, "02")), QString("1")); // "X" leaves nothing: retried
        QCOMPARE(r.dev->written.size(), 3);
        r.dev->script = {{"# 1.02\r"}};
        QCOMPARE(Await(InquireItem("06")), QString(" 1.02")); // single attempt keeps the blank
        r.dev->script = {{"# 1.02\r"}};
        QCOMPARE(Await(InquireItemRetry(3, "06")), QString("1.02"));
    }

    void writesNeverSendDataAfterRefusedInquire() {
        SimRig rig(unitWith());
        QCOMPARE(Await(WriteDataRetry(3, "77", "5")), QString()); // the unit answers CNU
        QCOMPARE(rig.lines(), QStringList({"I77", "I77", "I77", "I77"}));
        rig.clearLines();
        rig.unit().addFault({sim::FaultKind::Cng, "", "01", -1, 0});
        QCOMPARE(Await(WriteItemRetry(1, "00", "01", "F")), QString());
        QCOMPARE(rig.lines(), QStringList({"G00", "I01", "G00", "I01"}));
    }

    void writeItemSendsThreeLinesAndReturnsDataReply() {
        SimRig rig(unitWith());
        QCOMPARE(Await(WriteItemRetry(3, "00", "01", "F")), QString("MNTSW:F"));
        QCOMPARE(rig.lines(), QStringList({"G00", "I01", "DF"}));
        QCOMPARE(rig.unit().writes(), QStringList({"0/01=F"}));
        rig.clearLines();
        QCOMPARE(Await(WriteDataRetry(3, "20", "5")), QString()); // group 00 has no item 20: CNU
        QCOMPARE(Await(WriteItemRetry(3, "1", "20", "-100")), QString("ZS:-100"));
        QCOMPARE(rig.unit().value("1", "20"), QString("-100"));
        QCOMPARE(Await(WriteItemRetry(3, "00", "14", "0")), QString("HOLD:ON"));
    }

    void silenceCostsCountPlusOneTimeouts() {
        SimRig rig(unitWith(), 0, 40);
        rig.unit().addFault({sim::FaultKind::Silence, {}, {}, -1, 0});
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(InquireItemRetry(3, "02")), QString());
        QCOMPARE(rig.lines().size(), 4);
        QVERIFY2(t.elapsed() >= 4 * 40, qPrintable(QString::number(t.elapsed())));
    }

    void simFaultsOnTheWire() {
        SimRig rig(unitWith(), 0, 80);
        rig.unit().addFault({sim::FaultKind::Split, "", "02", 1, 4});
        QCOMPARE(Await(ReadItem("00", "02")), QString("MODEL:K5A-QB4"));
        rig.unit().addFault({sim::FaultKind::NoCr, "", "02", 1, 0});
        QCOMPARE(Await(InquireItem("02")), QString());
        QCOMPARE(Await(InquireItem("02")), QString("MODEL:K5A-QB4")); // the unit answers again
        rig.unit().addFault({sim::FaultKind::Garbage, "", "02", 1, 0});
        const QString junk = Await(InquireItem("02"));
        QVERIFY(!junk.isEmpty() && !junk.contains("MODEL"));
        rig.unit().addFault({sim::FaultKind::Delay, "", "02", 1, 20});
        QCOMPARE(Await(InquireItem("02")), QString("MODEL:K5A-QB4"));
        rig.unit().addFault({sim::FaultKind::NeedsInit, "", "03", 1, 0});
        QCOMPARE(Await(InquireItem("03")), QString("CH:Not initialized"));
        QCOMPARE(Await(InquireItem("03")), QString("CH:4CHs"));
    }

    void overlongReplyIsBoundedAndDropped() {
        SimRig rig(unitWith(), 0, 200);
        rig.unit().addFault({sim::FaultKind::OverLong, "", "02", 1, 200000});
        QCOMPARE(Await(ReadItem("00", "02")), QString());
        QCOMPARE(Await(InquireItem("06")), QString("VER:1.02"));
    }

    void vanishingUnitClosesPortAndEndsTransaction() {
        SimRig rig(unitWith(), 0, 2000);
        QSignalSpy lost(&rig.link(), &Link::portLost);
        rig.unit().addFault({sim::FaultKind::Vanish, "", "02", 1, 0});
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(ReadItemRetry(3, "00", "02")), QString());
        QVERIFY(t.elapsed() < 1000);
        QVERIFY(!rig.link().isOpen());
        QCOMPARE(lost.size(), 1);
        QCOMPARE(rig.lines(), QStringList({"G00", "I02"})); // no retries on a dead line
    }

    void openFailureReturnsReasonWithoutMessage() {
        ScriptedUi ui;
        SimRig rig(unitWith());
        rig.link().CloseComPort();
        rig.device().setOpenFailure("the port is in use by another program.");
        qputenv("VIREO_COM3", "/dev/pts/77");
        QSignalSpy chosen(&rig.link(), &Link::comPortSelected);
        QString failure;
        QVERIFY(!Await(rig.link().OpenComPort(3, Link::DefaultSettings, &failure)));
        QCOMPARE(failure, QString("COM3 (/dev/pts/77) cannot be opened: the port is in use by another program."));
        QVERIFY(!rig.link().isOpen());
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toInt(), 3);
        qunsetenv("VIREO_COM3");
        QVERIFY2(ui.problems().isEmpty(), qPrintable(ui.problems()));
    }

    void openWhileOpenKeepsPort() {
        SimRig rig(unitWith());
        QVERIFY(Await(rig.link().OpenComPort(2, Link::DefaultSettings)));
        QCOMPARE(rig.device().openCount(), 1);
    }

    void portMap() {
        qunsetenv("VIREO_COM2");
        QCOMPARE(PortMap::deviceFor(2), QString("/dev/ttyS1"));
        qputenv("VIREO_COM2", "/dev/ttyUSB0");
        QCOMPARE(PortMap::deviceFor(2), QString("/dev/ttyUSB0"));
        PortMap::choose(2, "/dev/pts/9");
        QCOMPARE(PortMap::deviceFor(2), QString("/dev/pts/9"));
        QCOMPARE(PortMap::defaultDeviceFor(2), QString("/dev/ttyUSB0"));
        PortMap::choose(2, "");
        QCOMPARE(PortMap::deviceFor(2), QString("/dev/ttyUSB0"));
        qunsetenv("VIREO_COM2");
    }

    void realSerialPortMissingDevice() {
        Link link;
        PortMap::choose(1, "/dev/no-such-serial-device");
        QString failure;
        QVERIFY(!Await(link.OpenComPort(1, Link::DefaultSettings, &failure)));
        QVERIFY2(failure.startsWith("COM1 (/dev/no-such-serial-device) cannot be opened: the device does not exist"),
                 qPrintable(failure));
    }

    void realSerialPortThroughPseudoTerminal() {
        auto unit = std::make_shared<sim::SimUnit>(unitWith());
        sim::PtyHost host(unit);
        QString err;
        QVERIFY2(host.start(&err), qPrintable(err));
        Link link;
        link.setDevice(std::make_unique<QtSerialDevice>());
        Link::setCurrent(&link);
        link.setTimings(Link::DefaultPauseMs, Link::DefaultTimeoutMs);
        PortMap::choose(1, host.devicePath());
        QVERIFY(Await(link.OpenComPort(1, Link::DefaultSettings)));
        QCOMPARE(Await(ReadItemRetry(3, "00", "02")), QString("MODEL:K5A-QB4"));
        unit->addFault({sim::FaultKind::Split, "", "06", 1, 3});
        QCOMPARE(Await(InquireItemRetry(3, "06")), QString("VER:1.02"));
        QCOMPARE(Await(WriteItemRetry(3, "00", "01", "F")), QString("MNTSW:F"));
        QCOMPARE(unit->received(), QStringList({"G00", "I02", "I06", "G00", "I01", "DF"}));


        // A second program cannot take the same device while we hold it.
        {
            Link other;
            QString failure;
            QVERIFY(!Await(other.OpenComPort(1, Link::DefaultSettings, &failure)));
            QVERIFY2(failure.contains("in use"), qPrintable(failure));
        }

        // The unit goes away: the port closes and the waiting transaction ends.
        QSignalSpy lost(&link, &Link::portLost);
        unit->addFault({sim::FaultKind::Vanish, "", "02", 1, 0});
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(InquireItemRetry(3, "02")), QString());
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!link.isOpen());
        QCOMPARE(lost.size(), 1);
        Link::setCurrent(nullptr);
    }

    void realSerialPortLateReplyAndIdleHangUp() {
        auto unit = std::make_shared<sim::SimUnit>(unitWith());
        sim::PtyHost host(unit);
        QString err;
        QVERIFY2(host.start(&err), qPrintable(err));
        Link link;
        link.setDevice(std::make_unique<QtSerialDevice>());
        Link::setCurrent(&link);
        link.setTimings(Link::DefaultPauseMs, 100);
        PortMap::choose(1, host.devicePath());
        QVERIFY(Await(link.OpenComPort(1, Link::DefaultSettings)));
        QCOMPARE(Await(link.SendCommand("G00\r")), QString("COK"));

        // A reply after the time-out waits in the system's buffer, also across a close and an open.
        unit->addFault({sim::FaultKind::Delay, "", "02", 1, 150});
        QCOMPARE(Await(link.SendCommand("I02\r")), QString());
        link.CloseComPort();
        QTest::qWait(250);
        QVERIFY(Await(link.OpenComPort(1, Link::DefaultSettings)));
        QCOMPARE(Await(link.SendCommand("I06\r")), QString("=VER:1.02"));
        unit->addFault({sim::FaultKind::Delay, "", "02", 1, 150});
        QCOMPARE(Await(link.SendCommand("I02\r")), QString());
        QTest::qWait(100);
        QCOMPARE(Await(link.SendCommand("I06\r")), QString("=VER:1.02"));

        // The other end goes away while nothing is under way: noticed at once, said plainly.
        QSignalSpy lost(&link, &Link::portLost);
        host.hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 2000);
        QCOMPARE(lost.first().first().toString(), QString("the device was removed or closed."));
        QVERIFY(!link.isOpen());
        Link::setCurrent(nullptr);
    }

    // The unit in another process: the port is slept on without the event loop, yet window
    // events still run during the wait, so a Disconnect clicked in it ends it long before the
    // unit's reply; and the time-out stays exact.
    void realSerialPortWaitStillRunsEvents() {
        QProcess sim;
        const QString dev = StartK5sim(sim, {"--delay", "400"}, false);
        QVERIFY(!dev.isEmpty());
        Link link;
        Link::setCurrent(&link);
        link.setTimings(Link::DefaultPauseMs, 1000);
        PortMap::choose(1, dev);
        QVERIFY(Await(link.OpenComPort(1, Link::DefaultSettings)));
        QCOMPARE(Await(link.SendCommand("G00\r")), QString("COK"));
        QTimer::singleShot(30, &link, [&] { link.CloseComPort(); });
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(link.SendCommand("I02\r")), QString());
        QVERIFY2(t.elapsed() < 250, qPrintable(QString::number(t.elapsed())));
        QVERIFY(Await(link.OpenComPort(1, Link::DefaultSettings)));
        QTest::qWait(500); // the late reply lands and is dropped by the next exchange
        link.setTimings(Link::DefaultPauseMs, 200);
        t.restart();
        QCOMPARE(Await(link.SendCommand("I02\r")), QString());
        QVERIFY2(t.elapsed() >= 210 && t.elapsed() < 300, qPrintable(QString::number(t.elapsed())));
        Link::setCurrent(nullptr);
        PortMap::clearChoices();
        sim.terminate();
        sim.waitForFinished(3000);
    }

    void realTimeoutIsThreeSeconds() {
        RawRig r;
        r.link.setTimings(Link::DefaultPauseMs, Link::DefaultTimeoutMs);
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(r.link.SendCommand("G00\r")), QString());
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 3000 && ms < 3500, qPrintable(QString::number(ms)));
    }
};

QTEST_MAIN(LinkTest)
#include "tst_link.moc"
