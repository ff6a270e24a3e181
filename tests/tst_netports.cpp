// Units behind serial device servers (tcp://, rfc2217://) and finding units on many ports: the
// Telnet client against recorded servers, the failures a person meets, Debian's ser2net in
// front of k5sim, and the scan from the command line and from the window.
#include "app/frmFindUnits.h"
#include "app/frmVireo.h"
#include "core/Globals.h"
#include "core/Session.h"
#include "link/Link.h"
#include "link/NetDevice.h"
#include "link/PortDevice.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "link/Rfc2217.h"
#include "sim/PtyHost.h"
#include "sim/TcpHost.h"
#include "tests/TestKit.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using rfc2217::Telnet;

namespace {
QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

// What our client sends once the server takes the option: 9600 baud, 8 data bits, no parity, one
// stop bit, no flow control, and both buffers purged.
const QByteArray LineCommands = hex("fffa2c0100002580fff0 fffa2c0208fff0 fffa2c0301fff0 fffa2c0401fff0"
                                    "fffa2c0501fff0 fffa2c0c03fff0");

// A server on a port of its own that says the given bytes to whoever connects, or hangs up at once.
struct ScriptedServer {
    QTcpServer server;
    QByteArray says;
    bool hangUp = false;
    QList<QTcpSocket *> clients;
    ScriptedServer() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                clients << s;
                if (hangUp) s->disconnectFromHost();
                else if (!says.isEmpty()) s->write(says);
            }
        });
    }
};

sim::UnitConfig still() { return StillUnit("K5A-QB4"); }

QList<QJsonObject> jsonLines(const QByteArray &out) {
    QList<QJsonObject> rows;
    for (const QByteArray &l : out.split('\n'))
        if (const QJsonDocument d = QJsonDocument::fromJson(l); d.isObject()) rows << d.object();
    return rows;
}
} // namespace

class NetPortsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        InitGlobals();
        PortMap::clearChoices();
    }

    void addresses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("raw") << "tcp://cab3-ds:4001" << int(NetAddress::Raw) << "cab3-ds" << 4001;
        QTest::newRow("socket:// is raw too") << "socket://10.0.0.5:23" << int(NetAddress::Raw) << "10.0.0.5" << 23;
        QTest::newRow("rfc2217, IPv6") << "rfc2217://[::1]:4002" << int(NetAddress::Telnet) << "::1" << 4002;
        QTest::newRow("scheme in capitals, options") << "RFC2217://ds:7?ign_set_control" << int(NetAddress::Telnet) << "ds" << 7;
        QTest::newRow("no port") << "tcp://cab3-ds" << int(NetAddress::None) << "" << 0;
        QTest::newRow("port 0") << "tcp://cab3-ds:0" << int(NetAddress::None) << "" << 0;
        QTest::newRow("port too big") << "tcp://cab3-ds:65536" << int(NetAddress::None) << "" << 0;
        QTest::newRow("IPv6 without brackets") << "tcp://::1:4001" << int(NetAddress::None) << "" << 0;
        QTest::newRow("a device path") << "/dev/ttyUSB0" << int(NetAddress::None) << "" << 0;
    }
    void addresses() {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, host);
        QFETCH(int, port);
        const NetAddress a = ParseNetPort(name);
        QCOMPARE(int(a.kind), kind);
        QCOMPARE(a.host, host);
        QCOMPARE(int(a.port), port);
        // A network port names no file: described without one, and passed through as written.
        if (kind != int(NetAddress::None)) {
            QVERIFY(PortInfo::describe(name).description.startsWith("network port"));
            qputenv("VIREO_COM3", name.toUtf8());
            QCOMPARE(PortMap::deviceFor(3), name);
            qunsetenv("VIREO_COM3");
        }
    }

    // The client against what servers said. Each server's bytes are fed whole and byte by byte.
    void telnetClient_data() {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("answers"); // everything the client says after its opening
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("failure");
        // Recorded from Debian's ser2net 4.3 (telnet(rfc2217) accepter), then a reply of the unit.
        const QByteArray ser2net = hex("fffb03 fffd03 fffb01 fffe01 fffd00 fffb00 fffd2c"
                                       "fffa2c6b00fff0 fffd03"
                                       "fffa2c7003fff0 fffa2c6500002580fff0 fffa2c6608fff0 fffa2c6701fff0"
                                       "fffa2c6801fff0 fffa2c6901fff0");
        QTest::newRow("ser2net") << ser2net + "COK\r" << int(Telnet::State::Ready) << hex("fffe01") + LineCommands
                                 << QByteArray("COK\r") << QString();
        QTest::newRow("0xFF in data") << ser2net + hex("3d583affff310d") << int(Telnet::State::Ready)
                                      << hex("fffe01") + LineCommands << hex("3d583aff310d") << QString();
        QTest::newRow("option refused") << hex("fffd00 fffb00 fffe2c") << int(Telnet::State::Refused) << QByteArray()
                                        << QByteArray() << "the device server refused RFC 2217's COM-PORT option";
        QTest::newRow("never answers the option") << hex("fffb03 fffd03") << int(Telnet::State::Negotiating)
                                                  << QByteArray() << QByteArray() << QString();
        QTest::newRow("a raw port: its bytes are data") << QByteArray("COK\r") << int(Telnet::State::Negotiating)
                                                        << QByteArray() << QByteArray("COK\r") << QString();
        QTest::newRow("keeps another line")
            << hex("fffd2c fffa2c65000012c0fff0 fffa2c6608fff0 fffa2c6701fff0 fffa2c6801fff0") << int(Telnet::State::Refused)
            << LineCommands << QByteArray() << "the device server set its port to 4800 8N1, not 9600 8N1";
        // Without binary a CR comes as CR NUL; other options are declined.
        QTest::newRow("no binary, other options") << hex("fffe00 fffc00 fffd18 fffb05 434f4b0d00") << int(Telnet::State::Negotiating)
                                                  << hex("fffc18 fffe05") << QByteArray("COK\r") << QString();
    }
    void telnetClient() {
        QFETCH(QByteArray, server);
        QFETCH(int, state);
        QFETCH(QByteArray, answers);
        QFETCH(QByteArray, data);
        QFETCH(QString, failure);
        for (const bool byteByByte : {false, true}) {
            Telnet t(Telnet::Role::Client);
            QCOMPARE(t.start(), hex("fffb2c fffb00 fffb03 fffd00 fffd03"));
            QByteArray said, got;
            if (byteByByte)
                for (char c : server) got += t.receive(QByteArray(1, c), &said);
            else
                got = t.receive(server, &said);
            QCOMPARE(int(t.state()), state);
            QCOMPARE(said.toHex(' '), answers.toHex(' '));
            QCOMPARE(got.toHex(' '), data.toHex(' '));
            QCOMPARE(t.failure(), failure);
        }
    }

    void telnetClientEscapes() {
        Telnet t(Telnet::Role::Client);
        t.start();
        QByteArray said;
        t.receive(hex("fffd00"), &said); // binary from us
        QCOMPARE(t.encode(hex("49ff0d")), hex("49ffff0d"));
        Telnet nvt(Telnet::Role::Client);
        nvt.start();
        nvt.receive(hex("fffe00"), &said); // no binary from us: CR goes as CR NUL
        QCOMPARE(nvt.encode(hex("49ff0d")), hex("49ffff0d00"));
    }

    // A port that will not open says why, with the address, and waits no longer than the
    // link's time-out.
    void openFailures_data() {
        QTest::addColumn<QString>("kind"); // what the server at the address does
        QTest::addColumn<QString>("reason");
        QTest::newRow("nobody listens") << "closed" << "the connection was refused. Check the device server's address and port";
        QTest::newRow("unknown host") << "unknown" << "the host no-such-host.invalid is not known.";
        QTest::newRow("not an address") << "bad" << "the address is not of the form tcp://HOST:PORT or rfc2217://HOST:PORT";
        QTest::newRow("option refused") << "refuses" << "the device server refused RFC 2217's COM-PORT option. If its "
                                                       "port is a raw TCP port, use tcp://127.0.0.1:";
        QTest::newRow("never answers the option") << "silent" << "the device server did not take up RFC 2217's "
                                                                 "COM-PORT option within 0.3 seconds.";
        QTest::newRow("hangs up at once (in use)") << "hangs up" << "the device server closed the connection at once";
    }
    void openFailures() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        ScriptedServer server;
        server.says = kind == "refuses" ? hex("fffe2c") : QByteArray();
        server.hangUp = kind == "hangs up";
        QString name = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.server.serverPort());
        if (kind == "closed") name = QStringLiteral("tcp://127.0.0.1:%1").arg(FreeTcpPort());
        if (kind == "unknown") name = "tcp://no-such-host.invalid:4001";
        if (kind == "bad") name = "tcp://cab3-ds";
        Link link;
        link.setTimings(0, 300);
        PortMap::choose(2, name);
        QElapsedTimer t;
        t.start();
        QString failure;
        QVERIFY(!Await(link.OpenComPort(2, Link::DefaultSettings, &failure)));
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        const QString start = QStringLiteral("COM2 (%1) cannot be opened: ").arg(name);
        QVERIFY2(failure.startsWith(start + reason), qPrintable(failure));
        QVERIFY(!link.isOpen());
    }

    // With the program's own time-out a host that takes up nothing is given up after 3 s.
    void silentServerGivenUpAtTheLinksTimeout() {
        ScriptedServer server;
        Link link;
        PortMap::choose(1, QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.server.serverPort()));
        QElapsedTimer t;
        t.start();
        QString failure;
        QVERIFY(!Await(link.OpenComPort(1, Link::DefaultSettings, &failure)));
        QVERIFY2(t.elapsed() >= 3000 && t.elapsed() < 3400, qPrintable(QString::number(t.elapsed())));
        QVERIFY2(failure.contains("within 3 seconds"), qPrintable(failure));
        // Setting opens again for the Connect after it: the host is not waited for twice.
        t.restart();
        QVERIFY(!Await(link.OpenComPort(1, Link::DefaultSettings)));
        QVERIFY(t.elapsed() < 100);
    }

    // The simulated unit behind its own RFC 2217 port, reached by an IPv6 address.
    void rfc2217ToTheSimulatedUnit() {
        auto unit = std::make_shared<sim::SimUnit>(still());
        sim::TcpHost host(unit, sim::TcpHost::Mode::Rfc2217);
        QVERIFY(host.start(QHostAddress::LocalHostIPv6, 0));
        QVERIFY(host.portName().startsWith("rfc2217://[::1]:"));
        Link link;
        link.setDevice(std::make_unique<PortDevice>());
        Link::setCurrent(&link);
        PortMap::choose(2, host.portName());
        QSignalSpy opened(&link, &Link::portOpened);
        QVERIFY(Await(link.OpenComPort(2, Link::DefaultSettings)));
        QCOMPARE(opened.first().first().toString(), host.portName());
        QCOMPARE(host.line().text(), QString("9600 8N1"));
        QCOMPARE(host.purges(), 1);
        QCOMPARE(Await(ReadItemRetry(3, "00", "02")), QString("MODEL:K5A-QB4"));
        QCOMPARE(Await(WriteItemRetry(3, "00", "01", "F")), QString("MNTSW:F"));
        // A 0xFF byte crosses both ways as itself.
        unit->setValue("00", "06", QString::fromLatin1("1.\xFF"));
        QCOMPARE(Await(InquireItem("06")), QString::fromLatin1("VER:1.\xFF"));
        Await(link.Transact(QString::fromLatin1("I\xFF\r")));
        QCOMPARE(unit->received(), QStringList({"G00", "I02", "G00", "I01", "DF", "I06", QString::fromLatin1("I\xFF")}));

        // The server drops the connection while nothing is under way: said at once, with the address.
        QSignalSpy lost(&link, &Link::portLost);
        host.dropClient();
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 2000);
        QCOMPARE(lost.first().first().toString(),
                 QStringLiteral("the connection to the device server %1 was closed.").arg(host.portName()));
        QVERIFY(!link.isOpen());
        // And during a transaction: it ends at once, without retries.
        QVERIFY(Await(link.OpenComPort(2, Link::DefaultSettings)));
        unit->clearReceived();
        unit->addFault({sim::FaultKind::Vanish, "", "02", 1, 0});
        link.setTimings(0, 2000);
        QElapsedTimer t;
        t.start();
        QCOMPARE(Await(ReadItemRetry(3, "00", "02")), QString());
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(unit->received(), QStringList({"G00", "I02"}));
        Link::setCurrent(nullptr);
    }

    // k5sim in its own process: a reply after its time-out is no reply to the next line.
    void lateReplyOverTheNetwork() {
        QProcess sim;
        const QString name = StartK5sim(sim, {"--listen", "rfc2217:0", "--fault", "delay:02:1:150"}, false);
        QVERIFY(name.startsWith("rfc2217://127.0.0.1:"));
        Link link;
        Link::setCurrent(&link);
        link.setTimings(Link::DefaultPauseMs, 100);
        PortMap::choose(1, name);
        QVERIFY(Await(link.OpenComPort(1, Link::DefaultSettings)));
        QCOMPARE(Await(link.SendCommand("G00\r")), QString("COK"));
        QCOMPARE(Await(link.SendCommand("I02\r")), QString());
        QTest::qWait(200); // the late reply lands
        QCOMPARE(Await(link.SendCommand("I06\r")), QString("=VER:1.02"));
        Link::setCurrent(nullptr);
        PortMap::clearChoices();
        sim.terminate();
        sim.waitForFinished(3000);
    }

    // Connect, Upload, a verified Download and a monitoring pass through ser2net, raw and
    // RFC 2217, reach the unit as the same lines as through its pseudo-terminal.
    void ser2netCarriesTheSameLines() {
        if (Ser2netProgram().isEmpty()) QSKIP("ser2net is not installed (scripts/setup.sh installs it)");
        QProcess sim;
        const QString pty = StartK5sim(sim, {"--ext", "NONE"});
        QVERIFY(!pty.isEmpty());
        QTemporaryDir dir;
        QProcess ser2net;
        const QStringList names = StartSer2net(ser2net, dir.filePath("ser2net.yaml"), {{pty, false}, {pty, true}});
        QVERIFY2(names.size() == 2, ser2net.readAll().constData());
        QList<QStringList> lines;
        qsizetype before = 0;
        for (const QString &port : QStringList{pty, names[0], names[1]}) {
            InitGlobals();
            ScriptedUi ui;
            frmVireo w;
            PortMap::choose(1, port);
            ui.onDialog("frmComPort", ClickComPortOk);
            Click(w.findChild<QPushButton *>("btnSetting"));
            QCOMPARE(w.findChild<QLabel *>("lblConStatus")->text(), QString("Connected"));
            QVERIFY(w.findChild<QLabel *>("lblDevice")->text().startsWith("(" + port));
            QSignalSpy note(&w.session(), &Session::noteShown);
            Click(w.findChild<QPushButton *>("btnDownload"));
            QVERIFY(!note.isEmpty() && note.last().first().toString().startsWith("Download verified"));
            auto once = std::make_shared<QMetaObject::Connection>();
            *once = QObject::connect(&w.session().link(), &Link::waitEnded, &w, [&w, once] {
                QObject::disconnect(*once);
                w.session().commandStop();
            });
            Await(w.session().commandStart());
            w.session().commandDisconnect();
            NO_SURPRISES(ui);
            const QStringList all = K5simLines(sim);
            lines << all.mid(before);
            before = all.size();
            // ser2net lets the device go a moment after its connection closes.
            QTest::qWait(100);
        }
        QVERIFY(lines[0].size() > 20);
        QCOMPARE(lines[1], lines[0]);
        QCOMPARE(lines[2], lines[0]);
        ser2net.terminate();
        ser2net.waitForFinished(3000);
        sim.terminate();
        sim.waitForFinished(3000);
    }

    // vireo-cli scan over a unit on a pseudo-terminal, one behind a network port, a silent one, one
    // in use, and an address nobody answers; none of them written to.
    void scanFromTheCommandLine() {
        QProcess live, silent, net;
        const QString livePty = StartK5sim(live, {"--model", "K5G-QB4", "--unit-version", "2.10"});
        const QString silentPty = StartK5sim(silent, {"--fault", "silence"});
        const QString netPort = StartK5sim(net, {"--listen", "tcp:0", "--model", "K5B-QK4"});
        sim::PtyHost busyHost(std::make_shared<sim::SimUnit>(still()));
        QVERIFY(busyHost.start());
        QSerialPort holder(busyHost.devicePath()); // another program holds this one
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const QString refused = QStringLiteral("tcp://127.0.0.1:%1").arg(FreeTcpPort());
        const QStringList ports = {livePty, silentPty, netPort, busyHost.devicePath(), refused};

        auto scan = [](const QStringList &ports) {
            QProcess cli;
            QStringList args = {"scan", "--json"};
            for (const QString &p : ports) args << "--port" << p;
            cli.start(BuildFile("vireo-cli"), args);
            cli.waitForFinished(10000);
            return std::make_pair(cli.exitCode(), jsonLines(cli.readAllStandardOutput()));
        };
        QElapsedTimer t;
        t.start();
        const auto [exit, rows] = scan(ports);
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(exit, 0);
        QMap<QString, QString> seen; // port: result model version network
        for (const QJsonObject &o : rows)
            seen[o["port"].toString()] = QStringList{o["result"].toString(), o["model"].toString(), o["version"].toString(),
                                                     o["network"].toString(), o["detail"].toString()}
                                             .join('|');
        QCOMPARE(seen.value(livePty), QString("unit|K5G-QB4|2.10|Modbus|"));
        QCOMPARE(seen.value(netPort), QString("unit|K5B-QK4|1.02|DeviceNet|"));
        QCOMPARE(seen.value(silentPty), QString("no unit||||no answer"));
        QCOMPARE(seen.value(busyHost.devicePath()), QString("in use||||in use by another program"));
        QVERIFY2(seen.value(refused).startsWith("cannot open||||the connection was refused."), qPrintable(seen.value(refused)));
        // The identification's first questions only, each once; the silent unit was asked twice.
        QCOMPARE(K5simLines(live), QStringList({"G00", "I02", "I06"}));
        QCOMPARE(K5simLines(net), QStringList({"G00", "I02", "I06"}));
        QCOMPARE(K5simLines(silent), QStringList({"G00", "G00"}));
        QVERIFY(busyHost.unit().received().isEmpty());

        QCOMPARE(scan({silentPty, busyHost.devicePath()}).first, 2);
        for (QProcess *p : {&live, &silent, &net}) {
            p->terminate();
            p->waitForFinished(3000);
        }
    }

    // File > Find Units... lists the unit as it answers and connects it; the COM dialog's Find
    // fills the chosen port into the option selected.
    void findUnitsInTheWindow() {
        auto unit = std::make_shared<sim::SimUnit>(StillUnit("K5A-QB4", "NONE"));
        sim::PtyHost host(unit);
        QVERIFY(host.start());
        AppRig rig(StillUnit("K5A-QB4", "NONE"));
        PortMap::choose(4, host.devicePath()); // a typed device the system does not list is tried too
        QStringList firstRow; // port, model, network of the row on top
        auto pick = [&](QDialog *d) -> int {
            auto *f = qobject_cast<frmFindUnits *>(d);
            if (!QTest::qWaitFor([f] { return !f->finding() && f->tblUnits->rowCount() > 0; }, 3000)) return 0;
            firstRow.clear();
            for (int col : {0, 2, 4}) firstRow << (f->tblUnits->item(0, col) ? f->tblUnits->item(0, col)->text() : QString());
            f->tblUnits->selectRow(0);
            Click(f->btnConnect);
            return f->result();
        };
        const QStringList found = {host.devicePath(), "K5A-QB4", "CC-Link"};
        rig.ui.onDialog("frmFindUnits", pick);
        rig.press("mnuFilesFind");
        QCOMPARE(firstRow, found);
        QCOMPARE(unit->received(), QStringList({"G00", "I02", "I06"}));
        QCOMPARE(PortMap::deviceFor(1), host.devicePath());
        QCOMPARE(rig.device->lastPortName(), host.devicePath());
        QCOMPARE(rig.text("lblConStatus"), QString("Connected"));

        rig.session().commandDisconnect();
        PortMap::clearChoices();
        PortMap::choose(6, host.devicePath());
        QString filled;
        rig.ui.onDialog("frmComPort", [&](QDialog *d) {
            auto *com = qobject_cast<frmComPort *>(d);
            com->optCom[3]->setChecked(true);
            Click(com->btnFind);
            filled = com->cmbDevice[3]->currentText();
            return ClickComPortOk(d);
        });
        rig.ui.onDialog("frmFindUnits", pick);
        rig.press("btnSetting");
        QCOMPARE(firstRow, found);
        QCOMPARE(filled, host.devicePath());
        QCOMPARE(PortMap::deviceFor(3), host.devicePath());
        QCOMPARE(g.ComPortNo, 3);
        NO_SURPRISES(rig);
    }
};

QTEST_MAIN(NetPortsTest)
#include "tst_netports.moc"
