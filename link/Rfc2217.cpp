#include "link/Rfc2217.h"

#include <QStringList>

namespace rfc2217 {

namespace {
// A sub-negotiation longer than this is nothing we asked for; the rest of it is dropped.
constexpr int MaxSubBytes = 64;

QByteArray bigEndian(quint32 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = char((v >> (24 - 8 * i)) & 0xFF);
    return b;
}
} // namespace

bool LineSettings::fromText(const QString &text, LineSettings *out) {
    const QStringList f = text.split(',');
    if (f.size() != 4) return false;
    LineSettings s;
    bool ok = false;
    const int baud = f[0].toInt(&ok);
    if (!ok || baud <= 0) return false;
    s.baud = quint32(baud);
    const QString parity = f[1].toLower();
    if (parity == "n") s.parity = ParityNone;
    else if (parity == "o") s.parity = ParityOdd;
    else if (parity == "e") s.parity = ParityEven;
    else return false;
    const int bits = f[2].toInt();
    if (bits < 5 || bits > 8) return false;
    s.dataBits = quint8(bits);
    if (f[3] == "1") s.stopBits = StopOne;
    else if (f[3] == "2") s.stopBits = StopTwo;
    else if (f[3] == "1.5") s.stopBits = StopOneAndHalf;
    else return false;
    if (out) *out = s;
    return true;
}

QString LineSettings::text() const {
    const char parityLetter = parity == ParityNone ? 'N' : parity == ParityOdd ? 'O' : parity == ParityEven ? 'E' : '?';
    const QString stop = stopBits == StopOne ? "1" : stopBits == StopTwo ? "2" : stopBits == StopOneAndHalf ? "1.5" : "?";
    return QStringLiteral("%1 %2%3%4").arg(baud).arg(dataBits).arg(QChar(parityLetter)).arg(stop);
}

QByteArray ComPortCommand(quint8 command, const QByteArray &value) {
    QByteArray b{"\xFF\xFA"};
    b += char(OptComPort);
    b += char(command);
    for (char c : value) {
        b += c;
        if (quint8(c) == IAC) b += c;
    }
    b += "\xFF\xF0";
    return b;
}

Telnet::Telnet(Role role, const LineSettings &line) : m_role(role), m_line(line) {}

void Telnet::put(QByteArray *out, quint8 v, quint8 opt) {
    if (!out) return;
    out->append(char(IAC));
    out->append(char(v));
    out->append(char(opt));
}

bool Telnet::weMay(quint8 opt) const {
    return opt == OptBinary || opt == OptSuppressGoAhead || (opt == OptComPort && m_role == Role::Client);
}

bool Telnet::peerMay(quint8 opt) const {
    return opt == OptBinary || opt == OptSuppressGoAhead || (opt == OptComPort && m_role == Role::Server);
}

QByteArray Telnet::start() {
    QByteArray b;
    for (quint8 opt : {OptComPort, OptBinary, OptSuppressGoAhead}) {
        put(&b, WILL, opt);
        m_opt[opt].usAsked = true;
    }
    for (quint8 opt : {OptBinary, OptSuppressGoAhead}) {
        put(&b, DO, opt);
        m_opt[opt].himAsked = true;
    }
    return b;
}

QByteArray Telnet::receive(const QByteArray &bytes, QByteArray *reply) {
    QByteArray data;
    data.reserve(bytes.size());
    for (char ch : bytes) {
        const quint8 b = quint8(ch);
        switch (m_in) {
        case In::Data:
            if (b == IAC) {
                m_in = In::Iac;
                break;
            }
            // Without binary the peer sends a CR as CR NUL.
            if (!receivesBinary()) {
                if (m_afterCr && b == 0) {
                    m_afterCr = false;
                    break;
                }
                m_afterCr = b == '\r';
            }
            data += ch;
            break;
        case In::Iac:
            if (b == IAC) {
                data += ch;
                m_afterCr = false;
                m_in = In::Data;
            } else if (b >= WILL) {
                m_verb = b;
                m_in = In::Verb;
            } else if (b == SB) {
                m_sub.clear();
                m_in = In::Sub;
            } else {
                m_in = In::Data; // a go-ahead, a no-operation and the like carry nothing for us
            }
            break;
        case In::Verb:
            verb(m_verb, b, reply);
            m_in = In::Data;
            break;
        case In::Sub:
            if (b == IAC) m_in = In::SubIac;
            else if (m_sub.size() < MaxSubBytes) m_sub += ch;
            break;
        case In::SubIac:
            if (b == IAC) {
                if (m_sub.size() < MaxSubBytes) m_sub += ch;
                m_in = In::Sub;
            } else {
                if (b == SE) subnegotiation(reply);
                m_in = In::Data; // anything else ends a broken sub-negotiation, unread
            }
            break;
        }
    }
    return data;
}

QByteArray Telnet::encode(const QByteArray &data) const {
    QByteArray b;
    b.reserve(data.size() + 4);
    const bool binary = sendsBinary();
    for (char c : data) {
        b += c;
        if (quint8(c) == IAC) b += c;
        else if (c == '\r' && !binary) b += '\0';
    }
    return b;
}

void Telnet::verb(quint8 v, quint8 opt, QByteArray *reply) {
    Option &o = m_opt[opt];
    switch (v) {
    case DO: {
        if (!weMay(opt)) return put(reply, WONT, opt);
        const bool fresh = !o.us;
        // Only a change is answered: two sides that answer every answer never stop.
        if (fresh && !o.usAsked) put(reply, WILL, opt);
        o.us = true;
        o.usAsked = false;
        if (fresh && opt == OptComPort) comPortTaken(reply);
        break;
    }
    case DONT: {
        const bool had = o.us || o.usAsked;
        if (o.us && !o.usAsked) put(reply, WONT, opt);
        o.us = o.usAsked = false;
        if (had && opt == OptComPort && m_state == State::Negotiating) {
            m_state = State::Refused;
            m_failure = QStringLiteral("the device server refused RFC 2217's COM-PORT option");
        }
        break;
    }
    case WILL:
        if (!peerMay(opt)) return put(reply, DONT, opt);
        if (!o.him && !o.himAsked) put(reply, DO, opt);
        o.him = true;
        o.himAsked = false;
        break;
    case WONT:
        if (o.him && !o.himAsked) put(reply, DONT, opt);
        o.him = o.himAsked = false;
        break;
    }
}

void Telnet::comPortTaken(QByteArray *reply) {
    if (!reply || m_role != Role::Client) return;
    *reply += ComPortCommand(SetBaudRate, bigEndian(m_line.baud));
    *reply += ComPortCommand(SetDataSize, QByteArray(1, char(m_line.dataBits)));
    *reply += ComPortCommand(SetParity, QByteArray(1, char(m_line.parity)));
    *reply += ComPortCommand(SetStopSize, QByteArray(1, char(m_line.stopBits)));
    *reply += ComPortCommand(SetControl, QByteArray(1, char(NoFlowControl)));
    *reply += ComPortCommand(PurgeData, QByteArray(1, char(PurgeBoth)));
}

void Telnet::subnegotiation(QByteArray *reply) {
    if (m_sub.size() < 2 || quint8(m_sub[0]) != OptComPort) return;
    const quint8 command = quint8(m_sub[1]);
    const QByteArray value = m_sub.mid(2);
    quint32 v = 0;
    for (char c : value) v = (v << 8) | quint8(c);
    if (m_role == Role::Client) {
        if (command >= ServerOffset) confirmed(quint8(command - ServerOffset), v);
        return;
    }
    // The server sets what it is told and says what it holds; a zero asks without setting.
    QByteArray holds = value;
    switch (command) {
    case SetBaudRate:
        if (v) m_remote.baud = v;
        holds = bigEndian(m_remote.baud);
        break;
    case SetDataSize:
        if (v) m_remote.dataBits = quint8(v);
        holds = QByteArray(1, char(m_remote.dataBits));
        break;
    case SetParity:
        if (v) m_remote.parity = quint8(v);
        holds = QByteArray(1, char(m_remote.parity));
        break;
    case SetStopSize:
        if (v) m_remote.stopBits = quint8(v);
        holds = QByteArray(1, char(m_remote.stopBits));
        break;
    case PurgeData: ++m_purges; break;
    default: break;
    }
    if (reply) *reply += ComPortCommand(quint8(command + ServerOffset), holds);
}

void Telnet::confirmed(quint8 command, quint32 value) {
    switch (command) {
    case SetBaudRate: m_remote.baud = value; break;
    case SetDataSize: m_remote.dataBits = quint8(value); break;
    case SetParity: m_remote.parity = quint8(value); break;
    case SetStopSize: m_remote.stopBits = quint8(value); break;
    default: return; // flow control, purges, signatures and state notices decide nothing
    }
    m_confirmedMask |= 1 << command;
    constexpr int line = (1 << SetBaudRate) | (1 << SetDataSize) | (1 << SetParity) | (1 << SetStopSize);
    if (m_state != State::Negotiating || (m_confirmedMask & line) != line) return;
    if (m_remote == m_line) {
        m_state = State::Ready;
    } else {
        m_state = State::Refused;
        m_failure = QStringLiteral("the device server set its port to %1, not %2").arg(m_remote.text(), m_line.text());
    }
}

} // namespace rfc2217
