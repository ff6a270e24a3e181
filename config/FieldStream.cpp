#include "config/FieldStream.h"
#include "link/TextRoutines.h"

#include <algorithm>

namespace cfg {

void FieldWriter::separate() {
    if (m_lineStarted) m_bytes += ',';
    m_lineStarted = true;
}

void FieldWriter::text(const QString &t) {
    separate();
    m_bytes += '"';
    m_bytes += t.toLatin1();
    m_bytes += '"';
}

void FieldWriter::integer(int v) {
    separate();
    m_bytes += QByteArray::number(v);
}

void FieldWriter::boolean(bool b) {
    separate();
    m_bytes += b ? "#TRUE#" : "#FALSE#";
}

void FieldWriter::endLine() {
    m_bytes += "\r\n";
    m_lineStarted = false;
}

QString TextProblem(const QString &t) {
    if (t.contains('"'))
        return QStringLiteral("holds a double quote (\"), which a configuration file cannot carry");
    for (QChar c : t)
        if (c.unicode() > 0xFF)
            return QStringLiteral(
                       "holds the character %1, which a configuration file (8-bit text) cannot carry")
                .arg(c);
    return {};
}

bool FieldReader::endOfLine() const {
    const char c = peek();
    return m_pos < m_bytes.size() && (c == '\r' || c == '\n');
}

void FieldReader::skipBlanks() {
    while (m_pos < m_bytes.size() && (peek() == ' ' || peek() == '\t'))
        ++m_pos;
}

void FieldReader::takeSeparator() {
    if (m_pos >= m_bytes.size()) return;
    if (peek() == ',') {
        ++m_pos;
        return;
    }
    if (peek() == '\r') ++m_pos;
    if (peek() == '\n' && m_pos < m_bytes.size()) ++m_pos;
    ++m_line;
    m_fieldOfLine = 0;
}

bool FieldReader::atEnd() {
    skipBlanks();
    return m_pos >= m_bytes.size();
}

std::optional<QString> FieldReader::next() {
    if (atEnd()) return std::nullopt;
    m_fieldLine = m_line;
    m_fieldNo = ++m_fieldOfLine;
    m_quoted = peek() == '"';
    QByteArray raw;
    if (m_quoted) {
        // A quoted field runs to the next quote, across line ends if need be.
        const qsizetype close = m_bytes.indexOf('"', m_pos + 1);
        const qsizetype end = close < 0 ? m_bytes.size() : close;
        raw = m_bytes.mid(m_pos + 1, end - m_pos - 1);
        const int breaks = int(raw.count('\n') + raw.count('\r') - raw.count("\r\n"));
        if (breaks > 0) {
            m_line += breaks;
            m_fieldOfLine = 1;
        }
        m_pos = close < 0 ? m_bytes.size() : close + 1;
        // Anything between the closing quote and the separator does not belong to a field.
        while (m_pos < m_bytes.size() && peek() != ',' && !endOfLine())
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_bytes.size() && peek() != ',' && !endOfLine())
            ++m_pos;
        raw = m_bytes.mid(start, m_pos - start);
        while (!raw.isEmpty() && (raw.endsWith(' ') || raw.endsWith('\t')))
            raw.chop(1);
    }
    takeSeparator();
    return QString::fromLatin1(raw);
}

std::optional<qint64> ParseInteger(const QString &field) {
    const QString t = field.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == '-' || t.at(i) == '+')) negative = t.at(i++) == '-';
    if (i == t.size()) return std::nullopt;
    qint64 v = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c < '0' || c > '9') return std::nullopt;
        // Saturates: a long number is out of range, not something else.
        v = std::min<qint64>(v * 10 + (c.unicode() - '0'), qint64(1) << 40);
    }
    return negative ? -v : v;
}

std::optional<bool> ParseBoolean(const QString &field) {
    const QString t = field.trimmed();
    if (t.compare("#TRUE#", Qt::CaseInsensitive) == 0) return true;
    if (t.compare("#FALSE#", Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

} // namespace cfg
