#pragma once
// Small routines that take the unit's replies apart and check typed numbers.
#include "link/Numbers.h"

#include <QString>
#include <optional>

QString AfterColon(const QString &s);
QString AfterDash(const QString &s);
QString AfterX(const QString &s);
QString BeforeColon(const QString &s);
QString RemoveFirstDot(const QString &s);
// The field that comes last in the text lands in the first out-parameter.
void SplitDotted(const QString &s, QString &d4, QString &d3, QString &d2, QString &d1);
int HexDigitValue(const QString &s);
// Value of a typed 16-bit integer: the empty text is 0; nullopt when the text is rejected (a sign
// or dot among the first three characters, not a number, outside -32768..32767). Shows nothing:
// the entry fields' CheckInteger in app/ adds the message.
std::optional<int> CheckIntegerValue(const QString &v);
// A live value as the pages show it: the part after the colon without its first dot, when that is
// numeric; nullopt otherwise (the cell then keeps what it shows).
std::optional<QString> LiveValueText(const QString &reply);

// Removes leading and trailing blanks (spaces only, as the unit pads with them).
QString TrimBlanks(const QString &s);

// The firmware version texts the program knows (compared exactly); any other marks new firmware.
bool IsKnownVersion(const QString &v);
