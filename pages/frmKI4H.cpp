#include "pages/frmKI4H.h"

frmKI4H::frmKI4H(QWidget *parent) : DiscretePage("frmKI4H", 25, parent) {
    Decl d;
    d.cells = 4;
    d.cellCaption = "0  1  2  3  ";
    build(d);
}
