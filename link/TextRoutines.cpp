#include "link/TextRoutines.h"

#include <QStringList>

namespace {
QString afterFirst(const QString &s, QChar sep) {
    const qsizetype i = s.indexOf(sep);
    return i < 0 ? s : s.mid(i + 1);
}
} // namespace

QString AfterColon(const QString &s) { return afterFirst(s, ':'); }
QString AfterDash(const QString &s) { return afterFirst(s, '-'); }
QString AfterX(const QString &s) { return afterFirst(s, 'x'); }

QString BeforeColon(const QString &s) {
    const qsizetype i = s.indexOf(':');
    return i < 0 ? s : s.left(i);
}

QString RemoveFirstDot(const QString &s) {
    const qsizetype i = s.indexOf('.');
    return i < 0 ? s : s.left(i) + s.mid(i + 1);
}

void SplitDotted(const QString &s, QString &d4, QString &d3, QString &d2, QString &d1) {
    // Fields missing from a short text come back empty.
    const QStringList parts = s.split('.');
    d1 = parts.value(0);
    d2 = parts.value(1);
    d3 = parts.value(2);
    d4 = parts.size() > 3 ? parts.mid(3).join('.') : QString();
}

int HexDigitValue(const QString &s) {
    if (s.size() == 1) {
        const QChar c = s.at(0);
        if (c >= '0' && c <= '9') return c.unicode() - '0';
        if (c >= 'A' && c <= 'F') return c.unicode() - 'A' + 10;
        return 0;
    }
    if (s.size() == 2 && s.at(0) == '1' && s.at(1) >= '0' && s.at(1) <= '6') return 10 + (s.at(1).unicode() - '0');
    return 0;
}

QString TrimBlanks(const QString &s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == ' ') ++b;
    while (e > b && s.at(e - 1) == ' ') --e;
    return s.mid(b, e - b);
}

std::optional<int> CheckIntegerValue(const QString &v) {
    if (v.isEmpty()) return 0;
    for (int i = 0; i < 3 && i < v.size(); ++i)
        if (v.at(i) == '+' || v.at(i) == '-' || v.at(i) == '.') return std::nullopt;
    const auto d = ToDouble(v);
    if (!d) return std::nullopt;
    const double r = RoundHalfEven(*d);
    if (r < -32768 || r > 32767) return std::nullopt;
    return static_cast<int>(r);
}

std::optional<QString> LiveValueText(const QString &reply) {
    if (reply.isEmpty()) return std::nullopt;
    QString v = RemoveFirstDot(AfterColon(reply));
    if (!IsNumeric(v)) return std::nullopt;
    return v;
}

bool IsKnownVersion(const QString &v) {
    static const QStringList known = {" 1.00", " 1.01", " 1.02", " 1.03", "1.00", "1.01", "1.02", "1.03"};
    return known.contains(v);
}
