#pragma once
// records.csv: one line per unit and command, whatever became of it, for any CSV reader.
#include <QDateTime>
#include <QString>
#include <QStringList>

struct RecordLine {
    QDateTime when;
    QString command, port, device, model, version, file, result;
    int exit = 0;
    QString differences;
    QStringList files; // the configurations kept, or why one is missing
};

// Makes the folder and its records.csv (with the head) and proves both writable; false with
// *error set otherwise. Done before any unit is touched.
bool PrepareRecords(const QString &dir, QString *error);
// Appends the line whole: many units and processes may write at once.
bool AppendRecord(const QString &dir, const RecordLine &line, QString *error);
// A field as RFC 4180 has it: quoted, quotes doubled.
QString CsvField(const QString &s);
// ISO 8601 with the offset from UTC ("2026-12-10T13:19:53+01:00").
QString IsoTime(const QDateTime &when);
