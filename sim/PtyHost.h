#pragma once
// Hosts the simulated unit on a pseudo-terminal, so a program reaches it through a real serial port.
#include "sim/SimEndpoint.h"

#include <QSocketNotifier>

namespace sim {

class PtyHost : public SimEndpoint {
    Q_OBJECT
public:
    explicit PtyHost(std::shared_ptr<SimUnit> unit, QObject *parent = nullptr);
    ~PtyHost() override;
    // Opens the pseudo-terminal; false (with *error) when the system refuses.
    bool start(QString *error = nullptr);
    QString devicePath() const { return m_path; }
    bool running() const { return m_master >= 0; }
    void stop();

protected:
    void deliver(const QByteArray &bytes) override;
    void vanish() override;

private:
    void onReadable();
    int m_master = -1;
    int m_slaveKeep = -1; // held open so the master never sees a hang-up between clients
    QString m_path;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace sim
