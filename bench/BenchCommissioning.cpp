// The bench's part for verified downloads, Compare and many units at once.
//   verify   what the verification adds to a Download of the largest page
//   compare  a Compare at 9600 baud against its wire floor
//   many     vireo-cli download to eight simulated units at 9600 baud against one
#include "bench/BenchCommissioning.h"
#include "core/Globals.h"
#include "core/Session.h"
#include "core/Verify.h"
#include "link/Link.h"
#include "pages/Page.h"
#include "tests/TestKit.h"

#include <QElapsedTimer>
#include <optional>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

namespace {
QTextStream out(stdout);

void report(const char *name, double value, const char *limitText, bool ok) {
    out << QStringLiteral("%1: %2  (limit %3)  %4").arg(name).arg(value, 0, 'f', 4).arg(limitText).arg(ok ? "ok" : "OVER")
        << Qt::endl;
}

double childrenCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The wire floor of lines a unit answered: per line the 10 ms pause and its bytes both ways at
// 10 bits a byte, from a twin of the unit that answers them again.
double wireFloorMs(const sim::UnitConfig &c, const QStringList &lines) {
    sim::SimUnit twin(c);
    double floor = 0;
    for (const QString &l : lines)
        floor += Link::DefaultPauseMs + (l.size() + 1 + twin.handleLine(l).bytes.size()) * 10.0 * 1000.0 / 9600.0;
    return floor;
}
} // namespace

// The largest page's verification: what a Download records as it sends (the values and the
// exchanges), and the judgement after its read-back. The read-back itself is the Upload every
// Download has always ended with.
bool benchVerify() {
    AppRig rig(StillUnit("K5A-NX2"), Link::DefaultTimeoutMs);
    rig.connectViaSetting();
    IoPage *page = rig.session().activePage();
    rig.link().setTimings(0, Link::DefaultTimeoutMs);
    const int n = 40;
    // The page's writes and an Upload's reads, with and without the records, best of rounds.
    auto writesAndReads = [&](bool recorded, Verification *v) {
        std::optional<SendRecord> sent;
        std::optional<OutcomeScope> written, readBack;
        if (recorded) sent.emplace(), written.emplace();
        Await(page->Download());
        if (recorded) readBack.emplace();
        Await(page->Init());
        if (recorded && v) *v = Verify(sent->values(), *readBack);
    };
    double plain = 1e9, recorded = 1e9;
    Verification v;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < n; ++i) writesAndReads(false, nullptr);
        plain = std::min(plain, double(t.nsecsElapsed()) / 1e6 / n);
        t.start();
        for (int i = 0; i < n; ++i) writesAndReads(true, &v);
        recorded = std::min(recorded, double(t.nsecsElapsed()) / 1e6 / n);
    }
    const double added = std::max(0.0, recorded - plain);
    const bool ok = added < 1 && v.result == Verification::Result::Verified && rig.ui.problems().isEmpty();
    report("(h) time the verification adds to a Download, largest page (ms)", added, "1 ms", ok);
    out << QStringLiteral("    %1 values of the positioning page sent and compared; writes and reads %2 ms plain")
               .arg(v.values)
               .arg(plain, 0, 'f', 2)
        << Qt::endl;
    return ok;
}

// A Compare reads as an Upload does: the same lines, the same wire floor.
bool benchCompare() {
    const sim::UnitConfig c = StillUnit("K5A-QK4");
    AppRig rig(c, Link::DefaultTimeoutMs);
    rig.device->endpoint().setTiming({0, 9600});
    rig.link().setTimings(Link::DefaultPauseMs, Link::DefaultTimeoutMs);
    rig.connectViaSetting();
    double best = 1e9;
    int lines = 0;
    for (int run = 0; run < 3; ++run) {
        rig.clearLines();
        QElapsedTimer t;
        t.start();
        const Session::Comparison cmp = Await(rig.session().compareWithUnit());
        const double wall = double(t.nsecsElapsed()) / 1e6;
        if (!cmp.read) return false;
        lines = int(rig.lines().size());
        best = std::min(best, wall / wireFloorMs(c, rig.lines()));
    }
    const bool ok = best <= 1.02 && rig.ui.problems().isEmpty();
    report("(i) Compare wall / wire floor, 9600 baud", best, "1.02", ok);
    out << QStringLiteral("    %1 lines, best of three").arg(lines) << Qt::endl;
    return ok;
}

// vireo-cli download with verification to eight units at once against the same to one: each
// unit is a k5sim of its own at 9600 baud, each one a worker process.
bool benchMany() {
    QTemporaryDir dir;
    const QString file = dir.filePath("f.uJx");
    {
        AppRig rig(StillUnit("K5A-QB4"));
        rig.connectViaSetting();
        rig.ui.onSaveFile(file);
        rig.press("mnuFilesSave");
    }
    QProcess sims[8];
    QStringList ports;
    for (QProcess &s : sims) ports << StartK5sim(s, {"--ext", "NONE", "--baud", "9600"}, false);
    if (ports.contains(QString())) return false;
    auto run = [&](int units, double &wall, double &cpu) {
        QStringList args = {"download", file, "--quiet"};
        for (int i = 0; i < units; ++i) args << "--port" << ports[i];
        const double cpu0 = childrenCpuSeconds();
        QElapsedTimer t;
        t.start();
        QProcess cli;
        cli.start(BuildFile("vireo-cli"), args);
        cli.waitForFinished(120000);
        wall = double(t.nsecsElapsed()) / 1e9;
        cpu = (childrenCpuSeconds() - cpu0) / units;
        return cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
    };
    double one = 0, eight = 0, cpuOne = 0, cpuEight = 0;
    bool ok = run(1, one, cpuOne) && run(8, eight, cpuEight);
    const double ratio = eight / one;
    ok = ok && ratio <= 1.15;
    report("(j) download to eight units at once / to one, 9600 baud", ratio, "1.15", ok);
    out << QStringLiteral("    one unit %1 s, eight %2 s; CPU per unit %3 s (one) and %4 s (of eight)")
               .arg(one, 0, 'f', 2)
               .arg(eight, 0, 'f', 2)
               .arg(cpuOne, 0, 'f', 2)
               .arg(cpuEight, 0, 'f', 2)
        << Qt::endl;
    for (QProcess &s : sims) {
        s.terminate();
        s.waitForFinished(3000);
    }
    return ok;
}
