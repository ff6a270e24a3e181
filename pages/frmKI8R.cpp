#include "pages/frmKI8R.h"
#include "pages/Record.h"

frmKI8R::frmKI8R(QWidget *parent) : DiscretePage("frmKI8R", 9, parent) {
    build({.cells = 8, .cellCaption = "0  1  2  3                4  5  6  7    "});
}

// The page's record in configuration files: nothing to set, but loading still names the module.
const cfg::Record *frmKI8R::configRecord() const {
    static const cfg::Record r{.typeCaption = true};
    return &r;
}
