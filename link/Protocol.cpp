#include "link/Protocol.h"
#include "link/Link.h"
#include "link/TextRoutines.h"

#include <QList>
#include <utility>

namespace {
// The group the unit has selected (by the last "G" it answered COK), and the last raw reply:
// what an exchange that gave nothing was told.
QString selectedGroup;
QString lastRaw;

QList<std::pair<int, ProtocolWatch::Watcher>> watchers;
int nextHandle = 1;

co::Task<QString> send(QString line) {
    Link *link = Link::current();
    lastRaw.clear();
    if (link) lastRaw = co_await link->SendCommand(line + '\r');
    co_return lastRaw;
}

co::Task<bool> select(QString group) {
    // No co_await in a condition, here or anywhere: GCC 12 miscompiles a co_return after one.
    const QString r = co_await send("G" + group);
    if (r != "COK") co_return false;
    selectedGroup = group;
    co_return true;
}

// The inquire step shared by reads: reply classes mapped to what callers see.
co::Task<QString> inquire(QString item) {
    const QString r = co_await send("I" + item);
    if (r.isEmpty()) co_return QString();
    if (r == "CNG") co_return r;
    if (r == "CNU") co_return QStringLiteral("NEEDLESS");
    co_return r.mid(1);
}

bool usableInquireReply(const QString &r) { return !r.isEmpty() && r != "CNU" && r != "CNG"; }

co::Task<QString> dataStep(QString item, QString data) {
    const QString inquired = co_await send("I" + item);
    if (!usableInquireReply(inquired)) co_return QString();
    const QString r = co_await send("D" + data);
    if (!usableInquireReply(r)) co_return QString();
    co_return r.mid(1);
}

template <class Attempt> co::Task<QString> retry(int count, Attempt attempt) {
    QString r;
    for (int i = 0; i <= count; ++i) {
        if (i > 0)
            if (Link *link = Link::current()) link->noteRetry();
        r = TrimBlanks(co_await attempt());
        if (!r.isEmpty()) break;
    }
    co_return r;
}

Exchange::Failure failureOf(const QString &result) {
    if (!result.isEmpty()) return Exchange::Failure::None;
    const Link *link = Link::current();
    if (!link || !link->isOpen()) return Exchange::Failure::LineLost;
    const QString raw = TrimBlanks(lastRaw);
    if (raw == "CNG") return Exchange::Failure::Cng;
    if (raw == "CNU") return Exchange::Failure::Cnu;
    return Exchange::Failure::NoReply;
}

// Tells the watchers; cheap when nobody watches.
QString told(Exchange::Kind kind, const QString &group, const QString &item, const QString &data,
             const QString &result) {
    if (watchers.isEmpty()) return result;
    Exchange e;
    e.kind = kind;
    e.group = group;
    e.item = item;
    e.data = data;
    e.result = result;
    e.failure = failureOf(result);
    // A watcher may add or remove watchers: tell those there were when the exchange ended.
    const auto now = watchers;
    for (const auto &w : now) w.second(e);
    return result;
}
} // namespace

co::Task<QString> ReadItem(QString group, QString item) {
    const bool selected = co_await select(group);
    if (!selected) co_return QString();
    co_return co_await inquire(item);
}

co::Task<QString> InquireItem(QString item) { return inquire(item); }

co::Task<QString> WriteItem(QString group, QString item, QString data) {
    const bool selected = co_await select(group);
    if (!selected) co_return QString();
    co_return co_await dataStep(item, data);
}

co::Task<QString> WriteData(QString item, QString data) { return dataStep(item, data); }

co::Task<QString> ReadItemRetry(int count, QString group, QString item) {
    const QString r = co_await retry(count, [&] { return ReadItem(group, item); });
    co_return told(Exchange::Kind::Read, group, item, {}, r);
}
co::Task<QString> InquireItemRetry(int count, QString item) {
    const QString r = co_await retry(count, [&] { return InquireItem(item); });
    co_return told(Exchange::Kind::Read, selectedGroup, item, {}, r);
}
co::Task<QString> WriteItemRetry(int count, QString group, QString item, QString data) {
    const QString r = co_await retry(count, [&] { return WriteItem(group, item, data); });
    co_return told(Exchange::Kind::Write, group, item, data, r);
}
co::Task<QString> WriteDataRetry(int count, QString item, QString data) {
    const QString r = co_await retry(count, [&] { return WriteData(item, data); });
    co_return told(Exchange::Kind::Write, selectedGroup, item, data, r);
}

int ProtocolWatch::add(Watcher watcher) {
    const int h = nextHandle++;
    watchers.append({h, std::move(watcher)});
    return h;
}

void ProtocolWatch::remove(int handle) {
    watchers.removeIf([handle](const auto &w) { return w.first == handle; });
}

QString ProtocolWatch::groupKey(const QString &group) {
    bool ok = false;
    const int n = group.toInt(&ok);
    return ok ? QString::number(n) : group;
}
