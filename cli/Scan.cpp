#include "cli/Scan.h"
#include "cli/UnitRun.h"
#include "core/UnitScan.h"

#include <QElapsedTimer>
#include <QEventLoop>
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

int RunScan(const QStringList &ports, bool json, int exchangeMs, QTextStream &out, QTextStream &err) {
    const QStringList all = UnitScan::portsToTry(ports);
    UnitScan scan;
    if (exchangeMs > 0) scan.setTimeouts(exchangeMs, UnitScan::DefaultConnectMs);
    int units = 0;
    QObject::connect(&scan, &UnitScan::rowReady, [&](const ScanRow &r) {
        if (r.unit()) ++units;
        if (json) out << QJsonDocument(toJson(r)).toJson(QJsonDocument::Compact) << '\n';
        else out << line(r) << '\n';
        out.flush();
    });
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QObject::connect(&scan, &UnitScan::finished, &loop, &QEventLoop::quit);
    scan.start(all);
    loop.exec();
    err << QStringLiteral("%1 unit%2 on %3 port%4, %5 s")
               .arg(units)
               .arg(units == 1 ? "" : "s")
               .arg(all.size())
               .arg(all.size() == 1 ? "" : "s")
               .arg(double(t.elapsed()) / 1000.0, 0, 'f', 2)
        << '\n';
    err.flush();
    return units > 0 ? ExitDone : ExitNoUnit;
}
