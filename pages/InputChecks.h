#pragma once
// The entry fields' number check: CheckIntegerValue with the message a person sees.
#include <QString>

class QLineEdit;

// Value of a typed 16-bit integer; 0 (after "Please enter number.") when rejected.
int CheckInteger(const QString &v);
int CheckInteger(const QLineEdit *field);
