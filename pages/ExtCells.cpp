#include "pages/ExtCells.h"
#include "pages/Colors.h"
#include "core/Globals.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QLineEdit>
#include <QPointer>

const char *const ExtIndex16 = "0  1  2  3                4  5  6  7               8  9  A  B              C  D  E  F";
const char *const ExtIndex8 = "0  1  2  3                4  5  6  7";

namespace {
QList<QLineEdit *> extCells(QWidget *page) {
    QList<QLineEdit *> cells;
    for (int i = 0; i < 16; ++i) cells.append(Control<QLineEdit>(page, IndexedName("txtChData", i)));
    return cells;
}

int hexValue(QChar c) {
    if (c >= '0' && c <= '9') return c.unicode() - '0';
    if (c >= 'A' && c <= 'F') return c.unicode() - 'A' + 10;
    return -1;
}
} // namespace

void PaintHexCells(const QList<QLineEdit *> &cells, const QString &hex, int digits) {
    PaintHexCells(cells, hex, digits, Colors::PointOn, Colors::PointOff);
}

void PaintHexCells(const QList<QLineEdit *> &cells, const QString &hex, int digits, const QColor &on,
                   const QColor &off) {
    for (int p = 0; p < digits; ++p) {
        const int v = p < hex.size() ? hexValue(hex.at(p)) : -1;
        if (v < 0) continue;
        const int base = 4 * (digits - 1 - p);
        for (int k = 0; k < 4; ++k) {
            const int i = base + k;
            if (i < cells.size() && cells[i]) SetBackColor(cells[i], (v >> k) & 1 ? on : off);
        }
    }
}

void PaintHexBits(QWidget *page, const QString &hex) { PaintHexCells(extCells(page), hex, 4); }

co::Task<> ReadExtPoints(QWidget *page) {
    const QPointer<QWidget> p(page);
    const QString r = co_await ReadItemRetry(3, "00", "12");
    if (!r.isEmpty() && p) PaintHexBits(p, AfterX(r));
}

void HideExtCells(QWidget *page) {
    // A page without the display may use lblExtIndex(0) for its own points: leave it be.
    if (!Control<QLabel>(page, "lblV_Ext")) return;
    for (QLineEdit *c : extCells(page))
        if (c) c->setVisible(false);
    if (auto *ext = Control<QLabel>(page, "lblV_Ext")) {
        ext->setVisible(false);
        ext->setText(QString());
    }
    if (auto *index = Control<QLabel>(page, IndexedName("lblExtIndex", 0))) index->setVisible(false);
}

co::Task<> InitExtCells(QWidget *page) {
    HideExtCells(page);
    if (g.ExtName == "NONE") {
        PaintHexBits(page, "0000");
        co_return;
    }
    if (auto *ext = Control<QLabel>(page, "lblV_Ext")) {
        ext->setText(g.ExtType);
        ext->setVisible(true);
    }
    auto *index = Control<QLabel>(page, IndexedName("lblExtIndex", 0));
    if (index) index->setVisible(true);
    const int shown = g.ExtChCount == 16 ? 16 : g.ExtChCount == 8 ? 8 : 0;
    if (index && shown) index->setText(shown == 16 ? ExtIndex16 : ExtIndex8);
    const QList<QLineEdit *> cells = extCells(page);
    for (int i = 0; i < shown; ++i)
        if (cells[i]) cells[i]->setVisible(true);
    co_await ReadExtPoints(page);
}
