#pragma once
// Hosts the simulated unit on a TCP port, as a serial device server would put it on the
// network: raw bytes, or Telnet with RFC 2217's COM-PORT-OPTION. One client at a time; a
// second one is turned away, as a server's port in use turns it away.
#include "link/Rfc2217.h"
#include "sim/SimEndpoint.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace sim {

class TcpHost : public SimEndpoint {
    Q_OBJECT
public:
    enum class Mode { Raw, Rfc2217 };
    TcpHost(std::shared_ptr<SimUnit> unit, Mode mode, QObject *parent = nullptr);
    ~TcpHost() override;
    // Port 0 takes a free one. False (with *error) when the system refuses.
    bool start(const QHostAddress &address, quint16 port, QString *error = nullptr);
    // The name a program opens: "tcp://127.0.0.1:4001" or "rfc2217://[::1]:4001".
    QString portName() const;
    quint16 port() const { return m_server.serverPort(); }
    bool hasClient() const { return m_client; }
    // What the RFC 2217 client set, and how often it purged.
    rfc2217::LineSettings line() const { return m_telnet ? m_telnet->remote() : rfc2217::LineSettings{}; }
    int purges() const { return m_telnet ? m_telnet->purges() : 0; }
    // The connection goes away, as a device server dropping it would; the port keeps listening.
    void dropClient();

protected:
    void deliver(const QByteArray &bytes) override;
    void vanish() override { dropClient(); }

private:
    void onNewConnection();
    void onReadable();
    Mode m_mode;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    std::unique_ptr<rfc2217::Telnet> m_telnet;
};

} // namespace sim
