#pragma once
// One command on one unit, headless: the session, the pages and the records of the window's
// program, run without a window.
#include "core/Verify.h"

#include <QJsonObject>
#include <QString>

// The exit status is a contract: scripts rely on it.
enum CliExit { ExitDone = 0, ExitDiffers = 1, ExitNoUnit = 2, ExitBadInput = 3 };

struct CliOptions {
    QString command; // identify, upload, download, compare, monitor
    QString port;    // a device path, or COMk as the window maps it
    QString file;    // download and compare: the configuration file
    QString output;  // upload: the file written
    int ext = 0;     // the extension module fitted: 16 or 8 points
    bool force = false, network = false, dryRun = false, json = false, quiet = false;
    int seconds = 10;
    QString csv;       // monitor: the rows also go here
    QString recordDir; // upload and download: configurations and records.csv
};

struct UnitResult {
    QString port, device, model, version, command, result;
    QList<Difference> differences;
    double seconds = 0;
    int exit = ExitDone;
    QJsonObject details; // identify: what the unit is
    QString file;        // the file written or read

    QJsonObject toJson() const;
    static UnitResult fromJson(const QJsonObject &o);
    // One line for a person: port, device, model, version, command, result, seconds.
    QString line() const;
};

UnitResult RunUnit(const CliOptions &options);
