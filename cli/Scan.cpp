#include "cli/Scan.h"
#include "cli/UnitRun.h"
#include "core/UnitScan.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {
QString orDash(const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; }

QJsonObject toJson(const ScanRow &r) {
    return {{"port", r.port},       {"adapter", r.adapter}, {"result", r.outcomeText()}, {"model", r.model},
            {"version", r.version}, {"network", r.network}, {"detail", r.detail},        {"ms", r.ms}};
}

QString line(const ScanRow &r) {
    QString what = r.outcomeText();
    if (!r.detail.isEmpty() && r.outcome != ScanRow::Outcome::InUse) what += ": " + r.detail;
    else if (r.outcome == ScanRow::Outcome::InUse) what = r.detail;
    return QStringList{r.port, orDash(r.adapter), orDash(r.model), orDash(r.version), orDash(r.network), what}.join('\t');
}
} // namespace

ScanCommand::ScanCommand(const QStringList &ports, bool json, int exchangeMs, QTextStream &out, QTextStream &err)
    : m_scan(std::make_unique<UnitScan>()), m_ports(UnitScan::portsToTry(ports)), m_json(json), m_out(out), m_err(err) {
    if (exchangeMs > 0) m_scan->setTimeouts(exchangeMs, UnitScan::DefaultConnectMs);
    QObject::connect(m_scan.get(), &UnitScan::rowReady, [this](const ScanRow &r) {
        if (r.unit()) ++m_units;
        if (m_json) m_out << QJsonDocument(toJson(r)).toJson(QJsonDocument::Compact) << '\n';
        else m_out << line(r) << '\n';
        m_out.flush();
    });
    QObject::connect(m_scan.get(), &UnitScan::finished, [this] {
        m_done = true;
        QCoreApplication::exit(0);
    });
}

ScanCommand::~ScanCommand() = default;

void ScanCommand::start() {
    m_startMs = QDateTime::currentMSecsSinceEpoch();
    m_scan->start(m_ports);
}

int ScanCommand::finish() {
    const double seconds = double(QDateTime::currentMSecsSinceEpoch() - m_startMs) / 1000.0;
    m_err << QStringLiteral("%1 unit%2 on %3 port%4, %5 s")
                 .arg(m_units)
                 .arg(m_units == 1 ? "" : "s")
                 .arg(m_ports.size())
                 .arg(m_ports.size() == 1 ? "" : "s")
                 .arg(seconds, 0, 'f', 2)
          << '\n';
    m_err.flush();
    return m_units > 0 ? ExitDone : ExitNoUnit;
}
