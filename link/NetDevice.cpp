#include "link/NetDevice.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QRegularExpression>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

bool IsNetPortName(const QString &name) {
    static const QRegularExpression scheme(QStringLiteral("^(tcp|socket|rfc2217)://"),
                                           QRegularExpression::CaseInsensitiveOption);
    return scheme.match(name.trimmed()).hasMatch();
}

NetAddress ParseNetPort(const QString &name) {
    // HOST is a name, an IPv4 address or a bracketed IPv6 one; options after a "?" are other
    // tools' and change nothing here.
    static const QRegularExpression form(
        QStringLiteral(R"(^(tcp|socket|rfc2217)://(?:\[([0-9A-Fa-f:.%]+)\]|([^:/?\[\]\s]+)):(\d{1,5})/?(?:\?.*)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(name.trimmed());
    NetAddress a;
    if (!m.hasMatch()) return a;
    const int port = m.captured(4).toInt();
    if (port < 1 || port > 65535) return a;
    a.kind = m.captured(1).compare("rfc2217", Qt::CaseInsensitive) == 0 ? NetAddress::Telnet : NetAddress::Raw;
    a.host = m.hasCaptured(2) && !m.captured(2).isEmpty() ? m.captured(2) : m.captured(3);
    a.port = quint16(port);
    return a;
}

NetDevice::NetDevice(QObject *parent) : SerialDevice(parent) {
    // A device server sits on the plant network: never reached through a proxy.
    m_socket.setProxy(QNetworkProxy::NoProxy);
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, &NetDevice::onDeadline);
    connect(&m_socket, &QTcpSocket::connected, this, &NetDevice::onConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &NetDevice::onError);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        pull();
        if (m_state == State::Open && !m_rx.isEmpty()) emit dataArrived();
    });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        if (m_state == State::Open) drop(QStringLiteral("the connection to the device server %1 was closed.").arg(m_name));
    });
}

NetDevice::~NetDevice() {
    m_state = State::Closed;
    m_socket.abort();
}

QString NetDevice::seconds() const {
    const double s = m_openTimeoutMs / 1000.0;
    return QStringLiteral("%1 second%2").arg(s).arg(s == 1 ? "" : "s");
}

void NetDevice::beginOpen(const QString &portName, const QString &settings) {
    close();
    m_name = portName.trimmed();
    m_failure.clear();
    m_address = ParseNetPort(m_name);
    QString bad;
    if (m_address.kind == NetAddress::None)
        bad = QStringLiteral("the address is not of the form tcp://HOST:PORT or rfc2217://HOST:PORT "
                             "(PORT 1 to 65535).");
    else if (!rfc2217::LineSettings::fromText(settings, &m_line))
        bad = QStringLiteral("the port settings \"%1\" are not valid").arg(settings);
    if (!bad.isEmpty()) {
        m_failure = bad;
        QMetaObject::invokeMethod(this, [this, bad] { emit openFailed(bad); }, Qt::QueuedConnection);
        return;
    }
    m_state = State::Connecting;
    m_deadline.start(m_openTimeoutMs);
    m_socket.connectToHost(m_address.host, m_address.port);
}

bool NetDevice::open(const QString &, const QString &, QString *error) {
    // A connection takes its time: it is awaited through beginOpen, never waited for here.
    if (error) *error = QStringLiteral("a network port opens only by waiting for its connection");
    return false;
}

void NetDevice::onConnected() {
    if (m_state != State::Connecting) return;
    // Each command is one small write answered by the unit: sent at once, not held for the next.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    ackAtOnce();
    if (m_address.kind == NetAddress::Raw) return finishOpen();
    m_state = State::Negotiating;
    m_telnet = std::make_unique<rfc2217::Telnet>(rfc2217::Telnet::Role::Client, m_line);
    m_socket.write(m_telnet->start());
    m_socket.flush();
    pull(); // the server may have spoken first
}

void NetDevice::finishOpen() {
    m_deadline.stop();
    m_state = State::Open;
    m_rx.clear(); // a banner or whatever came before is no reply of the unit
    emit opened();
}

void NetDevice::failOpen(const QString &reason) {
    m_deadline.stop();
    m_state = State::Closed;
    m_failure = reason;
    m_socket.abort();
    m_telnet.reset();
    m_rx.clear();
    emit openFailed(reason);
}

void NetDevice::drop(const QString &reason) {
    m_state = State::Closed;
    m_socket.abort();
    m_telnet.reset();
    m_rx.clear();
    emit lost(reason);
}

void NetDevice::onDeadline() {
    if (m_state == State::Connecting) {
        failOpen(m_socket.state() == QAbstractSocket::HostLookupState
                     ? QStringLiteral("the host name %1 could not be looked up within %2. Check the device "
                                      "server's name, or give its address.")
                           .arg(m_address.host, seconds())
                     : QStringLiteral("the host did not answer within %1. Check that the device server is on "
                                      "and reachable from this computer, or pick another device in Setting.")
                           .arg(seconds()));
    } else if (m_state == State::Negotiating && m_telnet && m_telnet->optionTaken()) {
        failOpen(QStringLiteral("the device server took RFC 2217's COM-PORT option but did not confirm %1 within %2.")
                     .arg(m_line.text(), seconds()));
    } else if (m_state == State::Negotiating) {
        failOpen(QStringLiteral("the device server did not take up RFC 2217's COM-PORT option within %1. If "
                                "its port is a raw TCP port, use tcp://%2:%3.")
                     .arg(seconds(), m_socket.peerName().isEmpty() ? m_address.host : m_socket.peerName())
                     .arg(m_address.port));
    }
}

void NetDevice::onError(QAbstractSocket::SocketError e) {
    // A wait for bytes that ends without any is no failure.
    if (e == QAbstractSocket::SocketTimeoutError) return;
    if (m_state == State::Open) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            drop(QStringLiteral("the connection to the device server %1 was closed.").arg(m_name));
        else
            drop(QStringLiteral("the connection to the device server %1 was lost (%2).").arg(m_name, m_socket.errorString()));
        return;
    }
    if (m_state != State::Connecting && m_state != State::Negotiating) return;
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError:
        failOpen(QStringLiteral("the connection was refused. Check the device server's address and port, or pick "
                                "another device in Setting."));
        break;
    case QAbstractSocket::HostNotFoundError:
        failOpen(QStringLiteral("the host %1 is not known. Check the device server's name or address, or pick "
                                "another device in Setting.")
                     .arg(m_address.host));
        break;
    case QAbstractSocket::RemoteHostClosedError: {
        // A server often says why before it hangs up ("Port's device already in use").
        pull();
        const QString said = QString::fromLatin1(m_rx).simplified().left(80);
        failOpen(said.isEmpty() ? QStringLiteral("the device server closed the connection at once; its port may "
                                                 "be in use by another program.")
                                : QStringLiteral("the device server closed the connection at once, saying \"%1\"; its "
                                                 "port may be in use by another program.")
                                      .arg(said));
        break;
    }
    default:
        failOpen(QStringLiteral("the device server cannot be reached (%1). Check the network, or pick another "
                                "device in Setting.")
                     .arg(m_socket.errorString()));
        break;
    }
}

void NetDevice::ackAtOnce() {
#ifdef Q_OS_LINUX
    // A server that holds the rest of a reply until its first part is acknowledged (Nagle's
    // rule, common in device servers) would otherwise wait for our delayed acknowledgement,
    // 40 ms, in the middle of every reply. The system forgets this after a while: set it each time.
    const int one = 1;
    ::setsockopt(int(m_socket.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
#endif
}

void NetDevice::pull() {
    const qint64 n = m_socket.bytesAvailable();
    if (n <= 0) return;
    ackAtOnce();
    // QIODevice::readAll allocates a 16 KB block for every chunk; the socket knows how much it holds.
    take(m_socket.read(n));
}

void NetDevice::take(const QByteArray &got) {
    if (!m_telnet) {
        m_rx += got;
        return;
    }
    QByteArray answer;
    m_rx += m_telnet->receive(got, &answer);
    if (!answer.isEmpty()) {
        m_socket.write(answer);
        m_socket.flush();
    }
    if (m_state != State::Negotiating) return;
    if (m_telnet->state() == rfc2217::Telnet::State::Ready) finishOpen();
    else if (m_telnet->state() == rfc2217::Telnet::State::Refused)
        failOpen(m_telnet->failure() + QStringLiteral(". If its port is a raw TCP port, use tcp://%1:%2.")
                                           .arg(m_address.host)
                                           .arg(m_address.port));
}

void NetDevice::close() {
    const bool opening = m_state == State::Connecting || m_state == State::Negotiating;
    m_deadline.stop();
    m_state = State::Closed;
    if (opening) m_failure = QStringLiteral("the connection was given up before it was made.");
    m_socket.abort();
    m_telnet.reset();
    m_rx.clear();
}

void NetDevice::write(const QByteArray &bytes) {
    if (m_state != State::Open) return;
    m_socket.write(m_telnet ? m_telnet->encode(bytes) : bytes);
    // Out now, not when the main loop next comes round: the reply time starts at the write.
    m_socket.flush();
}

QByteArray NetDevice::readAll() { return std::exchange(m_rx, {}); }

void NetDevice::discardInput() {
    if (m_state != State::Open) return;
    // What came is read too, so a late reply goes, and a negotiation in it is answered. The main
    // loop runs between exchanges, so the socket has taken in what the system held.
    pull();
    m_rx.clear();
}
