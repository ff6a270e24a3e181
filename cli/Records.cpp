#include "cli/Records.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
const char *const Head = "time,command,port,device,model,version,file,result,exit,differences,records\r\n";

QString csvPath(const QString &dir) { return QDir(dir).filePath("records.csv"); }

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // One write with O_APPEND: the line lands whole after every line before it.
    const ssize_t n = ::write(fd, bytes.constData(), size_t(bytes.size()));
    const int err = errno;
    ::close(fd);
    if (n == bytes.size()) return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, n < 0 ? QString::fromLocal8Bit(std::strerror(err))
                                                           : QStringLiteral("the disk took only part of the line"));
    return false;
}
} // namespace

QString CsvField(const QString &s) {
    QString q = s;
    return '"' + q.replace('"', "\"\"") + '"';
}

QString IsoTime(const QDateTime &when) {
    const QDateTime t = when.toOffsetFromUtc(when.offsetFromUtc());
    QString s = t.toString(Qt::ISODate);
    // Qt writes a zero offset as "Z"; the offset itself reads the same everywhere.
    if (s.endsWith('Z')) s.chop(1), s += "+00:00";
    return s;
}

bool PrepareRecords(const QString &dir, QString *error) {
    if (!QDir().mkpath(dir)) {
        if (error) *error = QStringLiteral("the record folder %1 cannot be made").arg(dir);
        return false;
    }
    // Writable is what the system says when something is written, not what the mode bits say.
    QTemporaryFile probe(QDir(dir).filePath(".vireo-cli-XXXXXX"));
    if (!probe.open()) {
        if (error) *error = QStringLiteral("the record folder %1 is not writable: %2").arg(dir, probe.errorString());
        return false;
    }
    probe.close();
    QLockFile lock(QDir(dir).filePath("records.csv.lock"));
    lock.lock();
    QFile f(csvPath(dir));
    if (f.exists() && f.size() > 0) {
        if (!f.open(QIODevice::ReadWrite)) {
            if (error) *error = QStringLiteral("%1: %2").arg(f.fileName(), f.errorString());
            return false;
        }
        // Lines of other columns under this head would be read wrong.
        if (f.readLine() == Head) return true;
        if (error)
            *error = QStringLiteral("%1 has other columns (an older vireo-cli's): name another folder").arg(f.fileName());
        return false;
    }
    return writeWhole(csvPath(dir), Head, error);
}

bool AppendRecord(const QString &dir, const RecordLine &l, QString *error) {
    const QStringList fields = {IsoTime(l.when), l.command, l.port, l.device, l.model, l.version, l.file,
                                l.result, QString::number(l.exit), l.differences, l.files.join("; ")};
    QStringList quoted;
    for (const QString &f : fields) quoted << CsvField(f);
    return writeWhole(csvPath(dir), (quoted.join(',') + "\r\n").toUtf8(), error);
}
