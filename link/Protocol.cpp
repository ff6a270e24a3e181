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

QString send(const QString &line) {
    Link *link = Link::current();
    lastRaw = link ? link->SendCommand(line + '\r') : QString();
    return lastRaw;
}

bool select(const QString &group) {
    if (send("G" + group) != "COK") return false;
    selectedGroup = group;
    return true;
}

// The inquire step shared by reads: reply classes mapped to what callers see.
QString inquire(const QString &item) {
    const QString r = send("I" + item);
    if (r.isEmpty()) return {};
    if (r == "CNG") return r;
    if (r == "CNU") return QStringLiteral("NEEDLESS");
    return r.mid(1);
}

bool usableInquireReply(const QString &r) { return !r.isEmpty() && r != "CNU" && r != "CNG"; }

QString dataStep(const QString &item, const QString &data) {
    if (!usableInquireReply(send("I" + item))) return {};
    const QString r = send("D" + data);
    return usableInquireReply(r) ? r.mid(1) : QString();
}

template <class Attempt> QString retry(int count, Attempt attempt) {
    QString r;
    for (int i = 0; i <= count; ++i) {
        if (i > 0)
            if (Link *link = Link::current()) link->noteRetry();
        r = TrimBlanks(attempt());
        if (!r.isEmpty()) break;
    }
    return r;
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

QString ReadItem(const QString &group, const QString &item) {
    if (!select(group)) return {};
    return inquire(item);
}

QString InquireItem(const QString &item) { return inquire(item); }

QString WriteItem(const QString &group, const QString &item, const QString &data) {
    if (!select(group)) return {};
    return dataStep(item, data);
}

QString WriteData(const QString &item, const QString &data) { return dataStep(item, data); }

QString ReadItemRetry(int count, const QString &group, const QString &item) {
    const QString r = retry(count, [&] { return ReadItem(group, item); });
    return told(Exchange::Kind::Read, group, item, {}, r);
}
QString InquireItemRetry(int count, const QString &item) {
    const QString r = retry(count, [&] { return InquireItem(item); });
    return told(Exchange::Kind::Read, selectedGroup, item, {}, r);
}
QString WriteItemRetry(int count, const QString &group, const QString &item, const QString &data) {
    const QString r = retry(count, [&] { return WriteItem(group, item, data); });
    return told(Exchange::Kind::Write, group, item, data, r);
}
QString WriteDataRetry(int count, const QString &item, const QString &data) {
    const QString r = retry(count, [&] { return WriteData(item, data); });
    return told(Exchange::Kind::Write, selectedGroup, item, data, r);
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
