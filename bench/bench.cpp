// Performance harness: prints measured ratios. Not a test.
//   vireo_bench link     transaction overhead, CPU while waiting, 9600-baud timing
#include "app/Globals.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "sim/SimDevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QApplication>
#include <QTextStream>
#include <ctime>

namespace {
QTextStream out(stdout);

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Starts k5sim in its own process and returns the device path it reports.
QString startK5sim(QProcess &p, const QStringList &args) {
    const QString exe = QDir(QCoreApplication::applicationDirPath()).filePath("k5sim");
    p.setProgram(exe);
    p.setArguments(args + QStringList{"--still"});
    p.start();
    if (!p.waitForStarted(5000)) return {};
    QString path;
    QElapsedTimer t;
    t.start();
    while (path.isEmpty() && t.elapsed() < 5000) {
        p.waitForReadyRead(200);
        while (p.canReadLine()) {
            const QString line = QString::fromLocal8Bit(p.readLine()).trimmed();
            if (line.startsWith("VIREO_COM1=")) path = line.mid(11);
        }
    }
    return path;
}

void report(const char *name, double value, const char *limitText, bool ok) {
    out << QStringLiteral("%1: %2  (limit %3)  %4").arg(name).arg(value, 0, 'f', 4).arg(limitText).arg(ok ? "ok" : "OVER")
        << Qt::endl;
}

bool benchLink() {
    bool allOk = true;
    const int n = 200;
    // (a) against the simulated unit answering at once: overhead over the 10 ms pause.
    {
        sim::UnitConfig c;
        c.animate = false;
        auto unit = std::make_shared<sim::SimUnit>(c);
        Link link;
        link.setDevice(std::make_unique<sim::SimDevice>(unit));
        Link::setCurrent(&link);
        link.OpenComPort();
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < n; ++i) link.SendCommand("I02\r");
        const double ratio = double(t.nsecsElapsed()) / (n * Link::DefaultPauseMs * 1e6);
        const bool ok = ratio <= 1.05;
        allOk &= ok;
        report("(a) wall / (200 x 10 ms), instant unit", ratio, "1.05", ok);
        Link::setCurrent(nullptr);
    }
    // (b) over a real pseudo-terminal, unit taking 20 ms: our CPU time while we wait.
    {
        QProcess sim;
        const QString dev = startK5sim(sim, {"--delay", "20"});
        if (dev.isEmpty()) {
            out << "(b) k5sim did not start" << Qt::endl;
            return false;
        }
        Link link;
        Link::setCurrent(&link);
        PortMap::choose(1, dev);
        link.OpenComPort();
        link.SendCommand("G00\r");
        const double cpu0 = cpuSeconds();
        QElapsedTimer t;
        t.start();
        int answered = 0;
        for (int i = 0; i < n; ++i) answered += link.SendCommand("I02\r").isEmpty() ? 0 : 1;
        const double wall = double(t.nsecsElapsed()) / 1e9;
        const double share = (cpuSeconds() - cpu0) / wall;
        const bool ok = share < 0.05 && answered == n;
        allOk &= ok;
        report("(b) CPU / wall, pseudo-terminal, 20 ms unit", share, "0.05", ok);
        link.CloseComPort();
        Link::setCurrent(nullptr);
        sim.terminate();
        sim.waitForFinished(3000);
    }
    // (c) 9600-baud emulation: each transaction near pause + wire time + turnaround.
    {
        QProcess sim;
        const int delayMs = 5;
        const QString dev = startK5sim(sim, {"--baud", "9600", "--delay", QString::number(delayMs)});
        Link link;
        Link::setCurrent(&link);
        PortMap::choose(1, dev);
        link.OpenComPort();
        link.SendCommand("G00\r");
        const QString cmd = "I02\r";
        QElapsedTimer t;
        t.start();
        QString reply;
        for (int i = 0; i < n; ++i) reply = link.SendCommand(cmd);
        const double perMs = double(t.nsecsElapsed()) / 1e6 / n;
        // Reply bytes: the text plus its carriage return.
        const int wireBytes = int(cmd.size()) + int(reply.size()) + 1;
        const double expected = Link::DefaultPauseMs + wireBytes * 10.0 * 1000.0 / 9600.0 + delayMs;
        const double ratio = perMs / expected;
        const bool ok = ratio >= 0.95 && ratio <= 1.05 && !reply.isEmpty();
        allOk &= ok;
        report("(c) transaction / (pause + wire + turnaround), 9600 baud", ratio, "0.95..1.05", ok);
        out << QStringLiteral("    %1 ms per transaction, %2 ms expected (%3 bytes)").arg(perMs, 0, 'f', 2)
                   .arg(expected, 0, 'f', 2).arg(wireBytes)
            << Qt::endl;
        link.CloseComPort();
        Link::setCurrent(nullptr);
        sim.terminate();
        sim.waitForFinished(3000);
    }
    return allOk;
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    InitGlobals();
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("all");
    bool ok = true;
    if (what == "link" || what == "all") ok &= benchLink();
    return ok ? 0 : 1;
}
