#include "link/Link.h"
#include "link/NetDevice.h"
#include "link/PortDevice.h"
#include "link/PortMap.h"
#include "link/TextRoutines.h"

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
    if (!m_device) return;
    connect(m_device.get(), &SerialDevice::lost, this, &Link::portLost);
    // Once, not per transaction: a wake-up with nothing waiting does nothing.
    connect(m_device.get(), &SerialDevice::dataArrived, this, &Link::wake);
    connect(m_device.get(), &SerialDevice::lost, this, &Link::wakeLater);
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

co::Task<bool> Link::OpenComPort(int comPortNo, QString settings, QString *failure) {
    if (isOpen()) co_return true;
    if (!m_device || m_shutDown || m_opening) co_return false;
    const int k = comPortNo;
    emit comPortSelected(k);
    const QString name = PortMap::deviceFor(k);
    QString reason;
    const bool opened = co_await openDevice(name, settings, &reason);
    if (opened) {
        // Which device server and port: the log keeps it beside the lines that follow.
        if (IsNetPortName(name)) emit noted(QStringLiteral("COM%1 (%2) connected to the device server").arg(k).arg(name));
        emit portOpened(name);
        co_return true;
    }
    emit portError(name, reason);
    if (failure) *failure = QStringLiteral("COM%1 (%2) cannot be opened: %3").arg(k).arg(name, reason);
    co_return false;
}

co::Task<bool> Link::openDevice(QString name, QString settings, QString *reason) {
    if (!IsNetPortName(name)) co_return m_device->open(name, settings, reason);
    // Setting opens the chosen port and the Connect after it opens it again: a host that did
    // not answer just now is not waited for a second time.
    if (m_failedOpen.isValid() && m_failedOpen.elapsed() < RecentFailureMs && m_failedName == name) {
        *reason = m_failedReason;
        co_return false;
    }
    // A connection takes its time: the window answers meanwhile, and commands clicked meanwhile
    // are held until it is made. It waits no longer than a reply would.
    m_device->setOpenTimeout(m_timeoutMs);
    m_opening = true;
    m_openDone = false;
    ++m_waitDepth;
    const QMetaObject::Connection ok = connect(m_device.get(), &SerialDevice::opened, this, [this] {
        m_openDone = m_openOk = true;
        wake();
    });
    const QMetaObject::Connection failed = connect(m_device.get(), &SerialDevice::openFailed, this, [this](const QString &why) {
        m_openDone = true;
        m_openOk = false;
        m_openFailure = why;
        wake();
    });
    m_device->beginOpen(name, settings);
    while (!m_openDone && !m_shutDown) co_await woken();
    // Given up (Disconnect, Exit): the connection still being made goes.
    if (!m_openDone) m_device->close();
    disconnect(ok);
    disconnect(failed);
    m_opening = false;
    bool opened = m_openDone && m_openOk;
    if (!m_openDone) m_openFailure = QStringLiteral("the connection was given up before it was made.");
    if (opened && m_shutDown) {
        m_device->close();
        opened = false;
    }
    if (opened) {
        m_failedOpen.invalidate();
    } else {
        *reason = m_openFailure;
        m_failedName = name;
        m_failedReason = *reason;
        m_failedOpen.start();
    }
    leaveWait();
    if (m_shutDown) throw co::Cancelled{};
    co_return opened;
}

void Link::dropUnit() {
    emit unitDropped();
    CloseComPort();
}

void Link::CloseComPort() {
    // A connection still being made is given up.
    if (m_opening && m_device) {
        m_device->close();
        wakeLater();
    }
    if (!isOpen()) return;
    IntervalTimerOff();
    m_device->close();
    wakeLater();
}

void Link::shutDown() {
    m_shutDown = true;
    CloseComPort();
    // Whatever waits unwinds now, before the program goes on to end.
    wake();
}

void Link::IntervalTimerOn(int ms) {
    TimedOut = false;
    IntervalTimerOff();
    m_intervalTimer = startTimer(ms, Qt::PreciseTimer);
}

void Link::IntervalTimerOff() {
    if (m_intervalTimer) killTimer(std::exchange(m_intervalTimer, 0));
}

void Link::timerEvent(QTimerEvent *e) {
    if (e->timerId() == m_intervalTimer) {
        IntervalTimer_Timer();
        wake();
    } else if (e->timerId() == m_pauseTimer) {
        killTimer(std::exchange(m_pauseTimer, 0));
        m_pauseTicked = true;
        wake();
    }
}
void Link::IntervalTimerCheck(bool &flag) const { flag = TimedOut; }
void Link::IntervalTimer_Timer() {
    TimedOut = true;
    IntervalTimerOff();
}

void Link::wake() {
    if (std::coroutine_handle<> h = std::exchange(m_waiter, {})) h.resume();
}

void Link::wakeLater() {
    QMetaObject::invokeMethod(this, [this] { wake(); }, Qt::QueuedConnection);
}

co::Task<> Link::pause(int ms) {
    QElapsedTimer clock;
    clock.start();
    const qint64 endNs = qint64(ms) * 1000000;
    // The main loop runs for all but the last millisecond, which is slept out plainly: a timer's
    // wake-up is less exact than a sleep, and the line must leave when it always did.
    constexpr int PlainSleepMs = 1;
    if (ms > PlainSleepMs) {
        m_pauseTicked = false;
        m_pauseTimer = startTimer(ms - PlainSleepMs, Qt::PreciseTimer);
        while (!m_pauseTicked && isOpen() && !m_shutDown) co_await woken();
        if (m_pauseTimer) killTimer(std::exchange(m_pauseTimer, 0));
    }
    if (m_shutDown) throw co::Cancelled{};
    const qint64 leftNs = endNs - clock.nsecsElapsed();
    if (leftNs > 0 && isOpen()) QThread::usleep(static_cast<unsigned long>((leftNs + 999) / 1000));
}

void Link::leaveWait() {
    if (--m_waitDepth == 0) emit waitEnded();
}

co::Task<QString> Link::SendCommand(QString command) {
    // A closed port fails at once, without the pause; so does a command started inside another's wait.
    if (!isOpen() || busy() || m_linesStopped) co_return QString();
    if (m_pauseMs > 0) {
        ++m_waitDepth;
        try {
            co_await pause(m_pauseMs);
        } catch (const co::Cancelled &) {
            leaveWait();
            throw;
        }
        if (!isOpen()) {
            leaveWait();
            co_return QString();
        }
        // The transaction takes the wait over without a gap: nothing runs in between.
        --m_waitDepth;
    }
    co_return TrimBlanks(co_await Transact(command));
}

co::Task<QString> Link::Transact(QString command) {
    // One transaction at a time: a sequence started from inside another's wait gets no line.
    if (!isOpen() || busy() || m_shutDown || m_linesStopped) co_return QString();
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
    ++m_linesSent;
    bool cancelled = false;
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
        if (timedOut || !isOpen()) break;
        co_await woken();
        if (m_shutDown) {
            cancelled = true;
            break;
        }
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
    if (cancelled) throw co::Cancelled{};
    if (!complete) co_return QString();
    reply.chop(1);
    co_return QString::fromLatin1(reply);
}
