#pragma once
// Which page serves each module kind. Kinds whose page is not built yet are listed
// without a factory and are treated like an unsupported model.
#include <QString>
#include <functional>

class Page;
class QWidget;

struct PageKind {
    int modelnum;
    const char *name;                           // "frmQB4"
    std::function<Page *(QWidget *)> create;    // empty: not available in this version
};

// The kind of a modelnum 0..25; nullptr for any other value.
const PageKind *FindPageKind(int modelnum);
bool PageAvailable(int modelnum);
