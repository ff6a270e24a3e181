#pragma once
// What the session asks of the pages. The pages live above it (widgets of a window, or the same
// pages headless); the session reaches them only through these.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

#include "link/Task.h"

struct Outcome;
class Session;

// One setting a page shows, as a file carries it: what it is called where the engineer reads it,
// and its value (a list's entry as its index, shown as its text).
struct SettingValue {
    QString key;     // the control's name ("cmbUserRange(2)"); an option pair by its first option
    QString caption; // "Range"
    QString channel; // "CH 2", or empty for a setting of the module or the unit
    QString value;   // what is compared
    QString shown;   // what the engineer reads
    bool number = false; // a text box: "10" and "10.00" are the same value
    bool written = true; // a Download writes it (a list that holds nothing does not)
    bool exchanged = true; // the unit's kind has it: the page reads and writes it
};
using Settings = QList<SettingValue>;

// The page contract of an I/O page, as the commands use it.
class IoPage {
public:
    virtual ~IoPage() = default;
    // The operations, each with what became of it (the exchanges it ran, the person's cancel).
    co::Task<Outcome> init();
    co::Task<Outcome> download();
    co::Task<Outcome> readingData();

    // Each awaited: the exchanges go out one after another, the main loop runs meanwhile.
    virtual co::Task<> Init() = 0;
    virtual co::Task<> Download() = 0;
    virtual co::Task<> ReadingData() = 0;
    // Pages without a check count as valid.
    virtual bool hasCheckData() const { return true; }
    virtual bool CheckData() { return true; }
    // What the "Data Error" box says of a check that failed (the positioning page names the rule).
    virtual QString checkDetail() const;
    // What Start, Stop and Disconnect do to the page.
    virtual void onStart() = 0;
    virtual void onStop() = 0;
    virtual void onDisconnect() = 0;
};

// A network page: read by every Upload, shown by the network command.
class NetUnitPage {
public:
    virtual ~NetUnitPage() = default;
    // The Upload's reads, with what became of them.
    co::Task<Outcome> upload();
    // A Download's writes without its read-back (that is the caller's, which may read more pages
    // first); a refusal says why (a box left empty).
    virtual co::Task<Outcome> writeToUnit() = 0;
    virtual co::Task<> btnUpload_Click() = 0;
    // Modal; ends when the person has closed it.
    virtual co::Task<> showModal() = 0;
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
    std::optional<int> recordSubTyp; // the network record's SubTyp, set once its page has the record
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
    // The session the pages work for: their failure routines disconnect through it.
    virtual void setSession(Session *session) { m_session = session; }
    Session *session() const { return m_session; }
    // Created on first use; null for a kind without a page.
    virtual IoPage *ioPage(int modelnum) = 0;
    virtual NetUnitPage *netPage(int netTyp) = 0;
    // The file the pages and globals make now; empty with *error set when it cannot be made.
    virtual QByteArray buildConfig(QString *error) = 0;
    // A file read and checked whole; null with *error set when it does not read.
    virtual std::unique_ptr<LoadedConfig> readConfig(const QByteArray &bytes, QString *error) = 0;
    // The settings a page holds now, as its record names them: of the channels the unit has
    // (ChCount) on an I/O page, all of a network page.
    virtual Settings settings(IoPage *page) = 0;
    virtual Settings settings(NetUnitPage *page) = 0;
    // A second page of the kind, never shown: what Compare reads the unit into. Each Compare
    // drops the copies first: nothing of an earlier reading stays.
    virtual IoPage *copyOf(int modelnum) = 0;
    virtual NetUnitPage *netCopyOf(int netTyp) = 0;
    virtual void dropCopies() = 0;

private:
    Session *m_session = nullptr;
};
