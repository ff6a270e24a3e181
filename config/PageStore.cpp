#include "config/PageStore.h"
#include "config/ConfigFile.h"
#include "core/Globals.h"
#include "netpages/NetPages.h"
#include "netpages/NetRecords.h"
#include "pages/PageRegistry.h"
#include "pages/Settings.h"

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
    pages.insert(modelnum, p);
    return p;
}
} // namespace

Page *PageStore::page(int modelnum) { return made(m_pages, modelnum, m_pageParent); }

NetPage *PageStore::netPage(int netTyp) {
    if (NetPage *n = m_netPages.value(netTyp)) return n;
    NetPage *n = CreateNetPage(netTyp, m_dialogParent);
    if (n) m_netPages.insert(netTyp, n);
    return n;
}

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

NetUnitPage *PageStore::netCopyOf(int netTyp) {
    if (NetPage *n = m_netCopies.value(netTyp)) return n;
    NetPage *n = CreateNetPage(netTyp, nullptr);
    if (n) m_netCopies.insert(netTyp, n);
    return n;
}
