#include "link/Link.h"
#include "app/Globals.h"
#include "app/Ui.h"
#include "link/PortMap.h"
#include "link/QtSerialDevice.h"
#include "link/TextRoutines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaMethod>
#include <QThread>

namespace {
Link *currentLink = nullptr;
}

Link::Link(QObject *parent) : QObject(parent) {
    m_intervalTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_intervalTimer, &QTimer::timeout, this, &Link::IntervalTimer_Timer);
    setDevice(std::make_unique<QtSerialDevice>());
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

bool Link::OpenComPort(bool reportFailure) {
    if (isOpen()) return true;
    if (!m_device) return false;
    const int k = g.ComPortNo;
    emit comPortSelected(k);
    const QString name = PortMap::deviceFor(k);
    QString reason;
    if (m_device->open(name, g.BaudRate + ",n,8,1", &reason)) {
        emit portOpened(name);
        return true;
    }
    emit portError(name, reason);
    if (reportFailure)
        MsgBox(QStringLiteral("COM%1 (%2) cannot be opened: %3").arg(k).arg(name, reason), "Connection",
           MsgIcon::Critical);
    return false;
}

void Link::CloseComPort() {
    if (!isOpen()) return;
    IntervalTimerOff();
    m_device->close();
}

void Link::IntervalTimerOn(int ms) {
    TimedOut = false;
    m_intervalTimer.setInterval(ms);
    m_intervalTimer.start();
}

void Link::IntervalTimerOff() { m_intervalTimer.stop(); }
void Link::IntervalTimerCheck(bool &flag) const { flag = TimedOut; }
void Link::IntervalTimer_Timer() { TimedOut = true; }

QString Link::SendCommand(const QString &command) {
    // A closed port fails at once, without the pause.
    if (!isOpen()) return {};
    if (m_pauseMs > 0) QThread::msleep(static_cast<unsigned long>(m_pauseMs));
    return TrimBlanks(Transact(command));
}

QString Link::Transact(const QString &command) {
    // One transaction at a time: a sequence started from inside another's wait gets no line.
    if (!isOpen() || m_inTransaction || g.ProgramEnding) return {};
    m_inTransaction = true;
    QByteArray reply;
    bool overflow = false;
    bool complete = false;
    IntervalTimerOn(m_timeoutMs);
    const QByteArray line = command.toLatin1();
    const bool trace = traced();
    QElapsedTimer sentAt;
    if (trace) {
        emit lineSent(line);
        sentAt.start();
    }
    m_device->write(line);
    for (;;) {
        if (m_device->bytesAvailable() > 0) {
            const QByteArray chunk = m_device->readAll();
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
        if (timedOut || !isOpen() || g.ProgramEnding) break;
        // Sleeps until a byte, a tick or a click arrives.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    IntervalTimerOff();
    m_inTransaction = false;
    if (trace) {
        const qint64 us = sentAt.nsecsElapsed() / 1000;
        if (complete) emit lineReceived(reply, us);
        else emit replyMissing(overflow ? NoReply::OverLong : TimedOut ? NoReply::TimeOut : NoReply::PortClosed, reply, us);
    }
    emit waitEnded();
    if (!complete) return {};
    reply.chop(1);
    return QString::fromLatin1(reply);
}
