#pragma once
// One command on one unit, headless: the session, the pages and the records of the window's
// program, run without a window.
#include "cli/Options.h"
#include "core/Verify.h"
#include "link/Task.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <functional>

struct UnitResult {
    QString port, device, model, version, command, result;
    QList<Difference> differences;
    double seconds = 0;
    int exit = ExitDone;
    QJsonObject details; // identify: what the unit is
    QString file;        // the file written or read
    QStringList records; // the configurations kept by --record

    QJsonObject toJson() const;
    static UnitResult fromJson(const QJsonObject &o);
    // One line for a person: port, device, model, version, command, result, seconds, and the
    // differences below it.
    QString line() const;
};

// What a unit tells while it runs, for whoever shows it.
struct UnitEvents {
    std::function<void(const QString &step, int percent)> progress;
    // A monitoring pass: seconds since the start, and the live value of each channel.
    std::function<void(double seconds, const QMap<int, double> &values)> row;
};

// `fileBytes`: download and compare, the configuration file read already (standard input too).
co::Task<UnitResult> RunUnit(CliOptions options, QByteArray fileBytes, UnitEvents events);
// The first signal stops the unit at the next line boundary (from the event loop).
void InterruptUnit(int signal);
