// vireo-cli: the window's session, pages, records, checks and verification, without a window.
// One unit runs in this process; several --port options run a worker process per unit at once.
#include "cli/Scan.h"
#include "cli/UnitRun.h"
#include "link/PortInfo.h"
#include "vireo_version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QProcess>
#include <QTextStream>
#include <QDir>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

namespace {
const char *const Commands = R"(Commands:
  ports      the system's serial ports: device, description, manufacturer, serial number, by-id name
  identify   model, module kind, network kind, firmware version, channel count, extension module
  upload     read the unit as Upload does and save its configuration file (-o FILE)
  download   check a configuration file as Download does, write it, and verify the read-back
  compare    the differences between a configuration file and the unit
  monitor    live values, one row per reading pass
  scan       every serial port and each --port given, tried at once: port, adapter, model, version, network

Exit status (with several units, the worst of them):
  0  done (and verified)
  1  a verification difference, a difference found, or a refused download
  2  no unit, a silent unit or a lost line
  3  a bad file, a file of another model, or bad usage

Run "vireo-cli <command> --help" for the options of a command.)";

QTextStream out(stdout);
QTextStream err(stderr);

int usage(const QString &why) {
    err << "vireo-cli: " << why << "\nRun \"vireo-cli --help\" for the commands.\n";
    err.flush();
    return ExitBadInput;
}

int ports() {
    const QList<PortDescription> list = PortInfo::availablePorts();
    for (const PortDescription &p : list) {
        QStringList f = {p.device};
        f << (p.description.isEmpty() ? "-" : p.description) << (p.manufacturer.isEmpty() ? "-" : p.manufacturer)
          << (p.serialNumber.isEmpty() ? "-" : p.serialNumber) << (p.byId.isEmpty() ? "-" : "/dev/serial/by-id/" + p.byId);
        out << f.join('\t') << '\n';
    }
    if (list.isEmpty()) err << "vireo-cli: the system lists no serial port (a pseudo-terminal is opened by its path)\n";
    return ExitDone;
}

void print(const UnitResult &r, bool json) {
    if (json) out << QJsonDocument(r.toJson()).toJson(QJsonDocument::Compact) << '\n';
    else out << r.line() << '\n';
    out.flush();
}

// Each unit in a worker process of its own: this program again, with one port and --json.
int workers(const QStringList &args, const QStringList &portList, bool json) {
    QList<QProcess *> procs;
    QStringList base;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--port" || args[i] == "-p") {
            ++i;
            continue;
        }
        if (args[i].startsWith("--port=")) continue;
        base << args[i];
    }
    for (const QString &port : portList) {
        auto *p = new QProcess;
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList a = base;
        a << "--port" << port;
        if (!a.contains("--json")) a << "--json";
        p->start(QCoreApplication::applicationFilePath(), a);
        procs << p;
    }
    int worst = ExitDone, done = 0;
    for (int i = 0; i < procs.size(); ++i) {
        QProcess *p = procs[i];
        p->waitForFinished(-1);
        UnitResult r;
        bool found = false;
        // The last JSON line is the result; others (monitoring rows) are passed on.
        for (const QByteArray &line : p->readAllStandardOutput().split('\n')) {
            if (line.trimmed().isEmpty()) continue;
            const QJsonDocument d = QJsonDocument::fromJson(line);
            if (d.isObject() && d.object().contains("exit")) {
                r = UnitResult::fromJson(d.object());
                found = true;
            } else {
                out << line << '\n';
            }
        }
        if (!found) {
            r.port = portList[i];
            r.command = args.value(1);
            r.exit = ExitNoUnit;
            r.result = QStringLiteral("the worker ended without a result (exit %1)").arg(p->exitCode());
        }
        print(r, json);
        worst = std::max(worst, r.exit);
        if (r.exit == ExitDone) ++done;
        delete p;
    }
    if (!json) out << QStringLiteral("%1 of %2 units done; exit %3").arg(done).arg(portList.size()).arg(worst) << '\n';
    return worst;
}
} // namespace

int main(int argc, char **argv) {
    // The pages are widgets: they live on the offscreen platform here, which wants a runtime folder.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/vireo-cli-runtime-" + QByteArray::number(getuid());
        if (::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST) qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("vireo-cli");
    QApplication::setApplicationVersion(VireoVersion);
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);

    QCommandLineParser p;
    p.setApplicationDescription("VIREO without its window: configure K5 units from scripts.\n\n" +
                                QString(Commands));
    const QCommandLineOption port({"p", "port"}, "The unit's port: a device path, or COMk as VIREO maps it "
                                                 "(VIREO_COMk, else /dev/ttyS<k-1>). Repeat it for several units at once.",
                                  "P");
    const QCommandLineOption output({"o", "output"}, "upload: the configuration file to write.", "FILE");
    const QCommandLineOption ext("ext", "The extension module fitted, where the window would ask: 16 or 8 points.",
                                 "16|8");
    const QCommandLineOption force("force", "download, compare: take a file of another model than the unit's.");
    const QCommandLineOption network("network", "download: also write the file's network settings, and verify them.");
    const QCommandLineOption dryRun("dry-run", "download: compare only, write nothing.");
    const QCommandLineOption json("json", "One JSON object per unit on standard output.");
    const QCommandLineOption quiet({"q", "quiet"}, "No progress on standard error.");
    const QCommandLineOption seconds("seconds", "monitor: how long (default 10).", "N", "10");
    const QCommandLineOption csv("csv", "monitor: the rows also go to this file, as CSV.", "FILE");
    const QCommandLineOption record("record", "upload, download: keep each unit's configuration and a line of "
                                              "DIR/records.csv.",
                                    "DIR");
    const QCommandLineOption timeout("timeout", "scan: each exchange's time-out in ms (default 300).", "MS", "300");
    p.addHelpOption();
    p.addVersionOption();
    QList<QCommandLineOption> options;
    if (command == "identify") options = {port, ext, json, quiet};
    else if (command == "upload") options = {port, output, ext, json, quiet, record};
    else if (command == "download") options = {port, ext, force, network, dryRun, json, quiet, record};
    else if (command == "compare") options = {port, ext, force, json, quiet};
    else if (command == "monitor") options = {port, ext, seconds, csv, json, quiet};
    else if (command == "scan") options = {port, json, timeout};
    p.addOptions(options);
    if (!command.isEmpty() && !command.startsWith('-')) p.addPositionalArgument(command, "The command.");
    if (command == "download" || command == "compare") p.addPositionalArgument("FILE", "The configuration file.");
    if (!p.parse(args)) return usage(p.errorText());
    if (p.isSet("help")) p.showHelp(0);
    if (p.isSet("version")) p.showVersion();
    if (command.isEmpty() || command.startsWith('-')) return usage("a command is needed");
    if (command == "ports") return ports();
    if (options.isEmpty()) return usage("unknown command \"" + command + "\"");

    // An option this command does not take reads as unset.
    auto takes = [&options](const QCommandLineOption &opt) {
        return std::any_of(options.begin(), options.end(),
                           [&opt](const QCommandLineOption &x) { return x.names() == opt.names(); });
    };
    auto isSet = [&](const QCommandLineOption &opt) { return takes(opt) && p.isSet(opt); };
    auto value = [&](const QCommandLineOption &opt) { return takes(opt) ? p.value(opt) : QString(); };

    CliOptions o;
    o.command = command;
    const QStringList positional = p.positionalArguments().mid(1);
    if (command == "download" || command == "compare") {
        if (positional.size() != 1) return usage(command + " needs one FILE");
        o.file = positional.first();
    } else if (!positional.isEmpty()) {
        return usage("unexpected " + positional.join(' '));
    }
    const QStringList portList = p.values(port);
    if (command == "scan") return RunScan(portList, isSet(json), value(timeout).toInt(), out, err);
    if (portList.isEmpty()) return usage(command + " needs --port");
    if (isSet(ext)) {
        o.ext = value(ext).toInt();
        if (o.ext != 16 && o.ext != 8) return usage("--ext takes 16 or 8");
    }
    o.output = value(output);
    o.force = isSet(force);
    o.network = isSet(network);
    o.dryRun = isSet(dryRun);
    o.json = isSet(json);
    o.quiet = isSet(quiet);
    bool ok = true;
    if (takes(seconds)) o.seconds = value(seconds).toInt(&ok);
    if (!ok || o.seconds < 0) return usage("--seconds takes a whole number");
    o.csv = value(csv);
    o.recordDir = value(record);
    if (portList.size() > 1) {
        if (!o.output.isEmpty()) return usage("-o names one file: upload one unit at a time, or use --record");
        return workers(args, portList, o.json);
    }
    o.port = portList.first();
    const UnitResult r = RunUnit(o);
    print(r, o.json);
    return r.exit;
}
