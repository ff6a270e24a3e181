#include "link/Link.h"
#include "link/NetDevice.h"
#include "link/PortDevice.h"
#include "link/PortMap.h"
#include "link/TextRoutines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaMethod>
#include <QThread>
#include <QTimerEvent>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace {
Link *currentLink = nullptr;
}

Link::Link(QObject *parent) : QObject(parent) {
#ifdef Q_OS_LINUX
    // The pause ends in a plain sleep; the system's default slack of 50 us would be added to it,
    // and to every wake-up for a byte, on every transaction.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    setDevice(std::make_unique<PortDevice>());
}

Link::~Link() {
    if (currentLink == this) currentLink = nullptr;
}

void Link::setDevice(std::unique_ptr<SerialDevice> device) {
    if (m_device) m_device->close();
    m_device = std::move(device);
    if (m_device) connect(m_device.get(), &SerialDevice::lost, this, &Link::portLost);
}

Link *Link::current() { return currentLink; }
void Link::setCurrent(Link *link) { currentLink = link; }

void Link::setTimings(int pauseMs, int timeoutMs) {
    m_pauseMs = pauseMs;
    m_timeoutMs = timeoutMs;
}

bool Link::traced() const {
    static const QMetaMethod sent = QMetaMethod::fromSignal(&Link::lineSent);
    static const QMetaMethod received = QMetaMethod::fromSignal(&Link::lineReceived);
    static const QMetaMethod missing = QMetaMethod::fromSignal(&Link::replyMissing);
    return isSignalConnected(sent) || isSignalConnected(received) || isSignalConnected(missing);
}

bool Link::isOpen() const { return m_device && m_device->isOpen(); }

bool Link::OpenComPort(int comPortNo, const QString &settings, QString *failure) {
    if (isOpen()) return true;
    if (!m_device || m_shutDown || m_opening) return false;
    const int k = comPortNo;
    emit comPortSelected(k);
    const QString name = PortMap::deviceFor(k);
    QString reason;
    if (openDevice(name, settings, &reason)) {
        // Which device server and port: the log keeps it beside the lines that follow.
        if (IsNetPortName(name)) emit noted(QStringLiteral("COM%1 (%2) connected to the device server").arg(k).arg(name));
        emit portOpened(name);
        return true;
    }
    emit portError(name, reason);
    if (failure) *failure = QStringLiteral("COM%1 (%2) cannot be opened: %3").arg(k).arg(name, reason);
    return false;
}

bool Link::openDevice(const QString &name, const QString &settings, QString *reason) {
    if (!IsNetPortName(name)) return m_device->open(name, settings, reason);
    // Setting opens the chosen port and the Connect after it opens it again: a host that did
    // not answer just now is not waited for a second time.
    if (m_failedOpen.isValid() && m_failedOpen.elapsed() < RecentFailureMs && m_failedName == name) {
        *reason = m_failedReason;
        return false;
    }
    // A connection takes its time: window events run meanwhile, as in a transaction's wait, and
    // commands clicked meanwhile are held until it is made. It waits no longer than a reply would.
    m_device->setOpenTimeout(m_timeoutMs);
    m_opening = true;
    ++m_waitDepth;
    bool ok = m_device->open(name, settings, reason);
    m_opening = false;
    if (ok && m_shutDown) {
        m_device->close();
        ok = false;
    }
    if (ok) {
        m_failedOpen.invalidate();
    } else {
        m_failedName = name;
        m_failedReason = *reason;
        m_failedOpen.start();
    }
    leaveWait();
    return ok;
}

void Link::CloseComPort() {
    // A connection still being made is given up.
    if (m_opening && m_device) m_device->close();
    if (!isOpen()) return;
    IntervalTimerOff();
    m_device->close();
}

void Link::shutDown() {
    m_shutDown = true;
    CloseComPort();
}

void Link::IntervalTimerOn(int ms) {
    TimedOut = false;
    IntervalTimerOff();
    if (m_device && m_device->canWaitAlone()) {
        // Its wait ends by itself at the time-out; the clock is enough, and cheaper than a timer.
        m_intervalMs = ms;
        m_intervalClock.start();
    } else {
        m_intervalTimer = startTimer(ms, Qt::PreciseTimer);
    }
}

void Link::IntervalTimerOff() {
    if (m_intervalTimer) killTimer(std::exchange(m_intervalTimer, 0));
    m_intervalClock.invalidate();
}

void Link::timerEvent(QTimerEvent *e) {
    if (e->timerId() == m_intervalTimer) {
        IntervalTimer_Timer();
    } else if (e->timerId() == m_pauseTimer) {
        // Its tick only wakes the pause; the pause itself watches the clock.
        killTimer(std::exchange(m_pauseTimer, 0));
    }
}
void Link::IntervalTimerCheck(bool &flag) const {
    flag = TimedOut || (m_intervalClock.isValid() && m_intervalClock.elapsed() >= m_intervalMs);
}
void Link::IntervalTimer_Timer() { TimedOut = true; }

void Link::pause(int ms) {
    QElapsedTimer clock;
    clock.start();
    const qint64 endNs = qint64(ms) * 1000000;
    const auto sleepNs = [](qint64 ns) { QThread::usleep(static_cast<unsigned long>((ns + 999) / 1000)); };
    if (m_device->canWaitAlone()) {
        for (;;) {
            const qint64 dueNs = qint64(runEventsWhenDue()) * 1000000;
            const qint64 leftNs = endNs - clock.nsecsElapsed();
            if (leftNs <= 0 || !isOpen()) break;
            sleepNs(qMin(leftNs, dueNs));
        }
        return;
    }
    // Events run for all but the last millisecond, which is slept out plainly: a timer's wake-up
    // is less exact than a sleep, and the line must leave when it always did.
    constexpr qint64 PlainSleepNs = 1000000;
    if (ms > 1) m_pauseTimer = startTimer(ms - 1, Qt::PreciseTimer);
    while (isOpen()) {
        const qint64 leftNs = endNs - clock.nsecsElapsed();
        if (leftNs <= 0) break;
        if (leftNs <= PlainSleepNs || !m_pauseTimer) {
            sleepNs(leftNs);
            break;
        }
        // Sleeps until the tick or until a byte or a click arrives.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (m_pauseTimer) killTimer(std::exchange(m_pauseTimer, 0));
}

int Link::runEventsWhenDue() {
    if (!m_eventsRan.isValid() || m_eventsRan.elapsed() >= EventsEveryMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_eventsRan.start();
    }
    return EventsEveryMs - int(m_eventsRan.elapsed());
}

void Link::waitForBytes() {
    if (!m_device->canWaitAlone()) {
        // Sleeps until a byte, a tick or a click arrives.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return;
    }
    const int dueMs = runEventsWhenDue();
    const qint64 leftMs = m_intervalMs - m_intervalClock.elapsed();
    if (leftMs > 0 && isOpen() && m_device->bytesAvailable() == 0)
        m_device->waitForBytes(int(qMin<qint64>(leftMs, qMax(dueMs, 1))));
}

void Link::leaveWait() {
    if (--m_waitDepth == 0) emit waitEnded();
}

QString Link::SendCommand(const QString &command) {
    // A closed port fails at once, without the pause; so does a command started inside another's wait.
    if (!isOpen() || busy() || m_linesStopped) return {};
    if (m_pauseMs > 0) {
        ++m_waitDepth;
        pause(m_pauseMs);
        if (!isOpen()) {
            leaveWait();
            return {};
        }
        // The transaction takes the wait over without a gap: no events run in between.
        --m_waitDepth;
    }
    return TrimBlanks(Transact(command));
}

QString Link::Transact(const QString &command) {
    // One transaction at a time: a sequence started from inside another's wait gets no line.
    if (!isOpen() || busy() || m_shutDown || m_linesStopped) return {};
    m_inTransaction = true;
    ++m_waitDepth;
    QByteArray reply;
    bool anything = false;
    bool overflow = false;
    bool complete = false;
    IntervalTimerOn(m_timeoutMs);
    const QByteArray line = command.toLatin1();
    const bool trace = traced();
    QElapsedTimer sentAt;
    // Bytes already waiting belong to an earlier exchange (a reply that came after its time-out).
    m_device->discardInput();
    if (trace) {
        emit lineSent(line);
        sentAt.start();
    }
    m_device->write(line);
    for (;;) {
        if (m_device->bytesAvailable() > 0) {
            const QByteArray chunk = m_device->readAll();
            anything = anything || !chunk.isEmpty();
            if (!overflow) {
                reply += chunk;
                if (reply.size() > MaxReplyBytes + 1) {
                    overflow = true;
                    reply.clear();
                }
            }
            if (chunk.endsWith('\r')) {
                complete = !overflow;
                break;
            }
        }
        bool timedOut = false;
        IntervalTimerCheck(timedOut);
        TimedOut = TimedOut || timedOut;
        if (timedOut || !isOpen()) break;
        waitForBytes();
    }
    IntervalTimerOff();
    m_inTransaction = false;
    if (anything) ++m_answers;
    if (trace) {
        const qint64 us = sentAt.nsecsElapsed() / 1000;
        if (complete) emit lineReceived(reply, us);
        else emit replyMissing(overflow ? NoReply::OverLong : TimedOut ? NoReply::TimeOut : NoReply::PortClosed, reply, us);
    }
    leaveWait();
    if (!complete) return {};
    reply.chop(1);
    return QString::fromLatin1(reply);
}
