#pragma once
// The G / I / D line protocol and its retry rules. Failure is the empty text.
#include <QString>
#include <functional>

QString ReadItem(const QString &group, const QString &item);
QString InquireItem(const QString &item);
QString WriteItem(const QString &group, const QString &item, const QString &data);
QString WriteData(const QString &item, const QString &data);

// count 3 means at most four attempts; CNG and NEEDLESS end the loop at once.
QString ReadItemRetry(int count, const QString &group, const QString &item);
QString InquireItemRetry(int count, const QString &item);
QString WriteItemRetry(int count, const QString &group, const QString &item, const QString &data);
QString WriteDataRetry(int count, const QString &item, const QString &data);

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
