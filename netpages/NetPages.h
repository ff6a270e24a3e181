#pragma once
// Which network page serves a network kind.
#include <QString>

class NetPage;
class QWidget;

// "frmCCLINK" for 0 ... "frmFlexnet" for 6 and 7; empty for a kind without a page.
QString NetPageName(int NetTyp);
// A new, loaded page for the kind; nullptr for a kind without a page (99, -1).
NetPage *CreateNetPage(int NetTyp, QWidget *parent);
