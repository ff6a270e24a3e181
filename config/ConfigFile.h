#pragma once
// Configuration files: the header line, the record of the I/O page of modelnum and the record of
// the network page of NetTyp. Saving builds the whole file first (the session writes it through
// QSaveFile, so a failed save leaves the old file as it was). Reading checks the whole file
// before anything is set; the session then applies it, so a failed load changes nothing.
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class LoadedConfig;
class PageStore;
class QWidget;

namespace cfg {
// The file the pages and globals make now; nullopt with a description of what stops it.
std::optional<QByteArray> BuildConfig(PageStore &pages, QString *error);
// A file's contents read and checked whole, not applied; null with a description.
std::unique_ptr<LoadedConfig> ReadConfig(const QByteArray &bytes, PageStore &pages, QString *error);
struct Context;
struct Record;
// One record alone, on any widget holding its controls: what the file code does per page.
std::optional<QByteArray> SaveRecord(const Record &rec, const QWidget *page, const Context &ctx,
                                     QString *error);
// Checks the whole record first; sets the controls only when all of it reads.
bool LoadRecord(const Record &rec, QWidget *page, const QByteArray &bytes, const Context &ctx,
                QString *error);
} // namespace cfg
