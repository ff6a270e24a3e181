#pragma once
// The communication log: every line sent and received, time-outs and port errors, in order.
// It records from start-up whether its window is open or not; entries are queued by the link's
// signals and shown in batches while the window is open; the store is bounded. It also counts
// the exchanges since the connection.
#include "link/Link.h"
#include "link/Traffic.h"

#include <QByteArray>
#include <QDockWidget>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CommLog : public QDockWidget {
    Q_OBJECT
  public:
    using Kind = TrafficEntry::Kind;
    using Entry = TrafficEntry; // bytes cut at MaxShownBytes

    // Counted since the port opened (or the person reset them).
    struct Stats {
        qint64 sinceMs = 0;
        int exchanges = 0, timeOuts = 0, retries = 0, portErrors = 0;
        int replies = 0; // exchanges answered: the reply times are theirs
        qint64 minUs = 0, maxUs = 0, totalUs = 0;
    };

    static constexpr int DefaultMaxEntries = 20000;
    // Longer lines (noise, a runaway unit) are cut for the display; the log says how long they were.
    static constexpr int MaxShownBytes = 256;
    static constexpr int FlushMs = 500;
    // The view shows the newest lines of the store: a text view's line costs over half a kilobyte,
    // the store's a tenth of that. Copy, Save and CSV take the whole store.
    static constexpr int MaxViewLines = 5000;

    explicit CommLog(QWidget *parent = nullptr);

    // Listens to this link from now on, open or closed; closed, it only stores.
    void setLink(Link *link);
    void setMaxEntries(int n);
    int maxEntries() const { return m_max; }
    // Milliseconds since the epoch; tests and the bench inject a clock of their own.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    // Everything recorded so far, shown or still queued, oldest first.
    QList<Entry> entries() const;
    int entryCount() const { return int(m_entries.size() + m_queue.size()); }
    // One entry as a line of the log ("12:00:00.123  TX  G00<CR>").
    static QString format(const Entry &e);
    // Bytes with the carriage return and other non-printables made visible: <CR>, <LF>, \x07.
    static QString visible(const QByteArray &bytes);
    QString allText() const;

    bool isPaused() const { return m_paused; }
    void setPaused(bool paused);
    void clear();
    // Shows the queued entries now (the timer does this every FlushMs).
    void flush();
    // Selects the next match of the search text below the cursor, wrapping around; false when there is none.
    bool findNext();
    void copy();
    // Asks for a file name through the UI seam and writes the log as text; false when cancelled or failed.
    co::Task<bool> saveAs();
    bool saveTo(const QString &path) const;
    // The log as its text file holds it: a head, then every line.
    QByteArray text() const;
    // Time, direction, line, reply ms: one row per entry.
    QString csv() const;
    bool saveCsvTo(const QString &path) const;
    co::Task<bool> exportCsv();

    const Stats &stats() const { return m_stats; }
    void resetStats();
    // "Since 08:00:00: 120 exchanges, 1 time-out, ..."
    static QString statsText(const Stats &s);

    // Controls, by name.
    QPlainTextEdit *txtLog;
    QPushButton *btnPause, *btnClear, *btnCopy, *btnSave, *btnCsv, *btnFind, *btnResetStats;
    QLineEdit *txtFind;
    QLabel *lblCount, *lblStats;

    // Wide enough for time, direction, reply time and a typical line.
    QSize sizeHint() const override { return {440, 400}; }
    // Opened, it shows at once what was recorded while it was closed.
    void setVisible(bool visible) override;

  private:
    void listen(bool on);
    void add(Entry e);
    void onSent(const QByteArray &line);
    void onReceived(const QByteArray &line, qint64 replyUs);
    void onMissing(Link::NoReply why, const QByteArray &discarded, qint64 waitedUs);
    void onPortError(const QString &port, const QString &reason);
    void onNote(const QString &text);
    void onPortLost(const QString &reason);
    void onPortOpened();
    void trim(std::deque<Entry> &d, int max);
    void updateCount();
    void updateStats();

    QPointer<Link> m_link;
    QList<QMetaObject::Connection> m_connections;
    std::deque<Entry> m_entries; // shown
    std::deque<Entry> m_queue;   // waiting for the next flush (or for the end of a pause)
    int m_max = DefaultMaxEntries;
    bool m_paused = false;
    QTimer m_flushTimer;
    std::function<qint64()> m_clock;
    Stats m_stats;
};
