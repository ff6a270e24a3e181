#pragma once
// The simulated unit as an in-process serial device, for tests and the bench.
#include "link/SerialDevice.h"
#include "sim/SimEndpoint.h"

namespace sim {

class SimDevice : public SerialDevice {
    Q_OBJECT
public:
    explicit SimDevice(std::shared_ptr<SimUnit> unit, QObject *parent = nullptr);
    bool open(const QString &portName, const QString &settings, QString *error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override { return m_rx.size(); }
    QByteArray readAll() override;

    SimEndpoint &endpoint() { return *m_endpoint; }
    SimUnit &unit() { return m_endpoint->unit(); }
    // The port name of the last open, and how many opens there were.
    QString lastPortName() const { return m_lastPortName; }
    int openCount() const { return m_openCount; }
    // Makes the next opens fail with this reason (empty: opens succeed).
    void setOpenFailure(const QString &reason) { m_openFailure = reason; }

private:
    class Wire;
    std::unique_ptr<SimEndpoint> m_endpoint;
    QByteArray m_rx;
    bool m_open = false;
    QString m_lastPortName;
    QString m_openFailure;
    int m_openCount = 0;
};

} // namespace sim
