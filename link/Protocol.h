#pragma once
// The G / I / D line protocol and its retry rules. Failure is the empty text.
#include "link/Task.h"

#include <QString>
#include <functional>

// Each is awaited: the lines go out one after another while the main loop runs meanwhile.
co::Task<QString> ReadItem(QString group, QString item);
co::Task<QString> InquireItem(QString item);
co::Task<QString> WriteItem(QString group, QString item, QString data);
co::Task<QString> WriteData(QString item, QString data);

// count 3 means at most four attempts; CNG and NEEDLESS end the loop at once.
co::Task<QString> ReadItemRetry(int count, QString group, QString item);
co::Task<QString> InquireItemRetry(int count, QString item);
co::Task<QString> WriteItemRetry(int count, QString group, QString item, QString data);
co::Task<QString> WriteDataRetry(int count, QString item, QString data);

// What one retrying read or write came to, told to whoever watches (the outcome of a command,
// the verification of a Download). The group is the one the exchange went to, also where only
// an item was sent (the group selected before).
struct Exchange {
    enum class Kind { Read, Write };
    // Why an exchange gave nothing: no reply, a protocol answer, or the line gone.
    enum class Failure { None, NoReply, Cng, Cnu, LineLost };
    Kind kind = Kind::Read;
    QString group, item;
    QString data;   // a write's data
    QString result; // what the caller got: empty on failure
    Failure failure = Failure::None;
    bool ok() const { return failure == Failure::None; }
};

namespace ProtocolWatch {
using Watcher = std::function<void(const Exchange &)>;
// Returns a handle for remove(); watchers are told in the order they were added.
int add(Watcher watcher);
void remove(int handle);
// "01" and "1" are one group.
QString groupKey(const QString &group);
} // namespace ProtocolWatch
