#pragma once
// A unit behind a serial device server on the network: tcp://HOST:PORT is a raw connection to
// one of the server's ports, rfc2217://HOST:PORT Telnet with RFC 2217's COM-PORT-OPTION, which
// also sets the remote port's line. The line protocol above is the same as on a serial port.
#include "link/Rfc2217.h"
#include "link/SerialDevice.h"

#include <QTcpSocket>
#include <QTimer>
#include <memory>

struct NetAddress {
    enum Kind { None, Raw, Telnet };
    Kind kind = None;
    QString host; // a name or an address, IPv6 without its brackets
    quint16 port = 0;
};
// tcp://, socket:// (the same, as other tools write it) and rfc2217:// names.
bool IsNetPortName(const QString &name);
// Kind None when the name is not a network port or its HOST:PORT cannot be read.
NetAddress ParseNetPort(const QString &name);

class NetDevice : public SerialDevice {
    Q_OBJECT
public:
    static constexpr int DefaultOpenTimeoutMs = 3000;

    explicit NetDevice(QObject *parent = nullptr);
    ~NetDevice() override;
    // Connects (and negotiates) while window events run; close() from one of them ends it.
    bool open(const QString &portName, const QString &settings, QString *error) override;
    void beginOpen(const QString &portName, const QString &settings) override;
    void setOpenTimeout(int ms) override { m_openTimeoutMs = ms; }
    void close() override;
    bool isOpen() const override { return m_state == State::Open; }
    void write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override { return m_rx.size(); }
    QByteArray readAll() override;
    void discardInput() override;

private:
    enum class State { Closed, Connecting, Negotiating, Open };
    void onConnected();
    void onError(QAbstractSocket::SocketError e);
    void onDeadline();
    void pull();
    void take(const QByteArray &bytes);
    void ackAtOnce();
    void finishOpen();
    void failOpen(const QString &reason);
    void drop(const QString &reason);
    QString seconds() const;

    QTcpSocket m_socket;
    QTimer m_deadline;
    State m_state = State::Closed;
    QString m_name; // as the person wrote it, for the messages
    NetAddress m_address;
    rfc2217::LineSettings m_line;
    std::unique_ptr<rfc2217::Telnet> m_telnet;
    QByteArray m_rx;
    QString m_failure;
    int m_openTimeoutMs = DefaultOpenTimeoutMs;
};
