#pragma once
// Telnet with RFC 2217's COM-PORT-OPTION as bytes in and bytes out: no socket and no timer, so
// every negotiation can be replayed in a test. The client takes the option, sets the remote
// line and purges its buffers; both sides double a 0xFF data byte. The server side is the
// simulated unit's.
#include <QByteArray>
#include <QString>
#include <array>

namespace rfc2217 {

enum : quint8 { SE = 240, SB = 250, WILL = 251, WONT = 252, DO = 253, DONT = 254, IAC = 255 };
enum : quint8 { OptBinary = 0, OptSuppressGoAhead = 3, OptComPort = 44 };
// The client's COM-PORT commands; the server answers each with its code plus ServerOffset.
enum : quint8 { SetBaudRate = 1, SetDataSize = 2, SetParity = 3, SetStopSize = 4, SetControl = 5, PurgeData = 12 };
enum : quint8 { ServerOffset = 100 };
// Values of the commands: parity none, even, odd; one, two, one and a half stop bits; no flow
// control; purge both of the server's buffers.
enum : quint8 { ParityNone = 1, ParityOdd = 2, ParityEven = 3 };
enum : quint8 { StopOne = 1, StopTwo = 2, StopOneAndHalf = 3 };
enum : quint8 { NoFlowControl = 1, PurgeBoth = 3 };

struct LineSettings {
    quint32 baud = 9600;
    quint8 dataBits = 8;
    quint8 parity = ParityNone;
    quint8 stopBits = StopOne;
    bool operator==(const LineSettings &) const = default;
    // From the link's settings text ("9600,n,8,1"); false when it cannot be understood.
    static bool fromText(const QString &text, LineSettings *out);
    QString text() const; // "9600 baud, 8 data bits, no parity, 1 stop bit"
};

class Telnet {
public:
    enum class Role { Client, Server };
    enum class State { Negotiating, Ready, Refused };

    explicit Telnet(Role role, const LineSettings &line = {});

    // The client's opening: it will take the COM-PORT option, and binary both ways without go-aheads.
    QByteArray start();
    // Bytes from the peer: returns the data bytes among them; what must be answered is added to *reply.
    QByteArray receive(const QByteArray &bytes, QByteArray *reply);
    // Data for the peer, as the line must carry it.
    QByteArray encode(const QByteArray &data) const;

    // Client: Ready once the server took the option and confirmed the line settings; Refused
    // when it declined the option or set another line (failure() says which).
    State state() const { return m_state; }
    QString failure() const { return m_failure; }
    // Client: the server took the COM-PORT option (its line settings may still be unconfirmed).
    bool optionTaken() const { return m_opt[OptComPort].us; }
    // What the server confirmed (client), or what the client set (server).
    LineSettings remote() const { return m_remote; }
    // Server: purges asked for.
    int purges() const { return m_purges; }
    // Whether each side sends binary: without it a CR on the wire is followed by a NUL.
    bool sendsBinary() const { return m_opt[OptBinary].us; }
    bool receivesBinary() const { return m_opt[OptBinary].him; }

private:
    struct Option {
        bool us = false, him = false;                   // enabled on our side, on the peer's
        bool usAsked = false, himAsked = false;         // we asked and wait for the answer
    };
    bool weMay(quint8 opt) const;
    bool peerMay(quint8 opt) const;
    void verb(quint8 v, quint8 opt, QByteArray *reply);
    void subnegotiation(QByteArray *reply);
    void comPortTaken(QByteArray *reply);
    void confirmed(quint8 command, quint32 value);
    static void put(QByteArray *out, quint8 v, quint8 opt);

    Role m_role;
    LineSettings m_line;
    State m_state = State::Negotiating;
    QString m_failure;
    LineSettings m_remote;
    int m_purges = 0;
    int m_confirmedMask = 0; // bit n: command n confirmed
    std::array<Option, 256> m_opt{};

    enum class In { Data, Iac, Verb, Sub, SubIac };
    In m_in = In::Data;
    quint8 m_verb = 0;
    bool m_afterCr = false;
    QByteArray m_sub;
};

// A COM-PORT command with its value, escaped.
QByteArray ComPortCommand(quint8 command, const QByteArray &value);

} // namespace rfc2217
