#pragma once
// vireo-cli's arguments, parsed once: the options of every command, the checks that refuse a
// command line before any port opens, the help of each command, and the arguments a worker
// process for one unit is started with.
#include <QString>
#include <QStringList>

// The exit status is a contract: scripts rely on it.
enum CliExit { ExitDone = 0, ExitDiffers = 1, ExitNoUnit = 2, ExitBadInput = 3 };
// Interrupted by a signal: 128 and the signal's number (130 for SIGINT, 143 for SIGTERM).
constexpr int ExitSignalBase = 128;

struct CliOptions {
    QString command; // ports, identify, upload, download, compare, monitor, scan
    QStringList ports; // as given; a device path, COMk, tcp://... or rfc2217://...
    QString port;      // the one unit of this process
    QString file;      // download and compare: the configuration file ("-": standard input)
    QString output;    // upload: the file written ("-": standard output)
    int ext = 0;       // the extension module fitted: 16 or 8 points
    bool force = false, network = false, dryRun = false, json = false, quiet = false, verbose = false;
    int seconds = 10;
    int scanTimeoutMs = 0; // scan: each exchange's time-out, 0 for the scan's own
    QString csv;       // monitor: the rows also go here
    QString recordDir; // upload and download: configurations and records.csv
    QString logFile;   // every line on the wire, as -v shows it
    bool worker = false; // a worker of a parent process: events as JSON lines on standard output
    bool stdinCopy = false; // FILE is a copy of the parent's standard input
};

struct ParsedArgs {
    bool ok = false;   // options hold a command to run
    CliOptions options;
    int exit = ExitDone; // else: the status to end with, after `text`
    QString text;        // help, version or the usage error
    bool toStdout = false; // help and version go to standard output
};

ParsedArgs ParseArgs(const QStringList &arguments);
// A worker's arguments for one port: rebuilt from the options, never cut out of the command line.
QStringList WorkerArgs(const CliOptions &options, const QString &port);
// The exit status table every --help ends with.
QString ExitTable();
