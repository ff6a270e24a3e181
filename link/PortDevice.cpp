#include "link/PortDevice.h"
#include "link/NetDevice.h"
#include "link/QtSerialDevice.h"

PortDevice::PortDevice(QObject *parent)
    : SerialDevice(parent), m_serial(std::make_unique<QtSerialDevice>()), m_active(m_serial.get()) {
    adopt(m_serial.get());
}

PortDevice::~PortDevice() = default;

void PortDevice::adopt(SerialDevice *d) {
    connect(d, &SerialDevice::dataArrived, this, &SerialDevice::dataArrived);
    connect(d, &SerialDevice::lost, this, &SerialDevice::lost);
    connect(d, &SerialDevice::opened, this, &SerialDevice::opened);
    connect(d, &SerialDevice::openFailed, this, &SerialDevice::openFailed);
}

SerialDevice *PortDevice::pick(const QString &portName) {
    SerialDevice *want = m_serial.get();
    if (IsNetPortName(portName)) {
        if (!m_net) {
            m_net = std::make_unique<NetDevice>();
            if (m_openTimeoutMs > 0) m_net->setOpenTimeout(m_openTimeoutMs);
            adopt(m_net.get());
        }
        want = m_net.get();
    }
    if (want != m_active) m_active->close();
    m_active = want;
    return want;
}

bool PortDevice::open(const QString &portName, const QString &settings, QString *error) {
    return pick(portName)->open(portName, settings, error);
}

void PortDevice::beginOpen(const QString &portName, const QString &settings) {
    pick(portName)->beginOpen(portName, settings);
}

void PortDevice::setOpenTimeout(int ms) {
    m_openTimeoutMs = ms;
    if (m_net) m_net->setOpenTimeout(ms);
}
