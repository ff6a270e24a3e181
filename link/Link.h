#pragma once
// The serial port and the single request/reply transaction every command rests on.
#include "link/Task.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#ifndef Q_MOC_RUN
#include <coroutine>
#endif
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
    // A network port is awaited (its connection, at most the time-out); a serial port opens at once.
    co::Task<bool> OpenComPort(int comPortNo, QString settings, QString *failure = nullptr);
    void CloseComPort();
    // A page gave the unit up after a failure: whoever owns the connection (the session) lets it
    // go; the port is closed in any case.
    void dropUnit();
    // Closes the port for good: nothing opens or sends any more (the program is ending).
    void shutDown();
    // No line goes out any more; the exchange under way ends as it would (an interrupted
    // command-line run stops at a line boundary).
    void stopLines() { m_linesStopped = true; }
    bool linesStopped() const { return m_linesStopped; }
    // The 10 ms pause, then the transaction: awaited, the main loop runs meanwhile.
    co::Task<QString> SendCommand(QString command);
    void note(const QString &text) { emit noted(text); }
    // The protocol's retry loop says when it tries again, for the log's statistics.
    void noteRetry() { emit retried(); }
    co::Task<QString> Transact(QString command);

    void IntervalTimerOn(int ms);
    void IntervalTimerOff();
    void IntervalTimerCheck(bool &flag) const;
    void IntervalTimer_Timer();
    bool TimedOut = false;

    bool isOpen() const;
    // How many transactions got anything back at all (a reply, a protocol answer or noise).
    quint64 answers() const { return m_answers; }
    // How many lines went out.
    quint64 linesSent() const { return m_linesSent; }
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
    void unitDropped();
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
    // The one wait of the link: until a byte arrives, the time-out or the pause ticks, or the
    // port closes. Awaited by one exchange at a time.
    struct Woken {
        Link *link;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> h) noexcept { link->m_waiter = h; }
        void await_resume() const noexcept {}
    };
    Woken woken() { return {this}; }
    // Resumes the exchange that waits: at once from the event loop's own handlers, later from a
    // caller that goes on after it (a Disconnect closing the port under the wait).
    void wake();
    void wakeLater();
    // The pause before a command line: a timer awaited, the last part slept plainly so that the
    // line leaves when it always did.
    co::Task<> pause(int ms);
    void leaveWait();
    bool traced() const;
    co::Task<bool> openDevice(QString name, QString settings, QString *reason);

    std::unique_ptr<SerialDevice> m_device;
    std::coroutine_handle<> m_waiter;
    int m_intervalTimer = 0;
    int m_pauseTimer = 0;
    bool m_pauseTicked = false;
    int m_pauseMs = DefaultPauseMs;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_inTransaction = false;
    int m_waitDepth = 0;
    bool m_shutDown = false;
    bool m_linesStopped = false;
    quint64 m_answers = 0;
    quint64 m_linesSent = 0;
    bool m_opening = false;
    bool m_openDone = false, m_openOk = false;
    QString m_openFailure;
    // A network port that failed just now is not tried again at once (Setting opens, Connect after it).
    static constexpr int RecentFailureMs = 500;
    QString m_failedName, m_failedReason;
    QElapsedTimer m_failedOpen;
};
