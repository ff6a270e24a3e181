#pragma once
// The text conventions of configuration files: 8-bit text, CR LF lines of comma-separated
// fields; texts in double quotes without escaping, integers in decimal, Booleans as the
// tokens #TRUE# and #FALSE#. The reader sees the file as one stream of fields, a line end
// being only a separator, as the files have always been read.
#include <QByteArray>
#include <QString>
#include <optional>

namespace cfg {

// Builds a file in memory; nothing reaches the disk until the whole file is there.
class FieldWriter {
  public:
    // A text goes out as it is, between quotes. The caller makes sure it can be written
    // (CanWriteText): a quote inside would end the field early on reading.
    void text(const QString &t);
    void integer(int v);
    void boolean(bool b);
    void endLine();
    const QByteArray &bytes() const { return m_bytes; }

  private:
    void separate();
    QByteArray m_bytes;
    bool m_lineStarted = false;
};

// Why a text cannot be written as a field: a double quote, or a character outside the
// 8-bit character set. Empty when it can.
QString TextProblem(const QString &t);

class FieldReader {
  public:
    explicit FieldReader(const QByteArray &bytes) : m_bytes(bytes) {}

    // The next field as text (quoted or not); nullopt at the end of the file.
    std::optional<QString> next();
    // Where the field last returned by next() began: line and field of that line, from 1.
    int line() const { return m_fieldLine; }
    int field() const { return m_fieldNo; }
    // The line the next field would begin on.
    int lineAhead() const { return m_line; }
    bool atEnd();
    // The last field was quoted.
    bool quoted() const { return m_quoted; }

  private:
    char peek() const { return m_pos < m_bytes.size() ? m_bytes.at(m_pos) : '\0'; }
    bool endOfLine() const;
    void skipBlanks();
    // Consumes a field's separator: a comma, or one line end (CR LF, CR or LF).
    void takeSeparator();

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    int m_line = 1;        // line of the read position
    int m_fieldOfLine = 0; // fields already begun on that line
    int m_fieldLine = 0;
    int m_fieldNo = 0;
    bool m_quoted = false;
};

// Field contents as the file conventions read them.
// A decimal integer: optional sign and digits; nullopt for anything else. A number too long
// for any field comes back as a value far outside every field's range.
std::optional<qint64> ParseInteger(const QString &field);
std::optional<bool> ParseBoolean(const QString &field);

} // namespace cfg
