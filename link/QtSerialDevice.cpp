#include "link/QtSerialDevice.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

QtSerialDevice::QtSerialDevice(QObject *parent) : SerialDevice(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &SerialDevice::dataArrived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialDevice::onError);
}

bool ApplySettingsText(QSerialPort &port, const QString &settings) {
    const QStringList f = settings.split(',');
    if (f.size() != 4) return false;
    bool ok = false;
    const int baud = f[0].toInt(&ok);
    if (!ok || baud <= 0) return false;
    const QString parity = f[1].toLower();
    QSerialPort::Parity p;
    if (parity == "n") p = QSerialPort::NoParity;
    else if (parity == "e") p = QSerialPort::EvenParity;
    else if (parity == "o") p = QSerialPort::OddParity;
    else return false;
    const int bits = f[2].toInt();
    if (bits < 5 || bits > 8) return false;
    const QString stop = f[3];
    QSerialPort::StopBits s;
    if (stop == "1") s = QSerialPort::OneStop;
    else if (stop == "2") s = QSerialPort::TwoStop;
    else if (stop == "1.5") s = QSerialPort::OneAndHalfStop;
    else return false;
    port.setBaudRate(baud);
    port.setParity(p);
    port.setDataBits(static_cast<QSerialPort::DataBits>(bits));
    port.setStopBits(s);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

bool QtSerialDevice::open(const QString &portName, const QString &settings, QString *error) {
    m_port.setPortName(portName);
    if (!ApplySettingsText(m_port, settings)) {
        if (error) *error = QStringLiteral("the port settings \"%1\" are not valid").arg(settings);
        return false;
    }
    if (m_port.open(QIODevice::ReadWrite)) {
        // Settings applied before open only take effect on some platforms; apply again.
        ApplySettingsText(m_port, settings);
        return true;
    }
    if (error) {
        const QSerialPort::SerialPortError e = m_port.error();
        const QFileInfo info(portName);
        if (e == QSerialPort::DeviceNotFoundError || (!info.exists() && !portName.startsWith("COM")))
            *error = QStringLiteral("the device does not exist. Check the cable or USB adapter, or pick "
                                    "another device in Setting.");
        else if (e == QSerialPort::PermissionError && info.exists() && !info.isWritable())
            *error = QStringLiteral("permission denied. On Linux, add your user to the \"dialout\" group "
                                    "(sudo usermod -aG dialout $USER) and log in again.");
        else if (e == QSerialPort::PermissionError)
            *error = QStringLiteral("the port is in use by another program.");
        else
            *error = m_port.errorString();
        m_port.clearError();
    }
    return false;
}

void QtSerialDevice::close() {
    if (m_port.isOpen()) m_port.close();
}

bool QtSerialDevice::isOpen() const { return m_port.isOpen(); }

void QtSerialDevice::write(const QByteArray &bytes) {
    if (!m_port.isOpen()) return;
    QByteArray rest = bytes;
#ifdef Q_OS_UNIX
    // A command line fits the driver's buffer: straight to the device. QSerialPort's own write
    // switches its write notifier on and off again, which costs the wait two extra wake-ups.
    if (m_port.bytesToWrite() == 0) {
        const ssize_t n = ::write(int(m_port.handle()), rest.constData(), size_t(rest.size()));
        if (n > 0) rest.remove(0, qsizetype(n));
        else if (n < 0 && errno != EAGAIN && errno != EINTR) rest.clear(), onError(QSerialPort::WriteError);
    }
#endif
    if (!rest.isEmpty() && m_port.isOpen()) m_port.write(rest);
}

qint64 QtSerialDevice::bytesAvailable() const { return m_port.isOpen() ? m_port.bytesAvailable() : 0; }

// QIODevice::readAll allocates a 16 KB block for every chunk; the port knows how much it holds.
QByteArray QtSerialDevice::readAll() { return m_port.isOpen() ? m_port.read(m_port.bytesAvailable()) : QByteArray(); }

void QtSerialDevice::discardInput() {
    // clear() also flushes what the driver holds: late bytes may not have reached our buffer yet.
    if (m_port.isOpen()) m_port.clear(QSerialPort::Input);
}

void QtSerialDevice::onError(QSerialPort::SerialPortError e) {
    // NoError and unsupported line-control calls (DTR/RTS on a pseudo-terminal) are harmless.
    if (e != QSerialPort::ReadError && e != QSerialPort::WriteError && e != QSerialPort::ResourceError) return;
    if (!m_port.isOpen()) return;
    // The system's text here is often a stale errno ("Resource temporarily unavailable"); what
    // happened is plain: the adapter was unplugged or the other end closed the line.
    const QString reason = QStringLiteral("the device was removed or closed.");
    // Close at once: an unplugged peer otherwise keeps reporting while the port claims to be open.
    m_port.close();
    m_port.clearError();
    emit lost(reason);
}
