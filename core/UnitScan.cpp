#include "core/UnitScan.h"
#include "core/Identify.h"
#include "link/Link.h"
#include "link/NetDevice.h"
#include "link/PortDevice.h"
#include "link/PortInfo.h"
#include "link/TextRoutines.h"

#include <QCoreApplication>
#include <QTimer>

QString ScanRow::outcomeText() const {
    switch (outcome) {
    case Outcome::Unit: return QStringLiteral("unit");
    case Outcome::NoUnit: return QStringLiteral("no unit");
    case Outcome::InUse: return QStringLiteral("in use");
    case Outcome::CannotOpen: return QStringLiteral("cannot open");
    }
    return {};
}

// One port: opened, asked, closed. Each exchange is tried twice at most.
class UnitScan::Probe : public QObject {
public:
    Probe(UnitScan *owner, int generation, const QString &port, int exchangeMs, int connectMs)
        : m_owner(owner), m_generation(generation), m_exchangeMs(exchangeMs), m_connectMs(connectMs) {
        m_row.port = port;
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { answer(QString()); });
        m_pause.setSingleShot(true);
        m_pause.setTimerType(Qt::PreciseTimer);
        connect(&m_pause, &QTimer::timeout, this, &Probe::send);
    }
    ~Probe() override {
        if (m_device) m_device->close();
    }

    void start() {
        m_clock.start();
        const PortDescription d = PortInfo::describe(m_row.port);
        m_row.adapter = d.summary().isEmpty() ? d.description : d.summary();
        qint64 holder = 0;
        if (!IsNetPortName(m_row.port) && PortInfo::lockedByProcess(m_row.port, &holder))
            return finish(ScanRow::Outcome::InUse, holder == QCoreApplication::applicationPid()
                                                       ? QStringLiteral("in use by this program")
                                                       : QStringLiteral("in use by another program"));
        m_device = std::make_unique<PortDevice>();
        connect(m_device.get(), &SerialDevice::opened, this, [this] { next(Step::Select); });
        connect(m_device.get(), &SerialDevice::openFailed, this, [this](const QString &reason) {
            if (reason.contains("in use")) finish(ScanRow::Outcome::InUse, QStringLiteral("in use by another program"));
            else finish(ScanRow::Outcome::CannotOpen, reason);
        });
        connect(m_device.get(), &SerialDevice::dataArrived, this, &Probe::arrived);
        connect(m_device.get(), &SerialDevice::lost, this, [this](const QString &reason) {
            // A device server whose port another client holds says so and hangs up.
            if (m_reply.contains("in use") || m_unasked.contains("in use"))
                finish(ScanRow::Outcome::InUse, QStringLiteral("in use by another client of the device server"));
            else
                finish(ScanRow::Outcome::NoUnit, "the line was lost: " + reason);
        });
        m_device->setOpenTimeout(m_connectMs);
        m_device->beginOpen(m_row.port, Link::DefaultSettings);
    }

private:
    enum class Step { Select, Model, Version };

    void next(Step s) {
        m_step = s;
        m_attempt = 0;
        m_pause.start(Link::DefaultPauseMs);
    }

    // The unit's pause before a line, as the link keeps it.
    void send() {
        if (!m_device || !m_device->isOpen()) return;
        static const QByteArray lines[] = {"G00\r", "I02\r", "I06\r"};
        m_device->discardInput();
        m_reply.clear();
        m_device->write(lines[int(m_step)]);
        m_timer.start(m_exchangeMs);
    }

    void arrived() {
        if (!m_timer.isActive()) {
            // Nothing asked: no reply, but a device server may be telling why it hangs up.
            m_unasked = (m_unasked + m_device->readAll()).right(256);
            return;
        }
        const QByteArray chunk = m_device->readAll();
        m_reply += chunk;
        // The link's rule: the chunk that ends with a carriage return ends the reply.
        if (!chunk.endsWith('\r') && m_reply.size() <= Link::MaxReplyBytes) return;
        m_timer.stop();
        const bool noise = !m_reply.endsWith('\r');
        answer(noise ? QStringLiteral("(noise)") : TrimBlanks(QString::fromLatin1(m_reply.chopped(1))));
    }

    // A reply, or the empty text for none within the time-out.
    void answer(const QString &r) {
        const bool usable = !r.isEmpty() && r != "CNG" && r != "CNU";
        const bool retry = !usable && m_attempt++ == 0;
        switch (m_step) {
        case Step::Select:
            if (r == "COK") return next(Step::Model);
            if (retry) return m_pause.start(Link::DefaultPauseMs);
            return finish(ScanRow::Outcome::NoUnit,
                          r.isEmpty() ? QStringLiteral("no answer")
                                      : QStringLiteral("answered \"%1\", not as a unit does").arg(r.left(40)));
        case Step::Model:
            if (usable) m_row.model = AfterColon(r.mid(1)).trimmed();
            else if (retry) return m_pause.start(Link::DefaultPauseMs);
            return next(Step::Version);
        case Step::Version:
            if (usable) m_row.version = AfterColon(r.mid(1)).trimmed();
            else if (retry) return m_pause.start(Link::DefaultPauseMs);
            if (m_row.model.isEmpty()) m_row.detail = QStringLiteral("the unit did not tell its model");
            return finish(ScanRow::Outcome::Unit, m_row.detail);
        }
    }

    void finish(ScanRow::Outcome o, const QString &detail) {
        if (m_finished) return;
        m_finished = true;
        m_timer.stop();
        m_pause.stop();
        if (m_device) m_device->close();
        m_row.outcome = o;
        m_row.detail = detail;
        if (o == ScanRow::Outcome::Unit) m_row.network = NetKindOf(m_row.model).caption;
        m_row.ms = int(m_clock.elapsed());
        // Not from inside the device's own signal: whoever is told may end the scan.
        QMetaObject::invokeMethod(m_owner, [owner = m_owner, gen = m_generation, row = m_row] { owner->done(gen, row); },
                                  Qt::QueuedConnection);
    }

    UnitScan *m_owner;
    int m_generation;
    int m_exchangeMs, m_connectMs;
    ScanRow m_row;
    std::unique_ptr<SerialDevice> m_device;
    QTimer m_timer, m_pause;
    QByteArray m_reply, m_unasked;
    Step m_step = Step::Select;
    int m_attempt = 0;
    bool m_finished = false;
    QElapsedTimer m_clock;
};

UnitScan::UnitScan(QObject *parent) : QObject(parent) {}

UnitScan::~UnitScan() = default;

QStringList UnitScan::portsToTry(const QStringList &extra) {
    QStringList ports;
    for (const PortDescription &p : PortInfo::availablePorts()) ports << p.device;
    for (const QString &e : extra) {
        const QString name = e.trimmed();
        if (!name.isEmpty() && !ports.contains(name)) ports << name;
    }
    return ports;
}

void UnitScan::setTimeouts(int exchangeMs, int connectMs) {
    m_exchangeMs = exchangeMs;
    m_connectMs = connectMs;
}

void UnitScan::start(const QStringList &ports) {
    cancel();
    m_rows.clear();
    for (const QString &port : ports) m_probes.push_back(std::make_unique<Probe>(this, m_generation, port, m_exchangeMs, m_connectMs));
    m_pending = int(m_probes.size());
    if (m_pending == 0) {
        QMetaObject::invokeMethod(this, &UnitScan::finished, Qt::QueuedConnection);
        return;
    }
    for (const auto &p : m_probes) p->start();
}

void UnitScan::cancel() {
    // A report already on its way belongs to a generation gone by and is dropped.
    ++m_generation;
    m_probes.clear();
    m_pending = 0;
}

void UnitScan::done(int generation, const ScanRow &row) {
    if (generation != m_generation || m_pending == 0) return;
    m_rows << row;
    emit rowReady(row);
    if (--m_pending == 0) emit finished();
}
