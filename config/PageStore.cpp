#include "config/PageStore.h"
#include "config/ConfigFile.h"
#include "core/Globals.h"
#include "netpages/NetPages.h"
#include "netpages/NetRecords.h"
#include "pages/PageRegistry.h"
#include "pages/Settings.h"

#include <utility>

PageStore::PageStore(QWidget *pageParent, QWidget *dialogParent)
    : m_pageParent(pageParent), m_dialogParent(dialogParent) {}

PageStore::~PageStore() {
    // Pages without a parent are the store's own.
    for (const QPointer<Page> &p : m_pages)
        if (p && !p->parent()) delete p.data();
    for (const QPointer<NetPage> &n : m_netPages)
        if (n && !n->parent()) delete n.data();
    for (const QPointer<Page> &p : m_copies) delete p.data();
    for (const QPointer<NetPage> &n : m_netCopies) delete n.data();
}

namespace {
// The page of a kind, made once and kept in `pages`; null for a kind without a page.
Page *made(QMap<int, QPointer<Page>> &pages, int modelnum, QWidget *parent) {
    if (Page *p = pages.value(modelnum)) return p;
    const PageKind *kind = FindPageKind(modelnum);
    if (!kind || !kind->create) return nullptr;
    Page *p = kind->create(parent);
    p->hide();
    if (const cfg::Record *r = p->configRecord()) MarkIdentifiers(*r, p);
    pages.insert(modelnum, p);
    return p;
}
} // namespace

Page *PageStore::page(int modelnum) { return made(m_pages, modelnum, m_pageParent); }

namespace {
NetPage *madeNet(QMap<int, QPointer<NetPage>> &pages, int netTyp, QWidget *parent) {
    if (NetPage *n = pages.value(netTyp)) return n;
    NetPage *n = CreateNetPage(netTyp, parent);
    if (!n) return nullptr;
    if (const cfg::Record *r = NetRecord(netTyp)) MarkIdentifiers(*r, n);
    pages.insert(netTyp, n);
    return n;
}
} // namespace

NetPage *PageStore::netPage(int netTyp) { return madeNet(m_netPages, netTyp, m_dialogParent); }

QList<Page *> PageStore::pages() const {
    QList<Page *> l;
    for (const QPointer<Page> &p : m_pages)
        if (p) l << p;
    return l;
}

IoPage *PageStore::ioPage(int modelnum) { return page(modelnum); }

QByteArray PageStore::buildConfig(QString *error) { return cfg::BuildConfig(*this, error).value_or(QByteArray()); }

std::unique_ptr<LoadedConfig> PageStore::readConfig(const QByteArray &bytes, QString *error) {
    return cfg::ReadConfig(bytes, *this, error);
}

Settings PageStore::settings(IoPage *page) {
    auto *p = dynamic_cast<Page *>(page);
    const cfg::Record *rec = p ? p->configRecord() : nullptr;
    return rec ? SettingsOf(*rec, p, g.ChCount) : Settings();
}

Settings PageStore::settings(NetUnitPage *page) {
    auto *n = dynamic_cast<NetPage *>(page);
    const cfg::Record *rec = NetRecord(g.NetTyp);
    return n && rec ? SettingsOf(*rec, n, -1) : Settings();
}

IoPage *PageStore::copyOf(int modelnum) { return made(m_copies, modelnum, nullptr); }

NetUnitPage *PageStore::netCopyOf(int netTyp) { return madeNet(m_netCopies, netTyp, nullptr); }

void PageStore::dropCopies() {
    for (const QPointer<Page> &p : std::exchange(m_copies, {})) delete p.data();
    for (const QPointer<NetPage> &n : std::exchange(m_netCopies, {})) delete n.data();
}
