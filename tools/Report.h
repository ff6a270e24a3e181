#pragma once
// The commissioning report: what the pages show, as a PDF the engineer keeps with the unit.
#include <QList>
#include <QString>
#include <utility>

#include "core/PageContract.h"

namespace report {

struct Setting {
    QString caption; // as a person reads it beside the control, without the channel
    int channel = -1; // -1: a setting of the unit, not of a channel
    QString value;
};

// The settings of a page (as its record names them), as the report shows them: an address kept
// in boxes of its parts as one value.
QList<Setting> Rows(const ::Settings &settings);

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
