#include "pages/Page.h"
#include "app/Commands.h"

Page::Page(const QString &name, int modelnum, QWidget *parent) : QWidget(parent), m_modelnum(modelnum) {
    setObjectName(name);
    setFixedSize(PageWidth, PageHeight);
    // Held clicks look for the page their button stands on.
    setProperty(HeldClickScope, true);
}
