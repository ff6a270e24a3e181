#include "sim/SimDevice.h"

namespace sim {

class SimDevice::Wire : public SimEndpoint {
public:
    Wire(std::shared_ptr<SimUnit> unit, SimDevice *dev) : SimEndpoint(std::move(unit)), m_dev(dev) {}

protected:
    void deliver(const QByteArray &bytes) override {
        if (!m_dev->m_open) return;
        m_dev->m_rx += bytes;
        emit m_dev->dataArrived();
    }
    void vanish() override {
        if (!m_dev->m_open) return;
        m_dev->close();
        emit m_dev->lost(QStringLiteral("The device has been removed."));
    }

private:
    SimDevice *m_dev;
};

SimDevice::SimDevice(std::shared_ptr<SimUnit> unit, QObject *parent)
    : SerialDevice(parent), m_endpoint(std::make_unique<Wire>(std::move(unit), this)) {}

bool SimDevice::open(const QString &portName, const QString &, QString *error) {
    m_lastPortName = portName;
    if (!m_openFailure.isEmpty()) {
        if (error) *error = m_openFailure;
        return false;
    }
    ++m_openCount;
    m_open = true;
    return true;
}

void SimDevice::close() {
    m_open = false;
    m_rx.clear();
    m_endpoint->reset();
}

void SimDevice::write(const QByteArray &bytes) {
    if (m_open) m_endpoint->receive(bytes);
}

QByteArray SimDevice::readAll() {
    QByteArray b;
    b.swap(m_rx);
    return b;
}

} // namespace sim
