#include "pages/frmKI4H.h"

frmKI4H::frmKI4H(QWidget *parent) : DiscretePage("frmKI4H", 25, parent) {
    build({.cells = 4, .cellCaption = "0  1  2  3  "});
}
