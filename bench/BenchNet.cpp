// The bench's part for units behind device servers and for finding units.
//   net       a transaction through ser2net on the loopback, raw and RFC 2217, against the unit's
//             pseudo-terminal directly, at 9600 baud
//   netmany   vireo-cli download to eight units through eight ser2net ports at once against one
//   scan      vireo-cli scan of eight ports with one unit on them
#include "bench/BenchNet.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "tests/TestKit.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

namespace {
QTextStream out(stdout);

void report(const char *name, double value, const char *limitText, bool ok) {
    out << QStringLiteral("%1: %2  (limit %3)  %4").arg(name).arg(value, 0, 'f', 4).arg(limitText).arg(ok ? "ok" : "OVER")
        << Qt::endl;
}

void stop(QProcess &p) {
    p.terminate();
    p.waitForFinished(3000);
}

// Milliseconds per transaction through the port, the best of three rounds.
double transactionMs(const QString &port, int n) {
    Link link;
    Link::setCurrent(&link);
    PortMap::choose(1, port);
    double best = 1e9;
    QString failure;
    const bool opened = Await(link.OpenComPort(1, Link::DefaultSettings, &failure));
    if (!opened) out << "    " << failure << Qt::endl;
    if (opened && Await(link.SendCommand("G00\r")) == "COK") {
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer t;
            t.start();
            int answered = 0;
            for (int i = 0; i < n; ++i) answered += Await(link.SendCommand("I02\r")).isEmpty() ? 0 : 1;
            if (answered == n) best = std::min(best, double(t.nsecsElapsed()) / 1e6 / n);
        }
    }
    link.CloseComPort();
    Link::setCurrent(nullptr);
    PortMap::clearChoices();
    return best;
}
} // namespace

bool benchNet() {
    if (Ser2netProgram().isEmpty()) {
        out << "(l) ser2net is not installed" << Qt::endl;
        return false;
    }
    QProcess sim;
    const QString pty = StartK5sim(sim, {"--baud", "9600", "--delay", "5"}, false);
    QTemporaryDir dir;
    QProcess ser2net;
    const QStringList names = StartSer2net(ser2net, dir.filePath("ser2net.yaml"), {{pty, false}, {pty, true}});
    if (pty.isEmpty() || names.size() != 2) {
        out << "(l) k5sim or ser2net did not start" << Qt::endl;
        return false;
    }
    const int n = 100;
    const double direct = transactionMs(pty, n);
    bool ok = direct < 1e9;
    for (int i = 0; i < 2; ++i) {
        // ser2net lets the device go a moment after the connection before closes.
        QThread::msleep(200);
        const double through = transactionMs(names[i], n);
        const double ratio = through / direct;
        const bool good = through < 1e9 && ratio <= 1.05;
        ok &= good;
        report(i == 0 ? "(l) transaction through ser2net raw TCP / pseudo-terminal, 9600 baud"
                      : "(l) transaction through ser2net RFC 2217 / pseudo-terminal, 9600 baud",
               ratio, "1.05", good);
        out << QStringLiteral("    %1 ms a transaction through %2, %3 ms directly").arg(through, 0, 'f', 3).arg(names[i])
                   .arg(direct, 0, 'f', 3)
            << Qt::endl;
    }
    stop(ser2net);
    stop(sim);
    return ok;
}

// As (j), each unit behind a ser2net port of its own (RFC 2217), one ser2net for all eight.
bool benchNetMany() {
    QTemporaryDir dir;
    const QString file = dir.filePath("f.uJx");
    {
        AppRig rig(StillUnit("K5A-QB4"));
        rig.connectViaSetting();
        rig.ui.onSaveFile(file);
        rig.press("mnuFilesSave");
    }
    QProcess sims[8];
    QList<Ser2netPort> ports;
    for (QProcess &s : sims) ports << Ser2netPort{StartK5sim(s, {"--ext", "NONE", "--baud", "9600"}, false), true};
    QProcess ser2net;
    const QStringList names = StartSer2net(ser2net, dir.filePath("ser2net.yaml"), ports);
    if (names.size() != 8) {
        out << "(m) k5sim or ser2net did not start" << Qt::endl;
        return false;
    }
    auto run = [&](int units, double &wall) {
        QStringList args = {"download", file, "--quiet"};
        for (int i = 0; i < units; ++i) args << "--port" << names[i];
        QElapsedTimer t;
        t.start();
        QProcess cli;
        cli.start(BuildFile("vireo-cli"), args);
        cli.waitForFinished(120000);
        wall = double(t.nsecsElapsed()) / 1e9;
        return cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
    };
    double one = 0, eight = 0;
    bool ok = run(1, one) && run(8, eight);
    const double ratio = eight / one;
    ok = ok && ratio <= 1.15;
    report("(m) download to eight units through ser2net at once / to one, 9600 baud", ratio, "1.15", ok);
    out << QStringLiteral("    one unit %1 s, eight %2 s").arg(one, 0, 'f', 2).arg(eight, 0, 'f', 2) << Qt::endl;
    stop(ser2net);
    for (QProcess &s : sims) stop(s);
    return ok;
}

// Eight ports, one unit: the other seven are silent units, which cost a port the most (both
// tries of its first exchange run to their time-out). The machine's own serial ports come too.
bool benchScan() {
    QProcess sims[8];
    QStringList args = {"scan", "--json"};
    for (int i = 0; i < 8; ++i)
        args << "--port" << StartK5sim(sims[i], i == 3 ? QStringList{} : QStringList{"--fault", "silence"}, false);
    if (args.contains(QString())) return false;
    double best = 1e9;
    int units = -1, lines = 0;
    for (int run = 0; run < 3; ++run) {
        QProcess cli;
        QElapsedTimer t;
        t.start();
        cli.start(BuildFile("vireo-cli"), args);
        cli.waitForFinished(10000);
        best = std::min(best, double(t.nsecsElapsed()) / 1e9);
        const QByteArray text = cli.readAllStandardOutput();
        units = int(text.count("\"result\":\"unit\""));
        lines = int(text.count('\n'));
    }
    const bool ok = best < 1.5 && units == 1;
    report("(n) vireo-cli scan of 8 ports with one unit (s)", best, "1.5 s", ok);
    out << QStringLiteral("    %1 ports listed, %2 unit, best of three runs of the whole program").arg(lines).arg(units)
        << Qt::endl;
    for (QProcess &s : sims) stop(s);
    return ok;
}
