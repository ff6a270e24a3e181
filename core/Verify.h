#pragma once
// Settings compared: what a Download wrote with what the unit holds after it, or the page with
// the unit. Where they differ, the engineer is told setting by setting.
#include "core/PageContract.h"

struct Difference {
    QString caption, channel;
    QString page; // written, or on the page
    QString unit; // what the unit holds
};

// The settings of `page` whose value `unit` does not hold (matched by control; a setting the
// unit's side lacks holds nothing there).
QList<Difference> CompareSettings(const Settings &page, const Settings &unit);
// The settings a Download writes of those a page holds.
Settings WrittenOf(const Settings &settings);
// "CH 2 Range: written 0V to 10V, the unit holds 4mA to 20mA", one line each.
QString DescribeDifferences(const QList<Difference> &differences);

// The end of a verified Download: one box (title "Download", critical) naming each difference,
// or, when the unit holds all of it, a note in the status area and the log. True when clean.
bool ReportVerification(const QList<Difference> &differences, int values);
