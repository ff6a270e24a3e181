// vireo-cli: the window's session, pages, records, checks and verification, without a window.
// One unit runs in this process; several --port options run a worker process per unit at once.
#include "cli/Options.h"
#include "cli/Records.h"
#include "cli/Scan.h"
#include "cli/Signals.h"
#include "cli/UnitRun.h"
#include "cli/Workers.h"
#include "link/PortInfo.h"
#include "vireo_version.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryFile>
#include <QTextStream>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A configuration file is never near this; a bigger one is not read to its end anyway.
constexpr qint64 MaxFileBytes = 1 << 20;

int fail(const QString &why) {
    std::fprintf(stderr, "vireo-cli: %s\n", qPrintable(why));
    return ExitBadInput;
}

int ports() {
    QTextStream out(stdout);
    const QList<PortDescription> list = PortInfo::availablePorts();
    for (const PortDescription &p : list) {
        QStringList f = {p.device};
        f << (p.description.isEmpty() ? "-" : p.description) << (p.manufacturer.isEmpty() ? "-" : p.manufacturer)
          << (p.serialNumber.isEmpty() ? "-" : p.serialNumber) << (p.byId.isEmpty() ? "-" : "/dev/serial/by-id/" + p.byId);
        out << f.join('\t') << '\n';
    }
    if (list.isEmpty())
        std::fprintf(stderr, "vireo-cli: the system lists no serial port (a pseudo-terminal is opened by its path)\n");
    return ExitDone;
}

void printJson(const QJsonObject &o) {
    const QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

// The configuration file of download and compare, whole, before any port opens: a file that
// cannot be read is refused with nothing on the wire.
bool readInput(const CliOptions &o, QByteArray &bytes, QString *error) {
    QFile f;
    const bool stdinFile = o.file == "-";
    if (stdinFile ? !f.open(stdin, QIODevice::ReadOnly) : (f.setFileName(o.file), !f.open(QIODevice::ReadOnly))) {
        *error = QStringLiteral("bad file: %1: %2").arg(stdinFile ? QStringLiteral("standard input") : o.file, f.errorString());
        return false;
    }
    bytes = f.read(MaxFileBytes);
    return true;
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

    const ParsedArgs parsed = ParseArgs(QCoreApplication::arguments());
    if (!parsed.ok) {
        std::fputs(qPrintable(parsed.text), parsed.toStdout ? stdout : stderr);
        return parsed.exit;
    }
    CliOptions o = parsed.options;
    if (o.command == "ports") return ports();
    if (o.command == "scan") {
        QTextStream out(stdout), err(stderr);
        ScanCommand scan(o.ports, o.json, o.scanTimeoutMs, out, err);
        scan.start();
        if (!scan.done()) app.exec();
        return scan.finish();
    }
    if (o.worker) CliSignals::endWithParent();

    // Everything that can be refused is refused before a port opens.
    QByteArray bytes;
    QString error;
    if (!o.recordDir.isEmpty() && !PrepareRecords(o.recordDir, &error)) return fail(error);
    if ((o.command == "download" || o.command == "compare") && !readInput(o, bytes, &error)) {
        // Refused before any port opens; each unit's record still says so.
        for (const QString &port : o.ports) {
            UnitResult r;
            r.port = port;
            r.command = o.command;
            r.exit = ExitBadInput;
            r.result = error;
            r.file = o.file;
            if (!o.recordDir.isEmpty()) {
                QString why;
                RecordLine l{QDateTime::currentDateTime(), o.dryRun ? "download --dry-run" : o.command, port, {}, {}, {},
                             o.file, error, ExitBadInput, {}, {}};
                if (!AppendRecord(o.recordDir, l, &why)) r.result += "; the record line could not be written: " + why;
            }
            if (o.json) printJson(r.toJson());
            else std::printf("%s\n", qPrintable(r.line()));
        }
        return ExitBadInput;
    }

    if (o.ports.size() > 1) {
        // The workers read standard input from a copy: they cannot share it.
        QTemporaryFile copy(QDir::temp().filePath("vireo-cli-stdin-XXXXXX.uJx"));
        QString file = o.file;
        if (o.file == "-") {
            if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
                return fail("standard input cannot be kept for the units: " + copy.errorString());
            file = copy.fileName();
            o.stdinCopy = true;
        }
        WorkerSet workers(o, file);
        if (workers.start()) app.exec();
        return workers.finish();
    }

    o.port = o.ports.value(0);
    CliSignals::install([](int sig) { InterruptUnit(sig); });
    UnitEvents events;
    if (o.worker) {
        events.progress = [&o](const QString &step, int percent) {
            printJson({{"event", "progress"}, {"port", o.port}, {"step", step}, {"percent", percent}});
        };
        events.row = [&o](double seconds, const QMap<int, double> &values) {
            QJsonObject v;
            for (auto it = values.cbegin(); it != values.cend(); ++it) v.insert(QStringLiteral("CH %1").arg(it.key()), it.value());
            printJson({{"event", "row"}, {"port", o.port}, {"seconds", seconds}, {"values", v}});
        };
    }
    UnitResult r;
    // Run from the program's loop, so that a signal is seen from the start.
    auto unit = [&]() -> co::Task<> {
        r = co_await RunUnit(o, bytes, events);
        QCoreApplication::exit(0);
    };
    QTimer::singleShot(0, &app, [&] { co::Start(unit()); });
    app.exec();
    if (o.worker) {
        QJsonObject j = r.toJson();
        j.insert("event", "result");
        printJson(j);
    } else if (o.json) {
        printJson(r.toJson());
    } else {
        // With the file on standard output, the result line goes to standard error.
        std::fprintf(o.output == "-" ? stderr : stdout, "%s\n", qPrintable(r.line()));
    }
    return r.exit;
}
