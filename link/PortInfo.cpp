#include "link/PortInfo.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>

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

void PortInfo::setSource(std::function<QList<PortDescription>()> s) { source() = std::move(s); }
