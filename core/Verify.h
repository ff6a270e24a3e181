#pragma once
// Settings compared: what a Download sent with what the unit holds after it, or the page with
// the unit. Where they differ, the engineer is told setting by setting.
#include "core/Outcome.h"
#include "core/PageContract.h"

#include "link/Task.h"

#include <functional>

struct Difference {
    QString caption, channel;
    QString page; // written, or on the page (in the file)
    QString unit; // what the unit holds
};

// The settings of `page` whose value `unit` does not hold (matched by control; a setting the
// unit's side lacks holds nothing there).
QList<Difference> CompareSettings(const Settings &page, const Settings &unit);
// The settings a Download writes of those a page holds.
Settings WrittenOf(const Settings &settings);
// The same value: numbers as numbers where both sides are numbers, else as text.
bool SameValue(const SettingValue &a, const SettingValue &b);
// "CH 2 Range: written 0V to 10V, the unit holds 4mA to 20mA", one line each; `side` is how the
// page's value is introduced ("written", "in the file").
QString DescribeDifferences(const QList<Difference> &differences, const QString &side = QStringLiteral("written"));

// One value a Download sent, taken as its D line went out: the exchange, the setting it came
// from as it read then, and how to read that setting off the page again.
struct SentValue {
    QString group, item, data;
    bool answered = false; // the unit answered the D line
    SettingValue setting;
    std::function<SettingValue()> now;
};
using SentValues = QList<SentValue>;

// Keeps what the pages send while it lives. A page names the setting just before its write
// (expect); the write that follows fills in the exchange. A write nobody named (the download's
// "F") is no setting. Records nest: each keeps what was sent in its own life.
class SendRecord {
public:
    SendRecord();
    ~SendRecord();
    SendRecord(const SendRecord &) = delete;
    SendRecord &operator=(const SendRecord &) = delete;
    static bool recording();
    // The setting the next write sends; dropped by any other exchange.
    static void expect(SentValue value);
    const SentValues &values() const { return m_values; }

private:
    friend void NoteSent(const SentValue &);
    SentValues m_values;
};

// What a Download's read-back says about what it sent.
struct Verification {
    enum class Result { Verified, Differs, NotVerified, NothingToVerify };
    Result result = Result::NothingToVerify;
    QList<Difference> differences;
    int values = 0;         // settings compared
    Outcome readBack;       // NotVerified: why, where the read-back did not complete
    QStringList unread;     // NotVerified: settings sent that the read-back did not read
    // Why it is not verified, for a sentence: "no reply to group 00 item 14", "CH 0 Carry not read back".
    QString why() const;
};

// Every value sent (the last of each setting) compared with the page after a read-back; a
// read-back that did not complete, or that did not read a value sent, verifies nothing.
Verification Verify(const SentValues &sent, const OutcomeScope &readBack);

// The end of a Download's verification in the window: one box (title "Download", critical)
// naming each difference or why nothing is verified, or a note in the status area and the log.
// Nothing is said of a read-back the person cancelled.
co::Task<> ReportVerification(Verification v);
// The status line and the log's note of a Download that ended as `text`.
void NoteDownload(const QString &text);
