#pragma once
// What the link needs from a serial line. One implementation wraps QSerialPort, another a
// connection to a serial device server; the simulated unit provides one so tests run without
// hardware.
#include <QByteArray>
#include <QMetaObject>
#include <QObject>
#include <QString>

class SerialDevice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // settings is the classic text form, e.g. "9600,n,8,1". On failure *error gets a readable reason.
    // A device that cannot open at once (a network connection) fails here: it opens by beginOpen.
    virtual bool open(const QString &portName, const QString &settings, QString *error) = 0;
    // The same without waiting: opened() or openFailed() tells how it went, never before this returns.
    virtual void beginOpen(const QString &portName, const QString &settings) {
        QString error;
        const bool ok = open(portName, settings, &error);
        QMetaObject::invokeMethod(
            this, [this, ok, error] { ok ? emit opened() : emit openFailed(error); }, Qt::QueuedConnection);
    }
    // How long an open may wait for the other end (a network connection); a port opens at once.
    virtual void setOpenTimeout(int ms) { Q_UNUSED(ms); }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QByteArray &bytes) = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    // Drops every byte received so far, also those the system still holds for us.
    virtual void discardInput() {
        if (bytesAvailable() > 0) readAll();
    }

signals:
    void dataArrived();
    // The line failed for good (adapter unplugged, peer gone); the device has closed itself.
    void lost(const QString &reason);
    // The outcome of beginOpen.
    void opened();
    void openFailed(const QString &reason);
};
