// Performance harness: prints measured ratios. Not a test.
//   vireo_bench link      transaction overhead, CPU while waiting, 9600-baud timing
//   vireo_bench upload    one Upload of the default unit against the instant simulated unit
//   vireo_bench monitor   CPU share of 30 s of monitoring against k5sim at 9600 baud
//   vireo_bench config    File Save and Open of the largest record (QB4 on an Ethernet unit with gateway)
//   vireo_bench all       everything (or a comma-separated list, and the monitoring seconds)
#include "app/Globals.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "app/frmVireo.h"
#include "config/ConfigFile.h"
#include "link/QtSerialDevice.h"
#include "sim/SimDevice.h"
#include "tests/TestKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <ctime>
#include <numeric>

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
bool benchUpload() {
    sim::UnitConfig c; // the default unit: K5A-QB4, 4 channels, 16-point extension, CC-Link
    c.animate = false;
    AppRig rig(c, Link::DefaultTimeoutMs);
    rig.w->link().setTimings(Link::DefaultPauseMs, Link::DefaultTimeoutMs);
    rig.connectViaSetting();
    rig.clearLines();
    QElapsedTimer t;
    t.start();
    rig.w->btnUpload_Click();
    const double wallMs = double(t.nsecsElapsed()) / 1e6;
    const int lines = int(rig.lines().size());
    const double ratio = wallMs / (lines * Link::DefaultPauseMs);
    const bool ok = ratio <= 1.10 && rig.ui.problems().isEmpty();
    report("(d) Upload wall / (command lines x 10 ms)", ratio, "1.10", ok);
    out << QStringLiteral("    %1 lines in %2 ms").arg(lines).arg(wallMs, 0, 'f', 1) << Qt::endl;
    return ok;
}

bool benchMonitor(int seconds) {
    QProcess sim;
    const QString dev = startK5sim(sim, {"--baud", "9600"});
    if (dev.isEmpty()) {
        out << "(e) k5sim did not start" << Qt::endl;
        return false;
    }
    ScriptedUi ui;
    frmVireo w;
    PortMap::choose(1, dev);
    ui.onDialog("frmComPort", ClickComPortOk);
    ui.onDialog("frmExtSelect", ClickExtCommand1);
    w.btnSetting_Click();
    double cpu0 = 0;
    QElapsedTimer t;
    // Measure from the first pass on, so the Upload is not counted.
    QTimer::singleShot(0, [&] {
        cpu0 = cpuSeconds();
        t.start();
    });
    QTimer::singleShot(seconds * 1000, [&] { w.btnStop_Click(); });
    w.btnStart_Click();
    const double wall = double(t.nsecsElapsed()) / 1e9;
    const double share = (cpuSeconds() - cpu0) / wall;
    const bool ok = share < 0.05 && ui.problems().isEmpty();
    report("(e) CPU / wall while monitoring at 9600 baud", share, "0.05", ok);
    out << QStringLiteral("    %1 s monitored").arg(wall, 0, 'f', 1) << Qt::endl;
    w.btnDisconnect_Click();
    sim.terminate();
    sim.waitForFinished(3000);
    return ok;
}
bool benchConfig() {
    sim::UnitConfig c;
    c.model = "K5N-QB4"; // the Ethernet record with its gateway line: the largest there is
    c.ext = "NONE";
    c.animate = false;
    AppRig rig(c);
    rig.connectViaSetting();
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.uJx");
    const int n = 200;
    // Judged by the mean: one run can meet a busy disk (Save waits for the data to reach it).
    auto measure = [&](const char *name, const std::function<bool()> &op) {
        QList<double> ms;
        bool allOk = true;
        for (int i = 0; i < n; ++i) {
            QElapsedTimer t;
            t.start();
            allOk &= op();
            ms << double(t.nsecsElapsed()) / 1e6;
        }
        std::sort(ms.begin(), ms.end());
        const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / n;
        const bool ok = allOk && mean < 50 && rig.ui.problems().isEmpty();
        report(name, mean, "50 ms", ok);
        out << QStringLiteral("    median %1 ms, slowest %2 ms, %3 runs")
                   .arg(ms[n / 2], 0, 'f', 3)
                   .arg(ms.last(), 0, 'f', 3)
                   .arg(n)
            << Qt::endl;
        return ok;
    };
    bool ok = measure("(f) File Save, mean ms", [&] { return cfg::SaveConfigTo(path); });
    ok &= measure("(g) File Open, mean ms", [&] { return cfg::LoadConfigFrom(path); });
    return ok;
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitGlobals();
    const QString arg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("all");
    const QStringList what = arg == "all" ? QStringList{"link", "upload", "monitor", "config"} : arg.split(',');
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 30;
    bool ok = true;
    if (what.contains("link")) ok &= benchLink();
    if (what.contains("upload")) ok &= benchUpload();
    if (what.contains("monitor")) ok &= benchMonitor(seconds > 0 ? seconds : 30);
    if (what.contains("config")) ok &= benchConfig();
    return ok ? 0 : 1;
}
