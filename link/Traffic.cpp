#include "link/Traffic.h"

#include <QDateTime>

const char *NoReplyText(Link::NoReply why) {
    static const char *const texts[] = {"time-out", "port closed", "over-long reply"};
    return texts[int(why)];
}

QString VisibleBytes(const QByteArray &bytes) {
    QString s;
    s.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u == '\r')
            s += QLatin1String("<CR>");
        else if (u == '\n')
            s += QLatin1String("<LF>");
        else if (u == '\\')
            s += QLatin1String("\\\\");
        else if (u < 0x20 || u >= 0x7f)
            s += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            s += QLatin1Char(c);
    }
    return s;
}

QString FormatTraffic(const TrafficEntry &e) {
    using Kind = TrafficEntry::Kind;
    // Columns: time, direction, reply time (blank for lines sent), text; aligned in a fixed font.
    const QString at = QDateTime::fromMSecsSinceEpoch(e.atMs).toString("HH:mm:ss.zzz");
    const QString ms =
        e.replyUs < 0 ? QString(10, ' ') : QStringLiteral("%1 ms").arg(double(e.replyUs) / 1000.0, 7, 'f', 1);
    QString text = VisibleBytes(e.bytes);
    if (e.bytesTotal > e.bytes.size()) text += QStringLiteral("... (%1 bytes)").arg(e.bytesTotal);
    switch (e.kind) {
    case Kind::Sent:
        return at + "  TX  " + ms + "  " + text;
    case Kind::Received:
        return at + "  RX  " + ms + "  " + text;
    case Kind::NoReply: {
        QString s = at + "  --  " + ms + "  no reply (" + NoReplyText(e.why) + ")";
        if (e.bytesTotal > 0) s += ", discarded " + text;
        return s;
    }
    case Kind::PortError:
        return at + "  !!  " + QString(10, ' ') + "  " + e.text;
    case Kind::Note:
        return at + "  ==  " + QString(10, ' ') + "  " + e.text;
    }
    return at;
}
