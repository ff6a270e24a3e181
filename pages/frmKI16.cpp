#include "pages/frmKI16.h"
#include "pages/Record.h"
#include "pages/ExtCells.h"

const DiscretePage::Decl frmKI16::Points = {.cells = 16, .cellCaption = ExtIndex16, .extension = true, .hold = true};

frmKI16::frmKI16(QWidget *parent) : DiscretePage("frmKI16", 6, parent) { build(Points); }

// The page's record in configuration files.
const cfg::Record *frmKI16::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine(), .typeCaption = true};
    return &r;
}
