#pragma once
#include "link/SerialDevice.h"

#include <QSerialPort>

class QtSerialDevice : public SerialDevice {
    Q_OBJECT
public:
    explicit QtSerialDevice(Peer peer = PeerElsewhere, QObject *parent = nullptr);
    bool open(const QString &portName, const QString &settings, QString *error) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    void discardInput() override;
    bool canWaitAlone() const override { return m_peer == PeerElsewhere; }
    void waitForBytes(int ms) override;

private:
    void onError(QSerialPort::SerialPortError e);
    QSerialPort m_port;
    Peer m_peer;
};

// Applies "baud,parity,data,stop" to a port; false when the text cannot be understood.
bool ApplySettingsText(QSerialPort &port, const QString &settings);
