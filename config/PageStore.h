#pragma once
// The pages of a session: each I/O page and network page created on first use, in a window's
// page area and over that window, or without a window (the pages headless). It is also how
// the pages become a configuration file and a file becomes the pages.
#include "core/PageContract.h"
#include "netpages/NetPage.h"
#include "pages/Page.h"

#include <QMap>
#include <QPointer>

class QWidget;

class PageStore : public PageSet {
public:
    // pageParent: where the I/O pages live (hidden until placed); dialogParent: the owner of the
    // network pages. Both may be null.
    explicit PageStore(QWidget *pageParent = nullptr, QWidget *dialogParent = nullptr);
    ~PageStore() override;
    PageStore(const PageStore &) = delete;
    PageStore &operator=(const PageStore &) = delete;

    Page *page(int modelnum);
    NetPage *netPage(int netTyp) override;
    // The pages made so far.
    QList<Page *> pages() const;

    IoPage *ioPage(int modelnum) override;
    QByteArray buildConfig(QString *error) override;
    std::unique_ptr<LoadedConfig> readConfig(const QByteArray &bytes, QString *error) override;
    Settings settings(IoPage *page) override;
    Settings settings(NetUnitPage *page) override;
    IoPage *copyOf(int modelnum) override;
    NetUnitPage *netCopyOf(int netTyp) override;
    void dropCopies() override;

private:
    QWidget *m_pageParent;
    QWidget *m_dialogParent;
    QMap<int, QPointer<Page>> m_pages;
    QMap<int, QPointer<NetPage>> m_netPages;
    // The copies Compare reads into: never shown, the store's own.
    QMap<int, QPointer<Page>> m_copies;
    QMap<int, QPointer<NetPage>> m_netCopies;
};
