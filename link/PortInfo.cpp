#include "link/PortInfo.h"
#include "link/NetDevice.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <QStandardPaths>
#endif

namespace {
std::function<QList<PortDescription>()> &source() {
    static std::function<QList<PortDescription>()> s;
    return s;
}

QString canonical(const QString &path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

QList<PortDescription> systemPorts() {
    QList<PortDescription> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports.append({info.systemLocation(), info.description(), info.manufacturer(), info.serialNumber(), {}});
#ifdef Q_OS_LINUX
    // udev's stable names survive replugging in another socket; absent elsewhere and without udev.
    const QFileInfoList ids = QDir("/dev/serial/by-id").entryInfoList(QDir::Files | QDir::System);
    for (PortDescription &p : ports) {
        const QString target = canonical(p.device);
        for (const QFileInfo &id : ids)
            if (canonical(id.filePath()) == target) p.byId = id.fileName();
    }
#endif
    std::sort(ports.begin(), ports.end(), [](const auto &a, const auto &b) { return a.device < b.device; });
    return ports;
}
} // namespace

QString PortDescription::summary() const {
    QStringList parts;
    if (!description.isEmpty()) parts << description;
    if (!manufacturer.isEmpty() && manufacturer != description) parts << manufacturer;
    if (!serialNumber.isEmpty()) parts << QStringLiteral("serial %1").arg(serialNumber);
    return parts.join(", ");
}

QList<PortDescription> PortInfo::availablePorts() { return source() ? source()() : systemPorts(); }

PortDescription PortInfo::describe(const QString &path) { return describe(path, availablePorts()); }

PortDescription PortInfo::describe(const QString &path, const QList<PortDescription> &ports) {
    // An address names no file: nothing to look up.
    if (IsNetPortName(path)) {
        const NetAddress a = ParseNetPort(path);
        const char *what = a.kind == NetAddress::Telnet ? "network port, RFC 2217"
                           : a.kind == NetAddress::Raw  ? "network port, raw TCP"
                                                        : "network port";
        return {path, QString::fromLatin1(what), {}, {}, {}};
    }
    const QString target = canonical(path);
    for (const PortDescription &p : ports)
        if (p.device == path || canonical(p.device) == target) return p;
    PortDescription p{path, {}, {}, {}, {}};
    if (target.startsWith("/dev/pts/")) p.description = QStringLiteral("pseudo-terminal");
    return p;
}

QString PortInfo::changeStamp() {
#ifdef Q_OS_LINUX
    if (!source()) {
        // Listing the ports walks udev's whole device tree; a glance at /dev is enough to know.
        QString stamp;
        for (const char *dir : {"/dev", "/dev/serial/by-id"}) {
            const QFileInfo d(QString::fromLatin1(dir));
            stamp += QString::number(d.exists() ? d.lastModified().toMSecsSinceEpoch() : 0) + ';';
        }
        return stamp;
    }
#endif
    return {};
}

bool PortInfo::lockedByProcess(const QString &path, qint64 *pid) {
#ifdef Q_OS_UNIX
    // Where Qt puts the lock of a port it opens, "LCK.." and the name after /dev/ with its
    // slashes as underscores; the name given and the device it leads to may differ.
    static const QStringList dirs = {"/var/lock",  "/etc/locks",        "/var/spool/locks", "/var/spool/uucp",
                                     "/tmp",       "/var/tmp",          "/var/lock/lockdev", "/run/lock",
                                     QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    QStringList names;
    for (const QString &p : {path, canonical(path)}) {
        QString n = p.startsWith("/dev/") ? p.mid(5) : p;
        n = "LCK.." + n.replace('/', '_');
        if (!names.contains(n)) names << n;
    }
    for (const QString &dir : dirs)
        for (const QString &n : names) {
            QFile f(dir + '/' + n);
            if (!f.open(QIODevice::ReadOnly)) continue;
            // Qt writes the process id alone on the first line, serial tools pad it with blanks.
            const qint64 holder = f.readLine(64).trimmed().toLongLong();
            if (holder <= 0 || (::kill(pid_t(holder), 0) != 0 && errno == ESRCH)) continue;
            if (pid) *pid = holder;
            return true;
        }
#else
    Q_UNUSED(path);
    Q_UNUSED(pid);
#endif
    return false;
}

void PortInfo::setSource(std::function<QList<PortDescription>()> s) { source() = std::move(s); }
