#include "sim/TcpHost.h"

#include <QNetworkProxy>

namespace sim {

TcpHost::TcpHost(std::shared_ptr<SimUnit> unit, Mode mode, QObject *parent)
    : SimEndpoint(std::move(unit), parent), m_mode(mode) {
    m_server.setProxy(QNetworkProxy::NoProxy);
    connect(&m_server, &QTcpServer::newConnection, this, &TcpHost::onNewConnection);
}

TcpHost::~TcpHost() { dropClient(); }

bool TcpHost::start(const QHostAddress &address, quint16 port, QString *error) {
    if (m_server.listen(address, port)) return true;
    if (error) *error = m_server.errorString();
    return false;
}

QString TcpHost::portName() const {
    const QHostAddress a = m_server.serverAddress();
    QString host = a.toString();
    if (a.protocol() == QAbstractSocket::IPv6Protocol) host = '[' + host + ']';
    return QStringLiteral("%1://%2:%3").arg(m_mode == Mode::Raw ? "tcp" : "rfc2217", host).arg(m_server.serverPort());
}

void TcpHost::onNewConnection() {
    while (QTcpSocket *s = m_server.nextPendingConnection()) {
        if (m_client) {
            s->abort();
            s->deleteLater();
            continue;
        }
        m_client = s;
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (m_mode == Mode::Rfc2217) m_telnet = std::make_unique<rfc2217::Telnet>(rfc2217::Telnet::Role::Server);
        connect(s, &QTcpSocket::readyRead, this, &TcpHost::onReadable);
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            if (m_client == s) dropClient();
        });
    }
}

void TcpHost::onReadable() {
    if (!m_client) return;
    const QByteArray got = m_client->readAll();
    if (!m_telnet) return receive(got);
    QByteArray answer;
    const QByteArray data = m_telnet->receive(got, &answer);
    if (!answer.isEmpty()) m_client->write(answer);
    if (!data.isEmpty()) receive(data);
}

void TcpHost::deliver(const QByteArray &bytes) {
    if (!m_client) return;
    m_client->write(m_telnet ? m_telnet->encode(bytes) : bytes);
    m_client->flush();
}

void TcpHost::dropClient() {
    reset();
    m_telnet.reset();
    if (QTcpSocket *s = m_client.data()) {
        m_client = nullptr;
        s->abort();
        s->deleteLater();
    }
}

} // namespace sim
