#pragma once
// The numbers typed into the pages: one numeric test, one standard form, one rounding.
#include <QString>
#include <optional>

// The standard numeric test: a plain decimal number (sign, one decimal point, exponent),
// blanks around it allowed. Only the decimal point the unit understands counts.
bool IsNumeric(const QString &s);
// The value of a text that passes the numeric test.
std::optional<double> ToDouble(const QString &s);
// Nearest integer, halves to the even neighbour.
double RoundHalfEven(double v);
// The shortest standard decimal text of a value: "0010" reads back as "10", "1e3" as "1000".
// Very large or very small values keep an exponent ("1E+15"), as no unit field takes them anyway.
QString StandardForm(double v);
// A typed text rewritten in standard form; nullopt when it is not numeric.
std::optional<QString> StandardText(const QString &s);
// A typed whole number: the nearest integer (halves to even) within lo..hi; nullopt for an
// empty or non-numeric text or one outside the range.
std::optional<int> WholeNumber(const QString &text, int lo = -32768, int hi = 32767);
