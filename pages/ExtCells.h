#pragma once
// The row of coloured point cells: the extension module's points on every page that
// has the cells, and the pages' own point cells, painted by one rule.
#include "link/Task.h"

#include <QColor>
#include <QList>
#include <QString>

class QLineEdit;
class QWidget;

// The 16-bit state written as hex digits onto cells: the last digit drives cells 0..3,
// the one before it 4..7, and so on. A character that is not 0-9 or A-F leaves its cells.
// A set bit paints its cell `on`, a clear one `off` (the point colours unless told).
void PaintHexCells(const QList<QLineEdit *> &cells, const QString &hex, int digits);
void PaintHexCells(const QList<QLineEdit *> &cells, const QString &hex, int digits, const QColor &on,
                   const QColor &off);

co::Task<> InitExtCells(QWidget *page);
// No extension module: its name, numbers and cells hidden, nothing asked of the unit.
void HideExtCells(QWidget *page);
void PaintHexBits(QWidget *page, const QString &hex);
// The extension points of group "00": read, and painted when the unit answers.
co::Task<> ReadExtPoints(QWidget *page);

extern const char *const ExtIndex16;
extern const char *const ExtIndex8;
