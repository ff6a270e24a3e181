#pragma once
// The serial port and the single request/reply transaction every command rests on.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class SerialDevice;

class Link : public QObject {
    Q_OBJECT
public:
    // Why a transaction ended without a reply.
    enum class NoReply { TimeOut, PortClosed, OverLong };
    Q_ENUM(NoReply)

    static constexpr int DefaultPauseMs = 10;
    static constexpr int DefaultTimeoutMs = 3000;
    // A reply longer than this without its carriage return is noise, not a reply.
    static constexpr int MaxReplyBytes = 4096;
    // The unit's line: 9600 baud, no parity, 8 data bits, 1 stop bit.
    static inline const QString DefaultSettings = QStringLiteral("9600,n,8,1");

    explicit Link(QObject *parent = nullptr);
    ~Link() override;

    // The device used by the next OpenComPort; the link takes ownership.
    void setDevice(std::unique_ptr<SerialDevice> device);
    SerialDevice *device() const { return m_device.get(); }

    // Opens COMk with a settings text such as "9600,n,8,1"; nothing happens when the port is
    // already open. On failure *failure names the port, its device and the reason.
    bool OpenComPort(int comPortNo, const QString &settings, QString *failure = nullptr);
    void CloseComPort();
    // Closes the port for good: nothing opens or sends any more (the program is ending).
    void shutDown();
    // No line goes out any more; the exchange under way ends as it would (an interrupted
    // command-line run stops at a line boundary).
    void stopLines() { m_linesStopped = true; }
    bool linesStopped() const { return m_linesStopped; }
    QString SendCommand(const QString &command);
    void note(const QString &text) { emit noted(text); }
    // The protocol's retry loop says when it tries again, for the log's statistics.
    void noteRetry() { emit retried(); }
    QString Transact(const QString &command);

    void IntervalTimerOn(int ms);
    void IntervalTimerOff();
    void IntervalTimerCheck(bool &flag) const;
    void IntervalTimer_Timer();
    bool TimedOut = false;

    bool isOpen() const;
    // How many transactions got anything back at all (a reply, a protocol answer or noise).
    quint64 answers() const { return m_answers; }
    // A command is waiting: in its pause before the line or in its transaction.
    bool busy() const { return m_waitDepth > 0; }
    // Tests shorten these to keep the suite fast; the program uses the defaults.
    void setTimings(int pauseMs, int timeoutMs);
    int pauseMs() const { return m_pauseMs; }
    int timeoutMs() const { return m_timeoutMs; }

    // The link every command operation goes through.
    static Link *current();
    static void setCurrent(Link *link);

signals:
    void comPortSelected(int comPortNo);
    // The device COMk actually opened (for example /dev/ttyUSB0).
    void portOpened(const QString &device);
    void portLost(const QString &reason);
    // The outermost wait for the unit has ended: commands held back may run now.
    void waitEnded();

    // The traffic, for the communication log. Emitted only while something listens; the
    // receivers must return at once (they queue the entry), the transaction never waits for them.
    void lineSent(const QByteArray &line);
    // A complete reply as it arrived, carriage return included, and the time since the line went out.
    void lineReceived(const QByteArray &line, qint64 replyUs);
    // What arrived before the transaction gave up (discarded), and how long it waited.
    void replyMissing(Link::NoReply why, const QByteArray &discarded, qint64 waitedUs);
    // The port could not be opened (lost ports come through portLost).
    void portError(const QString &port, const QString &reason);
    // A line of the program's own for whoever keeps the traffic (a verified download).
    void noted(const QString &text);
    // An exchange is tried again after the one before it got no usable reply.
    void retried();

protected:
    // The time-out and the pause tick as the link's own timers: no timer objects and no signals
    // to set up and tear down on every transaction.
    void timerEvent(QTimerEvent *e) override;

private:
    // The pause before a command line: window events run, the line waits its full time.
    void pause(int ms);
    // Sleeps for a reply byte, a tick or a click, never past the time-out.
    void waitForBytes();
    // A real port is slept on without the event loop, whose cold path after every wake-up costs
    // more than the exchange itself; window events then run in slices. Runs them if a slice has
    // passed; the milliseconds until the next.
    int runEventsWhenDue();
    void leaveWait();
    bool traced() const;
    bool openDevice(const QString &name, const QString &settings, QString *reason);

    std::unique_ptr<SerialDevice> m_device;
    int m_intervalTimer = 0;
    int m_pauseTimer = 0;
    int m_pauseMs = DefaultPauseMs;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_inTransaction = false;
    int m_waitDepth = 0;
    bool m_shutDown = false;
    bool m_linesStopped = false;
    quint64 m_answers = 0;
    static constexpr int EventsEveryMs = 100;
    QElapsedTimer m_eventsRan;
    QElapsedTimer m_intervalClock; // the time-out of a device slept on alone
    int m_intervalMs = 0;
    bool m_opening = false;
    // The last network port that would not open, and when.
    static constexpr int RecentFailureMs = 500;
    QString m_failedName, m_failedReason;
    QElapsedTimer m_failedOpen;
};
