#include "pages/Page.h"

Page::Page(const QString &name, int modelnum, QWidget *parent) : QWidget(parent), m_modelnum(modelnum) {
    setObjectName(name);
    setFixedSize(PageWidth, PageHeight);
}
