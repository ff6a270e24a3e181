#include "netpages/NetPages.h"
#include "netpages/frmCCLINK.h"
#include "netpages/frmDeviceNet.h"
#include "netpages/frmEthernet.h"
#include "netpages/frmFLRemote.h"
#include "netpages/frmFlexnet.h"
#include "netpages/frmMechatro.h"
#include "netpages/frmModbus.h"

namespace {
struct Entry {
    const char *name;
    NetPage *(*make)(QWidget *);
};
template <class T> NetPage *make(QWidget *parent) {
    return new T(parent);
}

// Indexed by NetTyp; HLS and FLEX NETWORK share one page.
const Entry pages[] = {
    {"frmCCLINK", make<frmCCLINK>},     {"frmDeviceNet", make<frmDeviceNet>},
    {"frmModbus", make<frmModbus>},     {"frmMechatro", make<frmMechatro>},
    {"frmEthernet", make<frmEthernet>}, {"frmFLRemote", make<frmFLRemote>},
    {"frmFlexnet", make<frmFlexnet>},   {"frmFlexnet", make<frmFlexnet>},
};

const Entry *entry(int NetTyp) {
    return NetTyp >= 0 && NetTyp < int(std::size(pages)) ? &pages[NetTyp] : nullptr;
}
} // namespace

QString NetPageName(int NetTyp) {
    const Entry *e = entry(NetTyp);
    return e ? QString::fromLatin1(e->name) : QString();
}

NetPage *CreateNetPage(int NetTyp, QWidget *parent) {
    const Entry *e = entry(NetTyp);
    if (!e) return nullptr;
    NetPage *page = e->make(parent);
    page->Form_Load();
    return page;
}
