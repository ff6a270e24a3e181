#pragma once
// Puts a SimUnit on a wire: splits received bytes into lines and schedules the
// reply bytes with the unit's turnaround and, optionally, the byte time of a baud rate.
#include "sim/SimUnit.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

namespace sim {

struct WireTiming {
    int turnaroundMs = 0; // the unit's thinking time before it answers
    int baud = 0;         // 0: bytes arrive at once; otherwise 10 bits per byte at this rate
    int fifoBytes = 14;   // while emulating a baud rate, bytes are handed over in groups of this many,
                          // as a UART's receive FIFO does; the last group when its last byte is through
};

class SimEndpoint : public QObject {
    Q_OBJECT
public:
    explicit SimEndpoint(std::shared_ptr<SimUnit> unit, QObject *parent = nullptr);
    SimUnit &unit() { return *m_unit; }
    std::shared_ptr<SimUnit> sharedUnit() const { return m_unit; }
    void setTiming(const WireTiming &t) { m_timing = t; }
    const WireTiming &timing() const { return m_timing; }
    void setLogLines(bool on) { m_log = on; }

    // Bytes from the program.
    void receive(const QByteArray &bytes);
    // Forget pending output and partial input (the line went away).
    void reset();
    // The line goes away now, as an unplugged adapter or a unit switched off would.
    void hangUp();

protected:
    virtual void deliver(const QByteArray &bytes) = 0;
    virtual void vanish() = 0;

private:
    struct Pending {
        qint64 atNs;
        QByteArray bytes;
        bool vanish = false;
    };
    void schedule(const Reply &r, int commandBytes);
    void pump();

    std::shared_ptr<SimUnit> m_unit;
    WireTiming m_timing;
    QByteArray m_rx;
    std::deque<Pending> m_out;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QTimer m_hangUpTimer;
    bool m_log = false;
};

} // namespace sim
