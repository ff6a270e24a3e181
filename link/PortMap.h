#pragma once
// Which device each of the eight COM options opens.
#include <QString>

namespace PortMap {
// The device COMk opens: the person's choice in the port dialog, else VIREO_COMk, else the platform default.
QString deviceFor(int k);
// The device COMk opens without the person's choice.
QString defaultDeviceFor(int k);
// Holds until the program ends (or clearChoices, for tests).
void choose(int k, const QString &device);
void clearChoices();
} // namespace PortMap
