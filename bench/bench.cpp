// Performance harness: prints measured ratios. Not a test.
//   vireo_bench link      transaction overhead, CPU while waiting, 9600-baud timing
//   vireo_bench upload    one Upload of the default unit against the instant simulated unit
//   vireo_bench temperature  one Upload of a QK4 unit at 9600 baud against the wire floor
//   vireo_bench kinds     the Upload of each of the 26 I/O kinds at 9600 baud against its wire floor
//                         (kinds:K5N-NX8 one of them)
//   vireo_bench monitor   CPU share of 30 s of monitoring against k5sim at 9600 baud
//   vireo_bench events    delay of events posted to the main window while monitoring an instant unit
//   vireo_bench tools     the same with the communication log and the trend open
//   vireo_bench hour      resident memory over a simulated hour of monitoring with log and trend open
//   vireo_bench config    File Save and Open of the largest files (positioning and eight-channel input, Ethernet)
//   vireo_bench verify    what the verification adds to a Download of the largest page
//   vireo_bench compare   a Compare with Unit at 9600 baud against its wire floor
//   vireo_bench many      vireo-cli download to eight units at 9600 baud at once against one
//   vireo_bench net       a transaction through ser2net (raw, RFC 2217) against the pseudo-terminal directly
//   vireo_bench netmany   the same as many, each unit behind a ser2net port
//   vireo_bench scan      vireo-cli scan of eight ports with one unit
//   vireo_bench all       everything (or a comma-separated list, and the monitoring seconds)
#include "core/Globals.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "app/frmVireo.h"
#include "core/Session.h"
#include <QAction>
#include <QPushButton>
#include "config/ConfigFile.h"
#include "link/QtSerialDevice.h"
#include "sim/SimDevice.h"
#include "bench/BenchCommissioning.h"
#include "bench/BenchNet.h"
#include "tests/TestKit.h"
#include "pages/Page.h"
#include "tools/CommLog.h"
#include "tools/TrendWindow.h"

#include <QDateTime>
#include <QMap>
#include <QFile>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <atomic>
#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <numeric>
#include <thread>

namespace {
QTextStream out(stdout);

// User and system CPU seconds of this process.
std::pair<double, double> cpuSplit() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return {double(u.ru_utime.tv_sec) + double(u.ru_utime.tv_usec) / 1e6,
            double(u.ru_stime.tv_sec) + double(u.ru_stime.tv_usec) / 1e6};
}

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// k5sim in its own process, its lines not logged: the device path it reports.
QString startK5sim(QProcess &p, const QStringList &args) { return StartK5sim(p, args, false); }

void report(const char *name, double value, const char *limitText, bool ok) {
    out << QStringLiteral("%1: %2  (limit %3)  %4").arg(name).arg(value, 0, 'f', 4).arg(limitText).arg(ok ? "ok" : "OVER")
        << Qt::endl;
}

// The reference: the same transactions on the same port by a loop that does nothing else, the
// pause slept, the reply read in poll(). CPU over wall; -1 when the port does not open.
double bareLoopShare(const QString &dev, int n, int *answered) {
    const int fd = ::open(dev.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) return -1;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    tcflush(fd, TCIOFLUSH);
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    *answered = 0;
    for (int i = 0; i < n; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(Link::DefaultPauseMs));
        if (::write(fd, "I02\r", 4) != 4) break;
        QByteArray reply;
        while (!reply.endsWith('\r')) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, Link::DefaultTimeoutMs) <= 0) break;
            char buf[256];
            const ssize_t got = ::read(fd, buf, sizeof buf);
            if (got <= 0) break;
            reply.append(buf, int(got));
        }
        if (reply.endsWith('\r')) ++*answered;
    }
    const double share = (cpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
    ::close(fd);
    return share;
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
        Await(link.OpenComPort(1, Link::DefaultSettings));
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < n; ++i) Await(link.SendCommand("I02\r"));
        const double ratio = double(t.nsecsElapsed()) / (n * Link::DefaultPauseMs * 1e6);
        const bool ok = ratio <= 1.05;
        allOk &= ok;
        report("(a) wall / (200 x 10 ms), instant unit", ratio, "1.05", ok);
        Link::setCurrent(nullptr);
    }
    // (a2) What the communication log costs a transaction while its window is closed: it
    // records from start-up. Transactions without the pause, so that nothing hides it.
    {
        sim::UnitConfig c;
        c.animate = false;
        auto unit = std::make_shared<sim::SimUnit>(c);
        Link link;
        link.setDevice(std::make_unique<sim::SimDevice>(unit));
        link.setTimings(0, Link::DefaultTimeoutMs);
        Link::setCurrent(&link);
        Await(link.OpenComPort(1, Link::DefaultSettings));
        const int m = 20000;
        auto cpuPerTransactionUs = [&] {
            double best = 1e9;
            for (int round = 0; round < 5; ++round) {
                const double cpu0 = cpuSeconds();
                for (int i = 0; i < m / 5; ++i) Await(link.SendCommand("I02\r"));
                unit->clearReceived();
                best = std::min(best, (cpuSeconds() - cpu0) * 1e6 / (m / 5));
            }
            return best;
        };
        const double bare = cpuPerTransactionUs();
        CommLog log;
        log.hide();
        log.setLink(&link);
        const double logged = cpuPerTransactionUs();
        const double extraUs = logged - bare;
        // Against the shortest transaction there is, the 10 ms pause alone, 10 us is a thousandth.
        const bool ok = extraUs <= 10 && log.entryCount() == CommLog::DefaultMaxEntries;
        allOk &= ok;
        report("(a2) closed log's CPU per transaction (us)", extraUs, "10", ok);
        out << QStringLiteral("    %1 us a transaction without the log, %2 us with it closed (%3 entries kept)")
                   .arg(bare, 0, 'f', 2).arg(logged, 0, 'f', 2).arg(log.entryCount())
            << Qt::endl;
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
        Await(link.OpenComPort(1, Link::DefaultSettings));
        Await(link.SendCommand("G00\r"));
        const double cpu0 = cpuSeconds();
        const auto split0 = cpuSplit();
        QElapsedTimer t;
        t.start();
        // One command of n transactions, as monitoring runs them: the main loop waits between.
        auto transactions = [&]() -> co::Task<int> {
            int got = 0;
            for (int i = 0; i < n; ++i) {
                const QString reply = co_await link.SendCommand("I02\r");
                if (!reply.isEmpty()) ++got;
            }
            co_return got;
        };
        const int answered = Await(transactions());
        const double wall = double(t.nsecsElapsed()) / 1e9;
        const double share = (cpuSeconds() - cpu0) / wall;
        const auto split1 = cpuSplit();
        link.CloseComPort();
        int bareAnswered = 0;
        const double bare = bareLoopShare(dev, n, &bareAnswered);
        report("(b0) reference: CPU / wall of a bare transaction loop, same port", bare, "-", bare > 0 && bareAnswered == n);
        const bool ok = share <= 0.005 && answered == n && bare > 0 && bareAnswered == n && share <= 1.5 * bare;
        allOk &= ok;
        report("(b) CPU / wall, pseudo-terminal, 20 ms unit", share, "0.005", ok);
        report("(b) against the bare loop", bare > 0 ? share / bare : 0, "1.5", ok);
        out << QStringLiteral("    per transaction: %1 us in the program, %2 us in the system")
                   .arg((split1.first - split0.first) * 1e6 / n, 0, 'f', 0)
                   .arg((split1.second - split0.second) * 1e6 / n, 0, 'f', 0)
            << Qt::endl;
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
        Await(link.OpenComPort(1, Link::DefaultSettings));
        Await(link.SendCommand("G00\r"));
        const QString cmd = "I02\r";
        QElapsedTimer t;
        t.start();
        QString reply;
        for (int i = 0; i < n; ++i) reply = Await(link.SendCommand(cmd));
        const double perMs = double(t.nsecsElapsed()) / 1e6 / n;
        // Reply bytes: the text plus its carriage return.
        const int wireBytes = int(cmd.size()) + int(reply.size()) + 1;
        const double expected = Link::DefaultPauseMs + wireBytes * 10.0 * 1000.0 / 9600.0 + delayMs;
        const double ratio = perMs / expected;
        const bool ok = ratio >= 0.99 && ratio <= 1.01 && !reply.isEmpty();
        allOk &= ok;
        report("(c) transaction / (pause + wire + turnaround), 9600 baud", ratio, "0.99..1.01", ok);
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
    rig.link().setTimings(Link::DefaultPauseMs, Link::DefaultTimeoutMs);
    rig.connectViaSetting();
    rig.clearLines();
    QElapsedTimer t;
    t.start();
    Await(rig.session().commandUpload());
    const double wallMs = double(t.nsecsElapsed()) / 1e6;
    const int lines = int(rig.lines().size());
    const double ratio = wallMs / (lines * Link::DefaultPauseMs);
    const bool ok = ratio <= 1.10 && rig.ui.problems().isEmpty();
    report("(d) Upload wall / (command lines x 10 ms)", ratio, "1.10", ok);
    out << QStringLiteral("    %1 lines in %2 ms").arg(lines).arg(wallMs, 0, 'f', 1) << Qt::endl;
    return ok;
}

// A full Upload of a unit at 9600 baud, in-process, against its wire floor: per transaction
// the 10 ms pause and its command and reply bytes at 10 bits a byte. The best of three
// Uploads, as the machine's other load only ever adds.
struct UploadFloor {
    double ratio = 0;
    int lines = 0;
    double wallMs = 0, floorMs = 0;
    QList<double> runs;
    bool clean = false;
};

UploadFloor uploadAgainstFloor(const QString &model, const QString &ext = "NONE") {
    sim::UnitConfig c;
    c.model = model;
    c.ext = ext;
    c.animate = false;
    AppRig rig(c, Link::DefaultTimeoutMs);
    rig.device->endpoint().setTiming({0, 9600});
    rig.link().setTimings(Link::DefaultPauseMs, Link::DefaultTimeoutMs);
    rig.connectViaSetting();
    QList<int> starts;
    QList<double> walls;
    for (int run = 0; run < 3; ++run) {
        starts << int(rig.lines().size());
        QElapsedTimer t;
        t.start();
        Await(rig.session().commandUpload());
        walls << double(t.nsecsElapsed()) / 1e6;
    }
    starts << int(rig.lines().size());
    // The replies' lengths: the same lines replayed on a twin of the unit.
    sim::SimUnit twin(c);
    const QStringList lines = rig.lines();
    QList<double> floors(3, 0.0);
    for (int i = 0; i < lines.size(); ++i) {
        const sim::Reply reply = twin.handleLine(lines[i]);
        for (int run = 0; run < 3; ++run)
            if (i >= starts[run] && i < starts[run + 1])
                floors[run] += Link::DefaultPauseMs + (lines[i].size() + 1 + reply.bytes.size()) * 10.0 * 1000.0 / 9600.0;
    }
    // A page's own settling pauses in its first reading belong to the floor too: the K5N-NX8 waits
    // 50 ms after its points and 10 ms after each of its eight counts.
    static const QMap<QString, double> pageWaitsMs = {{"K5N-NX8", 50 + 8 * 10}};
    for (double &f : floors) f += pageWaitsMs.value(model, 0);
    UploadFloor u;
    int best = 0;
    for (int run = 0; run < 3; ++run) {
        u.runs << walls[run] / floors[run];
        if (u.runs[run] < u.runs[best]) best = run;
    }
    u.ratio = u.runs[best];
    u.lines = starts[best + 1] - starts[best];
    u.wallMs = walls[best];
    u.floorMs = floors[best];
    u.clean = rig.ui.problems().isEmpty() && u.lines > 0;
    return u;
}

// (f) A full Upload of a 4-channel temperature unit at 9600 baud against its wire floor.
bool benchTemperatureUpload() {
    const UploadFloor u = uploadAgainstFloor("K5A-QK4", "DI");
    const bool ok = u.ratio <= 1.05 && u.clean;
    report("(f) QK4 Upload wall / wire floor, 9600 baud", u.ratio, "1.05", ok);
    out << QStringLiteral("    %1 lines in %2 ms, floor %3 ms (runs: %4, %5, %6)")
               .arg(u.lines)
               .arg(u.wallMs, 0, 'f', 1)
               .arg(u.floorMs, 0, 'f', 1)
               .arg(u.runs[0], 0, 'f', 4)
               .arg(u.runs[1], 0, 'f', 4)
               .arg(u.runs[2], 0, 'f', 4)
        << Qt::endl;
    return ok;
}

// (k) The Upload of every I/O kind at 9600 baud against its wire floor: what a page does
// between its transactions must not show beside the wire.
bool benchKinds(const QString &only) {
    static const char *const models[] = {
        "K5A-QB4", "K5A-QK4",   "K5A-QW4",  "K5A-WB2",  "K5A-WC2",  "K5G-KO16", "K5A-KI16",  "K5A-QJ4",  "K5A-QX4V",
        "K5A-KI8R", "K5A-NX16", "K5A-QH4",  "K5A-WB4",  "K5A-WC4",  "K5A-NX8",  "K5A-ZWBW2", "K5A-HM8",  "K5A-NX2",
        "K5A-QBW8", "K5A-WB4Y", "K5A-KOR16", "K5A-GZ2", "K5VS-GZ2", "K5N-NX8",  "K5A-QZ4U",  "K5A-KI4H"};
    bool allOk = true;
    double worst = 0;
    for (const char *model : models) {
        if (!only.isEmpty() && only != model) continue;
        const UploadFloor u = uploadAgainstFloor(model);
        const bool ok = u.ratio <= 1.02 && u.clean;
        allOk &= ok;
        worst = qMax(worst, u.ratio);
        out << QStringLiteral("(k) %1 Upload wall / wire floor, 9600 baud: %2  (limit 1.02)  %3   %4 lines, %5 ms, floor %6 ms")
                   .arg(model, -9)
                   .arg(u.ratio, 0, 'f', 4)
                   .arg(ok ? "ok" : "OVER")
                   .arg(u.lines)
                   .arg(u.wallMs, 0, 'f', 1)
                   .arg(u.floorMs, 0, 'f', 1)
            << Qt::endl;
    }
    report("(k) worst of the 26 kinds", worst, "1.02", allOk);
    return allOk;
}

// Resident memory of this process, in MB.
double residentMb() {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// Opens the communication log and the trend as the person would, on screen.
void openTools(frmVireo &w) {
    w.show();
    w.findChild<QAction *>("mnuViewLog")->trigger();
    w.findChild<QAction *>("mnuViewTrend")->trigger();
}
CommLog *commLog(frmVireo &w) { return w.findChild<CommLog *>("dockCommLog"); }
TrendWindow *trendWindow(frmVireo &w) { return w.findChild<TrendWindow *>("frmTrend"); }

bool benchMonitor(int seconds, bool tools) {
    const char *name = tools ? "(f) CPU / wall while monitoring at 9600 baud, log and trend open"
                             : "(e) CPU / wall while monitoring at 9600 baud";
    QProcess sim;
    const QString dev = startK5sim(sim, {"--baud", "9600"});
    if (dev.isEmpty()) {
        out << name << ": k5sim did not start" << Qt::endl;
        return false;
    }
    ScriptedUi ui;
    frmVireo w;
    PortMap::choose(1, dev);
    ui.onDialog("frmComPort", ClickComPortOk);
    ui.onDialog("frmExtSelect", ClickExtCommand1);
    if (tools) openTools(w);
    w.findChild<QPushButton *>("btnSetting")->click();
    double cpu0 = 0;
    QElapsedTimer t;
    // Measure from the first pass on, so the Upload is not counted.
    QTimer::singleShot(0, [&] {
        cpu0 = cpuSeconds();
        t.start();
    });
    QTimer::singleShot(seconds * 1000, [&] { w.session().commandStop(); });
    Await(w.session().commandStart());
    const double wall = double(t.nsecsElapsed()) / 1e9;
    const double share = (cpuSeconds() - cpu0) / wall;
    const bool ok = share < 0.05 && ui.problems().isEmpty();
    report(name, share, "0.05", ok);
    out << QStringLiteral("    %1 s monitored").arg(wall, 0, 'f', 1);
    if (tools)
        out << QStringLiteral(", %1 log entries, %2 trend rows").arg(commLog(w)->entryCount())
                   .arg(trendWindow(w)->rows().size());
    out << Qt::endl;
    w.session().commandDisconnect();
    sim.terminate();
    sim.waitForFinished(3000);
    return ok;
}

// An hour of monitoring at 9600 baud, simulated: the real window, page, log and trend against the
// in-process unit answering at once, with the log's and the trend's clocks moved on by the time each
// pass takes on the wire, and their flush and redraw run at the rate they run at in real time.
bool benchHour() {
    sim::UnitConfig c; // 4 channels, 16-point extension: ten transactions a pass
    AppRig rig(c, Link::DefaultTimeoutMs);
    rig.connectViaSetting();
    openTools(*rig.w);
    CommLog *log = commLog(*rig.w);
    TrendWindow *trend = trendWindow(*rig.w);
    qint64 now = QDateTime::currentMSecsSinceEpoch();
    log->setClock([&] { return now; });
    trend->setClock([&] { return now; });
    Page *page = rig.page(0);
    // Measured with "tools": about 250 ms a pass at 9600 baud (ten 10 ms pauses and the bytes).
    const qint64 passMs = 250;
    const qint64 hourMs = 3600 * 1000;
    const qint64 start = now;
    qint64 nextFlush = now, nextRedraw = now;
    double mbAtHalf = 0, peak = 0;
    QElapsedTimer t;
    t.start();
    out << "    simulated minutes / resident MB:";
    qint64 lines = 0;
    while (now - start < hourMs) {
        Await(page->ReadingData());
        // The simulated unit's record of lines is the bench's, not the program's: keep it from growing.
        lines += rig.lines().size();
        rig.clearLines();
        now += passMs;
        if (now >= nextFlush) log->flush(), nextFlush = now + CommLog::FlushMs;
        if (now >= nextRedraw) {
            trend->redraw();
            QCoreApplication::processEvents();
            nextRedraw = now + TrendWindow::RedrawMs;
        }
        if ((now - start) % (5 * 60 * 1000) < passMs) {
            const double mb = residentMb();
            peak = qMax(peak, mb);
            if (now - start >= hourMs / 2 && mbAtHalf == 0) mbAtHalf = mb;
            out << QStringLiteral(" %1/%2").arg((now - start) / 60000).arg(mb, 0, 'f', 1);
            out.flush();
        }
    }
    const double mbEnd = residentMb();
    out << Qt::endl;
    const bool ok = mbEnd <= 50 && rig.ui.problems().isEmpty();
    report("(g) resident MB after a simulated hour, log and trend open", mbEnd, "50", ok);
    const bool flat = mbEnd - mbAtHalf < 1.0;
    report("(h) resident MB growth over the last half hour", mbEnd - mbAtHalf, "1.0", flat);
    out << QStringLiteral("    %1 lines sent, %2 log entries kept, %3 trend rows kept, peak %4 MB, %5 s real time")
               .arg(lines).arg(log->entryCount()).arg(trend->rows().size()).arg(peak, 0, 'f', 1)
               .arg(double(t.elapsed()) / 1000, 0, 'f', 1)
        << Qt::endl;
    return ok && flat;
}
// Catches the probe events posted to the window and notes how long each one waited.
class EventProbe : public QObject {
public:
    static inline const QEvent::Type ProbeType = QEvent::Type(QEvent::registerEventType());
    struct Stamp : QEvent {
        explicit Stamp(qint64 ns) : QEvent(ProbeType), postedNs(ns) {}
        qint64 postedNs;
    };
    explicit EventProbe(const QElapsedTimer &clock) : m_clock(clock) {}
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() != ProbeType) return false;
        if (g.Monitoring) delaysNs.append(m_clock.nsecsElapsed() - static_cast<Stamp *>(e)->postedNs);
        return true;
    }
    QList<qint64> delaysNs;

private:
    const QElapsedTimer &m_clock;
};

bool benchEventDelay(int seconds) {
    sim::UnitConfig c; // the default unit, answering at once: the pauses are all the waiting there is
    c.animate = false;
    AppRig rig(c, Link::DefaultTimeoutMs);
    rig.link().setTimings(Link::DefaultPauseMs, Link::DefaultTimeoutMs);
    rig.connectViaSetting();
    QElapsedTimer clock;
    clock.start();
    EventProbe probe(clock);
    rig.w->installEventFilter(&probe);
    // Another thread posts, as the accessibility bus or the window system would, at its own pace.
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        while (!stop) {
            QCoreApplication::postEvent(rig.w, new EventProbe::Stamp(clock.nsecsElapsed()));
            std::this_thread::sleep_for(std::chrono::microseconds(3700));
        }
    });
    QTimer::singleShot(seconds * 1000, [&] { rig.session().commandStop(); });
    Await(rig.session().commandStart());
    stop = true;
    poster.join();
    rig.w->removeEventFilter(&probe);
    QCoreApplication::removePostedEvents(rig.w, EventProbe::ProbeType);
    const QList<qint64> &d = probe.delaysNs;
    qint64 sum = 0, worst = 0;
    for (qint64 v : d) {
        sum += v;
        worst = std::max(worst, v);
    }
    const double meanMs = d.isEmpty() ? 0 : double(sum) / d.size() / 1e6;
    const double worstMs = double(worst) / 1e6;
    const bool ok = !d.isEmpty() && meanMs <= 2.0 && worstMs <= 15.0 && rig.ui.problems().isEmpty();
    report("(f) mean delay of an event posted while monitoring, instant unit (ms)", meanMs, "2", ok);
    report("(f) worst delay (ms)", worstMs, "15", ok);
    out << QStringLiteral("    %1 events over %2 s").arg(d.size()).arg(seconds) << Qt::endl;
    return ok;
}
// Save and Open of the largest files there are, each with the Ethernet record and its gateway
// line: the positioning page (the most fields) and the eight-channel input (the most lines,
// and eight range lists to refill on every Open).
bool benchConfig() {
    bool ok = true;
    for (const char *model : {"K5N-NX2", "K5N-QBW8"}) {
        out << model << Qt::endl;
        sim::UnitConfig c;
        c.model = model;
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
            const bool good = allOk && mean < 50 && rig.ui.problems().isEmpty();
            report(name, mean, "50 ms", good);
            out << QStringLiteral("    median %1 ms, slowest %2 ms, %3 runs")
                       .arg(ms[n / 2], 0, 'f', 3)
                       .arg(ms.last(), 0, 'f', 3)
                       .arg(n)
                << Qt::endl;
            return good;
        };
        ok &= measure("(f) File Save, mean ms", [&] { return Await(rig.session().saveFile(path)); });
        ok &= measure("(g) File Open, mean ms", [&] { return Await(rig.session().openFile(path)); });
    }
    return ok;
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitGlobals();
    const QString arg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("all");
    const QStringList what = arg == "all" ? QStringList{"link", "upload", "temperature", "kinds", "monitor", "tools", "events", "hour", "config", "verify",
                                                       "compare", "many", "net", "netmany", "scan"} : arg.split(',');
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 30;
    bool ok = true;
    if (what.contains("link")) ok &= benchLink();
    if (what.contains("upload")) ok &= benchUpload();
    if (what.contains("temperature")) ok &= benchTemperatureUpload();
    for (const QString &w : what)
        if (w == "kinds" || w.startsWith("kinds:")) ok &= benchKinds(w.section(':', 1));
    if (what.contains("monitor")) ok &= benchMonitor(seconds > 0 ? seconds : 30, false);
    if (what.contains("tools")) ok &= benchMonitor(seconds > 0 ? seconds : 30, true);
    if (what.contains("events")) ok &= benchEventDelay(10);
    if (what.contains("hour")) ok &= benchHour();
    if (what.contains("config")) ok &= benchConfig();
    if (what.contains("verify")) ok &= benchVerify();
    if (what.contains("compare")) ok &= benchCompare();
    if (what.contains("many")) ok &= benchMany();
    if (what.contains("net")) ok &= benchNet();
    if (what.contains("netmany")) ok &= benchNetMany();
    if (what.contains("scan")) ok &= benchScan();
    return ok ? 0 : 1;
}
