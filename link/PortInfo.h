#pragma once
// What the system says about its serial ports: the adapter's description, manufacturer and
// serial number, and the stable /dev/serial/by-id name where there is one.
#include <QList>
#include <QString>
#include <functional>

struct PortDescription {
    QString device; // the path a port opens, e.g. /dev/ttyUSB0 (COM3 on Windows)
    QString description, manufacturer, serialNumber;
    QString byId; // the file name under /dev/serial/by-id that leads to the device
    // "FT232R USB UART, FTDI, serial A10K2DX3": what tells two adapters apart; empty when nothing is known.
    QString summary() const;
    bool operator==(const PortDescription &o) const = default;
};

namespace PortInfo {
// The system's ports, sorted by device.
QList<PortDescription> availablePorts();
// What is known about the device a path opens (a by-id name or a link leads to it); a
// pseudo-terminal is said to be one, a tcp:// or rfc2217:// name a network port.
PortDescription describe(const QString &path);
// The same looked up in a list of ports already taken (listing them asks the system each time).
PortDescription describe(const QString &path, const QList<PortDescription> &ports);
// Changes when a port may have come or gone (Linux: a device node was added or removed); empty
// where that cannot be told, and then the ports must be listed again to know.
QString changeStamp();
// Another process holds the device: its lock file (Qt's, or a serial tool's in the same place)
// names a process that is alive. *pid gets that process. Reads the lock only, never opens the
// device; false where there are no lock files.
bool lockedByProcess(const QString &path, qint64 *pid = nullptr);
// Tests list adapters of their own; an empty function restores the system's list.
void setSource(std::function<QList<PortDescription>()> source);
} // namespace PortInfo
