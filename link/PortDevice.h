#pragma once
// The link's own device: at each open the port name picks it, a network connection for
// tcp:// and rfc2217:// names, the serial port for any other.
#include "link/SerialDevice.h"

#include <memory>

class PortDevice : public SerialDevice {
    Q_OBJECT
public:
    explicit PortDevice(QObject *parent = nullptr);
    ~PortDevice() override;
    bool open(const QString &portName, const QString &settings, QString *error) override;
    void beginOpen(const QString &portName, const QString &settings) override;
    void setOpenTimeout(int ms) override;
    void close() override { m_active->close(); }
    bool isOpen() const override { return m_active->isOpen(); }
    void write(const QByteArray &bytes) override { m_active->write(bytes); }
    qint64 bytesAvailable() const override { return m_active->bytesAvailable(); }
    QByteArray readAll() override { return m_active->readAll(); }
    void discardInput() override { m_active->discardInput(); }

private:
    SerialDevice *pick(const QString &portName);
    void adopt(SerialDevice *d);
    std::unique_ptr<SerialDevice> m_serial, m_net; // the network one made when first needed
    SerialDevice *m_active;
    int m_openTimeoutMs = 0;
};
