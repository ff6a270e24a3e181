#pragma once
// The settings a page holds, read off the controls its file record names: the one description
// that saving, verifying a Download and comparing with the unit share.
#include "core/Verify.h"

#include <functional>

class QAbstractButton;
class QWidget;
namespace cfg {
struct Record;
struct Context;
} // namespace cfg

// Every control of the record's lines the context has, by caption and channel; `channels`: the
// I/O channels the unit has (a control of another channel is left out), or -1 for all.
Settings SettingsOf(const cfg::Record &record, const QWidget *page, const cfg::Context &ctx, int channels);
// The same with the globals' context (the unit's or the loaded file's model and version).
Settings SettingsOf(const cfg::Record &record, const QWidget *page, int channels);

// One control as a setting: a text box's text, a list's index, the choice of an option group
// (the options that share the control's parent, named by that frame).
SettingValue SettingOfControl(const QWidget *control);

// What a Download sends from a control, named to the write that follows (SendRecord::expect):
// `data` is what the D line carries (a box's text, a list's index); for an option group, the
// option the data chooses.
void ExpectSent(const QWidget *control, const QString &data);
void ExpectSentOption(const QAbstractButton *chosen);
// A value sent from several controls as one (an address): its name, and how it reads now.
void ExpectSentJoined(const QString &key, const QString &spoken, const QString &data,
                      std::function<QString()> now);

// A box whose text is an identifier ("00012345" is not "12345"); the record says which.
void MarkIdentifiers(const cfg::Record &record, QWidget *page);
// A control the page neither reads nor writes now (a frame the unit's kind does not have):
// not a setting to compare.
void SetExchanged(QWidget *control, bool exchanged);
// The page's check refuses a control's text: `range` is what it may hold ("a number",
// "-32000 to 32000", "Min < Max").
void RefuseCheck(const QWidget *control, const QString &range);
QString RangeText(double lo, double hi);
// A control the page shows from the unit but a Download never writes.
void SetNeverWritten(QWidget *control);
