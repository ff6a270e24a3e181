#pragma once
// Finds the units on many ports at once: each port is opened with a device of its own and asked
// the identification's first questions (G00, then the model I02 and the version I06) with a short
// time-out, writing nothing to the unit. Driven by signals and timers alone; every port reports
// as soon as it has its answer.
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

struct ScanRow {
    enum class Outcome { Unit, NoUnit, InUse, CannotOpen };
    QString port;    // as given: a device path or a network address
    QString adapter; // what the system says of it ("FT232R USB UART, FTDI", "network port, RFC 2217")
    Outcome outcome = Outcome::NoUnit;
    QString model, version, network; // of a unit that answered; network empty where it has none
    QString detail;                  // why there is no unit, in words
    int ms = 0;                      // how long the port took
    bool unit() const { return outcome == Outcome::Unit; }
    // "unit", "no unit", "in use", "cannot open"
    QString outcomeText() const;
};

class UnitScan : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultExchangeMs = 300;
    static constexpr int DefaultConnectMs = 1000;

    explicit UnitScan(QObject *parent = nullptr);
    ~UnitScan() override;

    // The machine's serial ports, then the names given that are not among them, each once.
    static QStringList portsToTry(const QStringList &extra);
    // Each exchange's time-out (one retry after it), and a network connection's.
    void setTimeouts(int exchangeMs, int connectMs);
    // Starts over on these ports; rowReady for each, finished after the last.
    void start(const QStringList &ports);
    // Closes every port still being tried; their rows do not come.
    void cancel();
    bool running() const { return m_pending > 0; }
    // The rows so far, in the order the ports answered.
    const QList<ScanRow> &rows() const { return m_rows; }

signals:
    void rowReady(const ScanRow &row);
    void finished();

private:
    class Probe;
    void done(int generation, const ScanRow &row);
    std::vector<std::unique_ptr<Probe>> m_probes;
    QList<ScanRow> m_rows;
    int m_pending = 0;
    int m_generation = 0;
    int m_exchangeMs = DefaultExchangeMs;
    int m_connectMs = DefaultConnectMs;
};
