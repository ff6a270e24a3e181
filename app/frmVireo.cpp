#include "app/frmVireo.h"
#include "app/Globals.h"
#include "link/Link.h"

frmVireo::frmVireo(QWidget *parent) : QMainWindow(parent), m_link(new Link(this)) {
    setObjectName("frmVireo");
    setWindowTitle("VIREO");
    InitGlobals();
    Link::setCurrent(m_link);
}

frmVireo::~frmVireo() {
    if (Link::current() == m_link) Link::setCurrent(nullptr);
}
