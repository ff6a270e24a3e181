#pragma once
// The commissioning report: what the pages show, as a PDF the engineer keeps with the unit.
#include <QList>
#include <QString>
#include <utility>

class QWidget;
namespace cfg {
struct Context;
struct Record;
} // namespace cfg

namespace report {

struct Setting {
    QString caption; // as a person reads it beside the control, without the channel
    int channel = -1; // -1: a setting of the unit, not of a channel
    QString value;
};

// Every setting a configuration record places on a page, in the record's order; lines the
// context leaves out of the file are left out here too.
QList<Setting> Settings(const cfg::Record &rec, const QWidget *page, const cfg::Context &ctx);

struct Contents {
    QString title;
    QList<std::pair<QString, QString>> facts; // unit, port, adapter, date: caption and text
    QList<Setting> io;
    QString netTitle; // empty: no network settings
    QList<Setting> net;
};

QString Html(const Contents &c);
// Written through a temporary file: a failed write leaves an old report as it was.
bool WritePdf(const QString &path, const Contents &c);

} // namespace report
