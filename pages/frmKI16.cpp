#include "pages/frmKI16.h"
#include "app/ExtCells.h"

frmKI16::frmKI16(QWidget *parent) : DiscretePage("frmKI16", 6, parent) {
    Decl d;
    d.cells = 16;
    d.cellCaption = ExtIndex16;
    d.extension = true;
    d.hold = true;
    build(d);
}
