#include "link/Protocol.h"
#include "link/Link.h"
#include "link/TextRoutines.h"

namespace {
QString send(const QString &line) {
    Link *link = Link::current();
    return link ? link->SendCommand(line + '\r') : QString();
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
} // namespace

QString ReadItem(const QString &group, const QString &item) {
    if (send("G" + group) != "COK") return {};
    return inquire(item);
}

QString InquireItem(const QString &item) { return inquire(item); }

QString WriteItem(const QString &group, const QString &item, const QString &data) {
    if (send("G" + group) != "COK") return {};
    return dataStep(item, data);
}

QString WriteData(const QString &item, const QString &data) { return dataStep(item, data); }

QString ReadItemRetry(int count, const QString &group, const QString &item) {
    return retry(count, [&] { return ReadItem(group, item); });
}
QString InquireItemRetry(int count, const QString &item) {
    return retry(count, [&] { return InquireItem(item); });
}
QString WriteItemRetry(int count, const QString &group, const QString &item, const QString &data) {
    return retry(count, [&] { return WriteItem(group, item, data); });
}
QString WriteDataRetry(int count, const QString &item, const QString &data) {
    return retry(count, [&] { return WriteData(item, data); });
}
