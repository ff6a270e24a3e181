#pragma once
// What the session asks of the pages. The pages live above it (widgets of a window, or the same
// pages headless); the session reaches them only through these.
#include <QByteArray>
#include <QString>
#include <memory>

// The page contract of an I/O page, as the commands use it.
class IoPage {
public:
    virtual ~IoPage() = default;
    virtual void Init() = 0;
    virtual void Download() = 0;
    virtual void ReadingData() = 0;
    // Pages without a check count as valid.
    virtual bool hasCheckData() const { return true; }
    virtual bool CheckData() { return true; }
    // What Start, Stop and Disconnect do to the page.
    virtual void onStart() = 0;
    virtual void onStop() = 0;
    virtual void onDisconnect() = 0;
};

// A network page: read by every Upload, shown by the network command.
class NetUnitPage {
public:
    virtual ~NetUnitPage() = default;
    virtual void btnUpload_Click() = 0;
    // Modal; returns when the person has closed it.
    virtual void showModal() = 0;
    // What the page shows for the identity in the globals.
    virtual void followIdentity() {}
};

// A configuration file read and checked whole, not yet applied: its identity, and its records
// waiting to be put into the pages.
struct FileIdentity {
    QString model;
    int modelnum = -1;
    int subTyp = 0;
    QString versionText;
    int chCount = 0;
};
class LoadedConfig {
public:
    virtual ~LoadedConfig() = default;
    FileIdentity identity;
    // The I/O record into its page (its page is then shown); the network record into its page.
    virtual bool hasPage() const = 0;
    virtual void applyPage() = 0;
    virtual void applyNetwork() = 0;
};

// Where the session finds its pages, and how their contents become a file and back.
class PageSet {
public:
    virtual ~PageSet() = default;
    // Created on first use; null for a kind without a page.
    virtual IoPage *ioPage(int modelnum) = 0;
    virtual NetUnitPage *netPage(int netTyp) = 0;
    // The file the pages and globals make now; empty with *error set when it cannot be made.
    virtual QByteArray buildConfig(QString *error) = 0;
    // A file read and checked whole; null with *error set when it does not read.
    virtual std::unique_ptr<LoadedConfig> readConfig(const QByteArray &bytes, QString *error) = 0;
};
