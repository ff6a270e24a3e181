#include "pages/frmKI8R.h"

frmKI8R::frmKI8R(QWidget *parent) : DiscretePage("frmKI8R", 9, parent) {
    build({.cells = 8, .cellCaption = "0  1  2  3                4  5  6  7    "});
}
