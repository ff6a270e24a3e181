#include "pages/frmKI16.h"
#include "app/ExtCells.h"

const DiscretePage::Decl frmKI16::Points = {.cells = 16, .cellCaption = ExtIndex16, .extension = true, .hold = true};

frmKI16::frmKI16(QWidget *parent) : DiscretePage("frmKI16", 6, parent) { build(Points); }
