#pragma once
// The settings a page holds, read off the controls its file record names: the one description
// that saving, verifying a Download and comparing with the unit share.
#include "core/PageContract.h"

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
