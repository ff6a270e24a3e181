#include "core/Verify.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "link/Link.h"
#include "link/Numbers.h"

#include <QHash>
#include <optional>
#include <cmath>

namespace {
QString orNothing(const QString &s) { return s.isEmpty() ? QStringLiteral("nothing") : s; }

QList<SendRecord *> records;
std::optional<SentValue> pending;
int watch = 0;
} // namespace

void NoteSent(const SentValue &v) {
    for (SendRecord *r : records) r->m_values.append(v);
}

namespace {
void onExchange(const Exchange &e) {
    if (!pending) return;
    SentValue v = std::move(*pending);
    pending.reset();
    if (e.kind != Exchange::Kind::Write) return;
    v.group = e.group;
    v.item = e.item;
    v.data = e.data;
    v.answered = e.ok();
    NoteSent(v);
}
} // namespace

bool SameValue(const SettingValue &a, const SettingValue &b) {
    if (a.number && b.number) {
        const std::optional<double> x = ToDouble(a.value), y = ToDouble(b.value);
        // The unit may write a number back in another form: 10 and 10.00 are one value.
        if (x && y) return *x == *y || std::fabs(*x - *y) <= 1e-9 * std::max(std::fabs(*x), std::fabs(*y));
    }
    return a.value == b.value;
}

QList<Difference> CompareSettings(const Settings &page, const Settings &unit) {
    QHash<QString, const SettingValue *> byKey;
    for (const SettingValue &s : unit) byKey.insert(s.key, &s);
    QList<Difference> d;
    for (const SettingValue &p : page) {
        const SettingValue *u = byKey.value(p.key);
        if (u && SameValue(p, *u)) continue;
        d.append({p.caption, p.channel, p.shown, u ? u->shown : QString()});
    }
    return d;
}

Settings WrittenOf(const Settings &settings) {
    Settings w;
    for (const SettingValue &s : settings)
        if (s.written) w << s;
    return w;
}

QString DescribeDifferences(const QList<Difference> &differences, const QString &side) {
    QStringList lines;
    for (const Difference &d : differences) {
        const QString what = d.channel.isEmpty() ? d.caption : d.channel + ' ' + d.caption;
        lines << QStringLiteral("%1: %2 %3, the unit holds %4").arg(what, side, orNothing(d.page), orNothing(d.unit));
    }
    return lines.join("\r\n");
}

SendRecord::SendRecord() {
    if (records.isEmpty()) watch = ProtocolWatch::add(onExchange);
    records.append(this);
}
SendRecord::~SendRecord() {
    records.removeOne(this);
    if (records.isEmpty()) {
        ProtocolWatch::remove(watch);
        pending.reset();
    }
}
bool SendRecord::recording() { return !records.isEmpty(); }
void SendRecord::expect(SentValue value) {
    if (!records.isEmpty()) pending = std::move(value);
}

QString Verification::why() const {
    if (!readBack.complete()) return readBack.where();
    return unread.join(", ") + " not read back";
}

Verification Verify(const SentValues &sent, const OutcomeScope &readBack) {
    Verification v;
    // A setting written more than once (a limit tried again) is judged by its last write.
    QList<const SentValue *> last;
    QHash<QString, qsizetype> at;
    for (const SentValue &s : sent) {
        const auto it = at.constFind(s.setting.key);
        if (it != at.constEnd()) {
            last[*it] = &s;
            continue;
        }
        at.insert(s.setting.key, last.size());
        last.append(&s);
    }
    v.values = int(last.size());
    if (last.isEmpty()) return v;
    v.readBack = readBack.outcome();
    v.result = Verification::Result::NotVerified;
    if (!v.readBack.complete()) return v;
    for (const SentValue *s : last) {
        const QString what = s->setting.channel.isEmpty() ? s->setting.caption
                                                          : s->setting.channel + ' ' + s->setting.caption;
        if (!readBack.wasRead(s->group, s->item) || !s->now) {
            v.unread << what;
            continue;
        }
        const SettingValue held = s->now();
        if (!SameValue(s->setting, held))
            v.differences.append({s->setting.caption, s->setting.channel, s->setting.shown, held.shown});
    }
    if (!v.unread.isEmpty()) return v;
    v.result = v.differences.isEmpty() ? Verification::Result::Verified : Verification::Result::Differs;
    return v;
}

void NoteDownload(const QString &text) {
    if (Link *l = Link::current()) l->note(text);
    if (Session *s = Session::current()) emit s->noteShown(text);
}

co::Task<> ReportVerification(Verification v) {
    switch (v.result) {
    case Verification::Result::Verified:
        NoteDownload(QStringLiteral("Download verified (%1 values)").arg(v.values));
        co_return;
    case Verification::Result::NothingToVerify:
        NoteDownload(QStringLiteral("Download written (nothing to verify)"));
        co_return;
    case Verification::Result::Differs:
        NoteDownload(QStringLiteral("Download not verified"));
        co_await MsgBox("The unit does not hold what was written:\r\n" + DescribeDifferences(v.differences), "Download",
                        MsgIcon::Critical);
        co_return;
    case Verification::Result::NotVerified:
        NoteDownload(QStringLiteral("Download not verified"));
        if (v.readBack.cancelled()) co_return;
        co_await MsgBox(QStringLiteral("The settings were written, but the unit could not be read back completely (%1), "
                                       "so they are not verified.")
                            .arg(v.why()),
                        "Download", MsgIcon::Critical);
        co_return;
    }
}
