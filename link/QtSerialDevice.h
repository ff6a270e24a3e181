#pragma once
#include "link/SerialDevice.h"

#include <QSerialPort>

class QtSerialDevice : public SerialDevice {
    Q_OBJECT
public:
    explicit QtSerialDevice(QObject *parent = nullptr);
    bool open(const QString &portName, const QString &settings, QString *error) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    void discardInput() override;

private:
    void onError(QSerialPort::SerialPortError e);
    QSerialPort m_port;
};

// Applies "baud,parity,data,stop" to a port; false when the text cannot be understood.
bool ApplySettingsText(QSerialPort &port, const QString &settings);
