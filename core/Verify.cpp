#include "core/Verify.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "link/Link.h"
#include "link/Numbers.h"

#include <QHash>
#include <cmath>

namespace {
bool sameValue(const SettingValue &a, const SettingValue &b) {
    if (a.number && b.number) {
        const std::optional<double> x = ToDouble(a.value), y = ToDouble(b.value);
        // The unit may write a number back in another form: 10 and 10.00 are one value.
        if (x && y) return *x == *y || std::fabs(*x - *y) <= 1e-9 * std::max(std::fabs(*x), std::fabs(*y));
    }
    return a.value == b.value;
}

QString orNothing(const QString &s) { return s.isEmpty() ? QStringLiteral("nothing") : s; }
} // namespace

QList<Difference> CompareSettings(const Settings &page, const Settings &unit) {
    QHash<QString, const SettingValue *> byKey;
    for (const SettingValue &s : unit) byKey.insert(s.key, &s);
    QList<Difference> d;
    for (const SettingValue &p : page) {
        const SettingValue *u = byKey.value(p.key);
        if (u && sameValue(p, *u)) continue;
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

QString DescribeDifferences(const QList<Difference> &differences) {
    QStringList lines;
    for (const Difference &d : differences) {
        const QString what = d.channel.isEmpty() ? d.caption : d.channel + ' ' + d.caption;
        lines << QStringLiteral("%1: written %2, the unit holds %3").arg(what, orNothing(d.page), orNothing(d.unit));
    }
    return lines.join("\r\n");
}

bool ReportVerification(const QList<Difference> &differences, int values) {
    if (Session *s = Session::current()) emit s->downloadVerified(differences, values);
    if (!differences.isEmpty()) {
        MsgBox("The unit does not hold what was written:\r\n" + DescribeDifferences(differences), "Download",
               MsgIcon::Critical);
        return false;
    }
    const QString note = QStringLiteral("Download verified (%1 values)").arg(values);
    if (Link *l = Link::current()) l->note(note);
    if (Session *s = Session::current()) emit s->noteShown(note);
    return true;
}
