#include "pages/Page.h"
#include "pages/Widgets.h"

Page::Page(const QString &name, int modelnum, QWidget *parent) : QWidget(parent), m_modelnum(modelnum) {
    setObjectName(name);
    setFixedSize(PageWidth, PageHeight);
    // Held clicks look for the page their button stands on.
    setProperty(HeldClickScope, true);
}
