#include "pages/frmKI4H.h"
#include "pages/Record.h"

frmKI4H::frmKI4H(QWidget *parent) : DiscretePage("frmKI4H", 25, parent) {
    build({.cells = 4, .cellCaption = "0  1  2  3  "});
}

// The page's record in configuration files: nothing to set, but loading still names the module.
const cfg::Record *frmKI4H::configRecord() const {
    static const cfg::Record r{.typeCaption = true};
    return &r;
}
