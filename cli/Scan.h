#pragma once
// vireo-cli scan: every serial port of the machine and the ports given, tried at once for a unit.
#include <QStringList>

#include <memory>

class QTextStream;
class UnitScan;

// One line per port as it answers (or one JSON object with json): port, adapter, model,
// version, network, and what came of it. 0 when at least one unit answered, 2 when none did.
class ScanCommand {
public:
    // exchangeMs: each exchange's time-out (0: the scan's own).
    ScanCommand(const QStringList &ports, bool json, int exchangeMs, QTextStream &out, QTextStream &err);
    ~ScanCommand();
    // Starts every port at once; the program's loop runs until the last has answered or not.
    void start();
    bool done() const { return m_done; }
    int finish();

private:
    std::unique_ptr<UnitScan> m_scan;
    QStringList m_ports;
    bool m_json;
    QTextStream &m_out, &m_err;
    int m_units = 0;
    bool m_done = false;
    qint64 m_startMs = 0;
};
