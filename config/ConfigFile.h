#pragma once
// File / Save and File / Open: the header line, the record of the I/O page of modelnum and
// the record of the network page of NetTyp. Saving builds the whole file first and writes it
// through QSaveFile, so a failed save leaves the old file as it was. Loading reads and checks
// the whole file before it sets anything, so a failed load changes nothing.
#include <QByteArray>
#include <QString>
#include <optional>

class QWidget;

// The menu commands: the file dialog, then the work below.
void SaveConfigFile();
void LoadConfigFile();

// The file dialog's filters and the one preselected (from 1).
extern const char *const ConfigFileFilter;
constexpr int ConfigFilterIndex = 1;

namespace cfg {
// The file the pages and globals make now; nullopt with a description of what stops it.
std::optional<QByteArray> BuildConfig(QString *error);
// Writes the file; false after the failure message ("Open Error").
bool SaveConfigTo(const QString &path);
// Loads a file or its contents; false after the failure message, or when the person
// declined to load a file of another model.
bool LoadConfigFrom(const QString &path);
bool LoadConfigBytes(const QByteArray &bytes);
struct Context;
struct Record;
// One record alone, on any widget holding its controls: what the file code does per page.
std::optional<QByteArray> SaveRecord(const Record &rec, const QWidget *page, const Context &ctx,
                                     QString *error);
// Checks the whole record first; sets the controls only when all of it reads.
bool LoadRecord(const Record &rec, QWidget *page, const QByteArray &bytes, const Context &ctx,
                QString *error);

// The name the file dialog offers next (the last one chosen in either dialog).
QString &DialogFileName();
} // namespace cfg
