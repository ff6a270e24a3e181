#pragma once
// vireo-cli scan: every serial port of the machine and the ports given, tried at once for a unit.
#include <QStringList>

class QTextStream;

// One line per port as it answers (or one JSON object with json): port, adapter, model,
// version, network, and what came of it. 0 when at least one unit answered, 2 when none did.
// exchangeMs: each exchange's time-out (0: the scan's own).
int RunScan(const QStringList &ports, bool json, int exchangeMs, QTextStream &out, QTextStream &err);
