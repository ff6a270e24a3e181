#include "cli/Options.h"
#include "link/PortMap.h"
#include "vireo_version.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSet>
#include <functional>

namespace {
const char *const Commands = R"(Commands:
  ports      the system's serial ports: device, description, manufacturer, serial number, by-id name
  scan       every serial port and each --port given, tried at once: port, adapter, model, version, network
  identify   model, module kind, network kind, firmware version, channel count, extension module
  upload     read the unit as Upload does and save its configuration file (-o FILE)
  download   check a configuration file as Download does, write it, and verify the read-back
  compare    the differences between a configuration file and the unit
  monitor    live values, one row per reading pass)";

struct OptionDef {
    QStringList names;
    QString description;
    QString valueName; // empty: a switch
    QStringList commands;
};

const QStringList UnitCommands = {"identify", "upload", "download", "compare", "monitor"};

const QList<OptionDef> &optionDefs() {
    static const QList<OptionDef> defs = {
        {{"p", "port"},
         "The unit's port: a device path, COMk as VIREO maps it (VIREO_COMk, else /dev/ttyS<k-1>), "
         "tcp://HOST:PORT or rfc2217://HOST:PORT. Repeat it for several units at once.",
         "P",
         UnitCommands + QStringList{"scan"}},
        {{"o", "output"}, "upload: the configuration file to write (- for standard output).", "FILE", {"upload"}},
        {{"ext"}, "The extension module fitted, where the window would ask: 16 or 8 points.", "16|8", UnitCommands},
        {{"force"}, "download: write a file of another model than the unit's (it cannot be verified).", "", {"download"}},
        {{"network"}, "download: also write the file's network settings, and verify them.", "", {"download"}},
        {{"dry-run"}, "download: compare only, write nothing.", "", {"download"}},
        {{"json"}, "One JSON object per unit (monitor: per row) on standard output.", "",
         UnitCommands + QStringList{"scan"}},
        {{"q", "quiet"}, "No progress on standard error.", "", UnitCommands + QStringList{"scan"}},
        {{"v", "verbose"}, "Every line sent and received, with its time, on standard error.", "", UnitCommands},
        {{"log"}, "Every line sent and received, with its time, appended to FILE.", "FILE", UnitCommands},
        {{"seconds"}, "monitor: how long (default 10).", "N", {"monitor"}},
        {{"timeout"}, "scan: each exchange's time-out in ms (default 300).", "MS", {"scan"}},
        {{"csv"}, "monitor: the rows also go to this file, as CSV (with several units, a port column).", "FILE",
         {"monitor"}},
        {{"record"},
         "upload, download: keep each unit's configuration and one line of DIR/records.csv (created if need be).",
         "DIR",
         {"upload", "download"}},
        {{"worker"}, "", "", UnitCommands}, // hidden: a worker of a parent process
        {{"stdin-copy"}, "", "", {"download", "compare"}}, // hidden: FILE holds the parent's standard input
    };
    return defs;
}

QCommandLineOption toOption(const OptionDef &d) {
    QCommandLineOption o(d.names, d.description, d.valueName);
    if (d.description.isEmpty()) o.setFlags(QCommandLineOption::HiddenFromHelp);
    return o;
}

QString longName(const OptionDef &d) { return (d.names.last().size() == 1 ? "-" : "--") + d.names.last(); }

QString commandHelp(const QString &command) {
    QCommandLineParser p;
    p.addOption(QCommandLineOption({"h", "help"}, "This help."));
    for (const OptionDef &d : optionDefs())
        if (d.commands.contains(command)) p.addOption(toOption(d));
    QString positional;
    if (command == "download" || command == "compare") {
        p.addPositionalArgument("FILE", "The configuration file (- for standard input).");
        positional = " FILE";
    }
    QString help = p.helpText();
    // Qt names the program alone; say the command.
    help.replace(QRegularExpression("^Usage: \\S+ \\[options\\]( FILE)?"),
                 QStringLiteral("Usage: vireo-cli %1 [options]%2").arg(command, positional));
    return help + '\n' + ExitTable();
}

QString generalHelp() {
    return QStringLiteral("Usage: vireo-cli <command> [options]\n"
                          "VIREO without its window: configure K5 units from scripts.\n\n") +
           Commands +
           "\n\nOptions:\n  -h, --help     This help; with a command, the command's options.\n"
           "  --version      The program's version.\n\n" +
           ExitTable() + "\nRun \"vireo-cli <command> --help\" for the options of a command.\n";
}

ParsedArgs usage(const QString &why) {
    ParsedArgs a;
    a.exit = ExitBadInput;
    a.text = "vireo-cli: " + why + "\nRun \"vireo-cli --help\" for the commands.\n";
    return a;
}

ParsedArgs shown(const QString &text) {
    ParsedArgs a;
    a.text = text;
    a.toStdout = true;
    return a;
}

// The device a port name opens, so that one port given twice in two spellings is seen.
QString deviceOf(const QString &port) {
    static const QRegularExpression com(QStringLiteral("^COM([1-8])$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(port);
    return m.hasMatch() ? PortMap::defaultDeviceFor(m.captured(1).toInt()) : port;
}
} // namespace

QString ExitTable() {
    return QStringLiteral("Exit status (with several units, the worst of them):\n"
                          "  0    done, and the unit holds what was written (verified)\n"
                          "  1    a verification difference, a difference found by compare, or a refused download\n"
                          "  2    no unit, a silent unit, a lost line, a read-back that did not complete\n"
                          "  3    a bad file, a file of another model, bad usage, or a record that cannot be written\n"
                          "  130  interrupted (SIGINT; 143 for SIGTERM, 129 for SIGHUP)\n");
}

ParsedArgs ParseArgs(const QStringList &arguments) {
    QCommandLineParser p;
    const QCommandLineOption help({"h", "help"}, "help");
    const QCommandLineOption version("version", "version");
    p.addOption(help);
    p.addOption(version);
    for (const OptionDef &d : optionDefs()) p.addOption(toOption(d));
    if (!p.parse(arguments)) return usage(p.errorText());

    QStringList positional = p.positionalArguments();
    const QString command = positional.isEmpty() ? QString() : positional.takeFirst();
    static const QStringList known = QStringList{"ports", "scan"} + UnitCommands;
    if (p.isSet(version)) return shown(QStringLiteral("vireo-cli %1\n").arg(VireoVersion));
    if (p.isSet(help)) return shown(known.contains(command) ? commandHelp(command) : generalHelp());
    if (command.isEmpty()) return usage("a command is needed");
    if (!known.contains(command)) return usage("unknown command \"" + command + "\"");

    for (const OptionDef &d : optionDefs())
        if (p.isSet(d.names.first()) && !d.commands.contains(command)) {
            if (command == "compare" && d.names.first() == "force")
                return usage("--force does not apply to compare: compare reads a unit of the file's own model "
                             "(download --force writes another model's file)");
            return usage(QStringLiteral("%1 does not apply to %2").arg(longName(d), command));
        }

    ParsedArgs a;
    CliOptions &o = a.options;
    o.command = command;
    auto value = [&p](const char *name) { return p.value(QString::fromLatin1(name)); };
    auto isSet = [&p](const char *name) { return p.isSet(QString::fromLatin1(name)); };
    if (command == "download" || command == "compare") {
        if (positional.size() != 1) return usage(command + " needs one FILE");
        o.file = positional.first();
    } else if (!positional.isEmpty()) {
        return usage("unexpected " + positional.join(' '));
    }
    o.ports = p.values("port");
    QSet<QString> devices;
    for (const QString &port : o.ports) {
        if (port.trimmed().isEmpty()) return usage("--port is empty: name a device, COMk, tcp://HOST:PORT or rfc2217://HOST:PORT");
        const QString device = deviceOf(port.trimmed());
        if (devices.contains(device)) return usage(QStringLiteral("the port %1 is named twice").arg(port));
        devices.insert(device);
    }
    for (QString &port : o.ports) port = port.trimmed();
    if (o.ports.isEmpty() && command != "ports" && command != "scan") return usage(command + " needs --port");
    if (isSet("ext")) {
        o.ext = value("ext").toInt();
        if (o.ext != 16 && o.ext != 8) return usage("--ext takes 16 or 8");
    }
    o.output = value("output");
    o.force = isSet("force");
    o.network = isSet("network");
    o.dryRun = isSet("dry-run");
    o.json = isSet("json");
    o.quiet = isSet("quiet");
    o.verbose = isSet("verbose");
    o.worker = isSet("worker");
    o.stdinCopy = isSet("stdin-copy");
    bool ok = true;
    if (isSet("seconds")) o.seconds = value("seconds").toInt(&ok);
    if (!ok || o.seconds < 0) return usage("--seconds takes a whole number");
    if (isSet("timeout")) {
        o.scanTimeoutMs = value("timeout").toInt(&ok);
        if (!ok || o.scanTimeoutMs < 0) return usage("--timeout takes a whole number of milliseconds");
    }
    o.csv = value("csv");
    o.recordDir = value("record");
    o.logFile = value("log");
    if (isSet("output") && o.output.isEmpty()) return usage("-o needs a file name (- for standard output)");
    if (isSet("record") && o.recordDir.trimmed().isEmpty()) return usage("--record needs a folder");
    if (command == "upload" && o.output.isEmpty() && o.recordDir.isEmpty()) return usage("upload needs -o FILE (or --record DIR)");
    if (o.output == "-" && o.json) return usage("-o - writes the file to standard output: --json cannot go there too");
    if (o.ports.size() > 1 && !o.output.isEmpty())
        return usage("-o names one file: upload one unit at a time, or use --record");
    if (o.dryRun && o.network) return usage("--dry-run writes nothing: --network does not apply");
    a.ok = true;
    return a;
}

QStringList WorkerArgs(const CliOptions &o, const QString &port) {
    QStringList a = {o.command, "--port", port, "--worker", "--quiet"};
    if (o.ext) a << "--ext" << QString::number(o.ext);
    if (o.force) a << "--force";
    if (o.network) a << "--network";
    if (o.dryRun) a << "--dry-run";
    if (o.verbose) a << "--verbose";
    if (o.command == "monitor") a << "--seconds" << QString::number(o.seconds);
    if (!o.recordDir.isEmpty()) a << "--record" << o.recordDir;
    if (!o.logFile.isEmpty()) a << "--log" << o.logFile;
    if (o.stdinCopy) a << "--stdin-copy";
    // After "--" a file named like an option is still the file.
    if (!o.file.isEmpty()) a << "--" << o.file;
    return a;
}
