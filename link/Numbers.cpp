#include "link/Numbers.h"

#include <QLocale>
#include <cfenv>
#include <cmath>

std::optional<double> ToDouble(const QString &s) {
    const QString t = s.trimmed();
    if (t.isEmpty()) return std::nullopt;
    // Only plain decimal notation: digits, one sign, one dot, an exponent.
    bool digit = false;
    for (QChar c : t) {
        if (c.isDigit()) digit = true;
        else if (c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E') return std::nullopt;
    }
    if (!digit) return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool IsNumeric(const QString &s) { return ToDouble(s).has_value(); }

double RoundHalfEven(double v) {
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(old);
    return r;
}

QString StandardForm(double v) {
    if (v == 0) return QStringLiteral("0"); // also -0
    const double a = std::fabs(v);
    if (a >= 1e15 || a < 1e-5) {
        // Exponent form with at least two exponent digits: 1E+15, 2.5E-07.
        QString t = QLocale::c().toString(v, 'e', QLocale::FloatingPointShortest).toUpper();
        const qsizetype e = t.indexOf('E');
        const QString mant = t.left(e);
        const QChar sign = t.at(e + 1);
        QString digits = t.mid(e + 2);
        while (digits.size() > 2 && digits.startsWith('0')) digits.remove(0, 1);
        if (digits.size() < 2) digits.prepend('0');
        return mant + 'E' + sign + digits;
    }
    return QLocale::c().toString(v, 'f', QLocale::FloatingPointShortest);
}

std::optional<QString> StandardText(const QString &s) {
    const auto v = ToDouble(s);
    if (!v) return std::nullopt;
    return StandardForm(*v);
}

std::optional<int> WholeNumber(const QString &text, int lo, int hi) {
    const std::optional<double> d = ToDouble(text);
    if (!d) return std::nullopt;
    const double r = RoundHalfEven(*d);
    if (r < lo || r > hi) return std::nullopt;
    return int(r);
}
