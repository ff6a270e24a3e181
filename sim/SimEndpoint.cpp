#include "sim/SimEndpoint.h"

#include <QTextStream>
#include <QThread>
#include <algorithm>

namespace sim {

SimEndpoint::SimEndpoint(std::shared_ptr<SimUnit> unit, QObject *parent) : QObject(parent), m_unit(std::move(unit)) {
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimEndpoint::pump);
    m_hangUpTimer.setSingleShot(true);
    connect(&m_hangUpTimer, &QTimer::timeout, this, &SimEndpoint::hangUp);
}

void SimEndpoint::reset() {
    m_rx.clear();
    m_out.clear();
    m_timer.stop();
    m_hangUpTimer.stop();
}

void SimEndpoint::hangUp() {
    reset();
    vanish();
}

void SimEndpoint::receive(const QByteArray &bytes) {
    m_rx += bytes;
    // A peer that never ends its line must not grow our buffer without limit.
    if (m_rx.size() > 65536) m_rx = m_rx.right(1024);
    qsizetype cr;
    while ((cr = m_rx.indexOf('\r')) >= 0) {
        const QByteArray line = m_rx.left(cr);
        m_rx.remove(0, cr + 1);
        const QString text = QString::fromLatin1(line);
        if (m_log) QTextStream(stderr) << "k5sim <- " << text << Qt::endl;
        schedule(m_unit->handleLine(text), int(line.size()) + 1);
    }
}

void SimEndpoint::schedule(const Reply &r, int commandBytes) {
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 byteNs = m_timing.baud > 0 ? 10'000'000'000LL / m_timing.baud : 0;
    qint64 start = now + byteNs * commandBytes + qint64(m_timing.turnaroundMs + r.extraDelayMs) * 1'000'000;
    if (!m_out.empty()) start = std::max(start, m_out.back().atNs);
    if (r.hangUpAfterMs >= 0)
        m_hangUpTimer.start(int(std::max<qint64>(0, start - now) / 1'000'000) + r.hangUpAfterMs);
    if (r.vanish) {
        m_out.push_back({start, {}, true});
    } else if (!r.silent && !r.bytes.isEmpty()) {
        const QByteArray &b = r.bytes;
        const int n = int(b.size());
        if (byteNs > 0) {
            const int perBurst = std::max(1, m_timing.fifoBytes);
            for (int i = 0; i < n; i += perBurst) {
                const int len = std::min(perBurst, n - i);
                m_out.push_back({start + byteNs * (i + len), b.mid(i, len)});
            }
        } else if (r.chunks > 1) {
            const int per = std::max(1, (n + r.chunks - 1) / r.chunks);
            for (int i = 0, k = 0; i < n; i += per, ++k) m_out.push_back({start + k * 2'000'000LL, b.mid(i, per)});
        } else if (n > 8192) {
            for (int i = 0; i < n; i += 4096) m_out.push_back({start, b.mid(i, 4096)});
        } else {
            m_out.push_back({start, b});
        }
    }
    pump();
}

void SimEndpoint::pump() {
    while (!m_out.empty()) {
        const qint64 now = m_clock.nsecsElapsed();
        Pending &p = m_out.front();
        if (p.atNs > now) {
            const qint64 remainingNs = p.atNs - now;
            if (remainingNs > 2'000'000) {
                // Wake a little early, then finish the wait precisely.
                m_timer.start(int(remainingNs / 1'000'000) - 1);
                return;
            }
            QThread::usleep(static_cast<unsigned long>(remainingNs / 1000));
        }
        if (p.vanish) {
            m_out.clear();
            vanish();
            return;
        }
        const QByteArray bytes = p.bytes;
        m_out.pop_front();
        deliver(bytes);
        // Let the program read each chunk separately, as a real line would hand them over.
        if (!m_out.empty()) {
            m_timer.start(0);
            return;
        }
    }
}

} // namespace sim
