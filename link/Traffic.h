#pragma once
// One entry of the traffic on the line, and the one way it is written out: the communication
// log's view and files, and the command-line program's -v and --log.
#include "link/Link.h"

#include <QByteArray>
#include <QString>

struct TrafficEntry {
    enum class Kind { Sent, Received, NoReply, PortError, Note };
    qint64 atMs = 0; // wall-clock time, ms since the epoch
    Kind kind = Kind::Sent;
    QByteArray bytes; // the line as it went over the wire (cut at the keeper's length)
    qint64 bytesTotal = 0;
    qint64 replyUs = -1; // received lines and missing replies: time since the line went out
    Link::NoReply why = Link::NoReply::TimeOut;
    QString text; // port errors: the port and the reason; notes
};

// "12:00:00.123  TX              G00<CR>", "12:00:00.131  RX      8.0 ms  COK<CR>".
QString FormatTraffic(const TrafficEntry &e);
// Bytes with the carriage return and other non-printables made visible: <CR>, <LF>, \x07.
QString VisibleBytes(const QByteArray &bytes);
// Why a reply is missing, as the log says it.
const char *NoReplyText(Link::NoReply why);
