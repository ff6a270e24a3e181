// k5sim: a simulated K5 unit on a pseudo-terminal, or on a TCP port as behind a device server.
#include "sim/PtyHost.h"
#include "sim/TcpHost.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] auto r = ::write(signalPipe[1], &c, 1);
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // A byte time is about a millisecond at 9600 baud: the default 50 us timer slack would stretch it.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    QCoreApplication::setApplicationName("k5sim");

    QCommandLineParser p;
    p.setApplicationDescription("Simulated K5 remote-I/O unit on a pseudo-terminal, or on a TCP port (--listen).");
    p.addHelpOption();
    const QCommandLineOption model("model", "Model text the unit reports.", "text", "K5A-QB4");
    const QCommandLineOption version("unit-version", "Firmware version text.", "text", "1.02");
    const QCommandLineOption channels("channels", "Channel count (1, 2, 4, 8 or 16; default: the module's own).", "n", "0");
    const QCommandLineOption ext("ext", "Extension module kind: DI, DO, DM or NONE.", "kind", "DI");
    const QCommandLineOption points("points", "Extension points as four hex digits.", "hex", "00A5");
    const QCommandLineOption baud("baud", "Emulate the byte time of this baud rate (0: instant).", "rate", "0");
    const QCommandLineOption delay("delay", "The unit's turnaround before each answer, in ms.", "ms", "0");
    const QCommandLineOption still("still", "Keep live values and points still.");
    const QCommandLineOption burnout("burnout", "Temperature units: channels in burnout, one hex digit (bit k: channel k).",
                                     "hex", "0");
    const QCommandLineOption needsInit("needs-init", "Report that the unit needs initialising.");
    const QCommandLineOption log("log", "Print every line received to standard error.");
    const QCommandLineOption link("link", "Also make this path a symbolic link to the device.", "path");
    const QCommandLineOption fault(
        "fault",
        "Inject a fault: kind[:item[:times[:param]]], kind one of silence, cng, cnu, split, nocr, garbage, "
        "overlong, delay, vanish, refuse, hangup, blank. No item: every line (cng, cnu everywhere). delay: the reply "
        "param ms late (beyond 3000 it arrives after the time-out). refuse: the D line of the item is answered "
        "CNG and not stored (refuse:01 refuses every download). hangup: the line goes away param ms after the "
        "reply to the item (hangup:51:1:2000, two seconds after an Upload). blank: the reply with nothing "
        "after its colon. keep:GG:II[:times]: a write of item II of group GG is answered as usual "
        "but not stored; round:GG:II:decimals[:times]: it is stored rounded. Repeatable.",
        "fault");
    const QCommandLineOption item("item",
                                  "Set an item of the unit before it starts: group/item=value (for example "
                                  "01/28=SPE). Repeatable.",
                                  "setting");
    const QCommandLineOption listen(
        "listen",
        "Instead of a pseudo-terminal, listen on a TCP port as a serial device server does: tcp:PORT (raw bytes) "
        "or rfc2217:PORT (Telnet with RFC 2217), on 127.0.0.1 unless given as tcp:HOST:PORT; port 0 takes a free one.",
        "kind:port");
    p.addOptions({model, version, channels, ext, points, baud, delay, still, needsInit, log, link, fault, item, burnout,
                  listen});
    p.process(app);

    sim::UnitConfig cfg;
    cfg.model = p.value(model);
    cfg.version = p.value(version);
    cfg.channels = p.value(channels).toInt();
    cfg.ext = p.value(ext).toUpper();
    cfg.extPoints = quint16(p.value(points).toUInt(nullptr, 16));
    cfg.animate = !p.isSet(still);
    cfg.burnout = quint8(p.value(burnout).toUInt(nullptr, 16) & 0xF);
    auto unit = std::make_shared<sim::SimUnit>(cfg);
    cfg = unit->config();
    if (p.isSet(needsInit)) unit->addFault({sim::FaultKind::NeedsInit, {}, "03", -1, 0});
    for (const QString &given : p.values(fault)) {
        const std::optional<sim::Fault> f = sim::ParseFault(given);
        if (!f) {
            QTextStream(stderr) << "k5sim: unknown fault \"" << given << "\"" << Qt::endl;
            return 2;
        }
        unit->addFault(*f);
    }

    for (const QString &given : p.values(item)) {
        const qsizetype slash = given.indexOf('/'), eq = given.indexOf('=');
        if (slash <= 0 || eq <= slash + 1) {
            QTextStream(stderr) << "k5sim: an item is group/item=value, not \"" << given << "\"" << Qt::endl;
            return 2;
        }
        unit->setValue(given.left(slash), given.mid(slash + 1, eq - slash - 1), given.mid(eq + 1));
    }

    sim::WireTiming t;
    t.baud = p.value(baud).toInt();
    t.turnaroundMs = p.value(delay).toInt();
    std::unique_ptr<sim::SimEndpoint> host;
    QString where, shown;
    QString error;
    QString linkPath;
    if (p.isSet(listen)) {
        // kind:port or kind:host:port, the host an address (IPv6 in brackets).
        const QString given = p.value(listen);
        const QString kind = given.section(':', 0, 0).toLower();
        QString rest = given.section(':', 1);
        QString hostText = QStringLiteral("127.0.0.1");
        const qsizetype colon = rest.lastIndexOf(':');
        if (colon >= 0) {
            hostText = rest.left(colon).remove('[').remove(']');
            rest = rest.mid(colon + 1);
        }
        bool portOk = false;
        const uint port = rest.toUInt(&portOk);
        const QHostAddress address(hostText);
        if ((kind != "tcp" && kind != "rfc2217") || !portOk || port > 65535 || address.isNull()) {
            QTextStream(stderr) << "k5sim: --listen takes tcp:PORT, rfc2217:PORT or KIND:ADDRESS:PORT, not \"" << given
                                << "\"" << Qt::endl;
            return 2;
        }
        auto tcp = std::make_unique<sim::TcpHost>(unit, kind == "tcp" ? sim::TcpHost::Mode::Raw : sim::TcpHost::Mode::Rfc2217);
        if (!tcp->start(address, quint16(port), &error)) {
            QTextStream(stderr) << "k5sim: cannot listen on " << given << ": " << error << Qt::endl;
            return 1;
        }
        where = shown = tcp->portName();
        host = std::move(tcp);
    } else {
        auto pty = std::make_unique<sim::PtyHost>(unit);
        if (!pty->start(&error)) {
            QTextStream(stderr) << "k5sim: cannot open a pseudo-terminal: " << error << Qt::endl;
            return 1;
        }
        where = shown = pty->devicePath();
        linkPath = p.value(link);
        if (!linkPath.isEmpty()) {
            QFile::remove(linkPath);
            if (QFile::link(where, linkPath)) shown = linkPath;
        }
        host = std::move(pty);
    }
    host->setTiming(t);
    host->setLogLines(p.isSet(log));
    QTextStream out(stdout);
    out << "k5sim: " << cfg.model << " version " << cfg.version << ", " << cfg.channels << " channels, extension "
        << cfg.ext << " on " << where << Qt::endl;
    out << "VIREO_COM1=" << shown << Qt::endl;

    // End cleanly on Ctrl+C or kill, so the link is removed.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        auto *n = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(n, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }
    const int rc = app.exec();
    if (!linkPath.isEmpty()) QFile::remove(linkPath);
    return rc;
}
