#include "link/PortMap.h"

#include <QMap>
#include <QtGlobal>

namespace {
QMap<int, QString> &choices() {
    static QMap<int, QString> m;
    return m;
}
} // namespace

QString PortMap::defaultDeviceFor(int k) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(k);
#else
    const QByteArray env = qgetenv(QStringLiteral("VIREO_COM%1").arg(k).toLatin1().constData());
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QStringLiteral("/dev/ttyS%1").arg(k - 1);
#endif
}

QString PortMap::deviceFor(int k) {
    const auto it = choices().constFind(k);
    return it != choices().constEnd() ? *it : defaultDeviceFor(k);
}

void PortMap::choose(int k, const QString &device) {
    if (device.trimmed().isEmpty() || device == defaultDeviceFor(k)) choices().remove(k);
    else choices().insert(k, device.trimmed());
}

void PortMap::clearChoices() { choices().clear(); }
