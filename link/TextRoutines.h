#pragma once
// Small routines that take the unit's replies apart and check typed numbers.
#include "link/Numbers.h"

#include <QString>
#include <optional>

class QLineEdit;

QString AfterColon(const QString &s);
QString AfterDash(const QString &s);
QString AfterX(const QString &s);
QString BeforeColon(const QString &s);
QString RemoveFirstDot(const QString &s);
// The field that comes last in the text lands in the first out-parameter.
void SplitDotted(const QString &s, QString &d4, QString &d3, QString &d2, QString &d1);
int HexDigitValue(const QString &s);
// Value of a typed 16-bit integer; 0 (after "Please enter number.") when rejected.
int CheckInteger(const QString &v);
int CheckInteger(const QLineEdit *field);

// Removes leading and trailing blanks (spaces only, as the unit pads with them).
QString TrimBlanks(const QString &s);
