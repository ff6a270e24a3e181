#include "cli/Workers.h"
#include "cli/Signals.h"
#include "cli/UnitRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {
struct Worker {
    QString port;
    QProcess *process = nullptr;
    bool done = false;
    bool gotResult = false;
    QString step;
    int percent = 0;
    QByteArray outBuffer, errBuffer;
    QList<QJsonObject> heldRows; // monitor --csv: rows before the file's head is known
    bool rowSeen = false;
};

} // namespace

class WorkerSet::Parent {
public:
    Parent(const CliOptions &o, const QString &file) : m_o(o), m_file(file) {
        m_progress = !o.quiet && !o.json && isatty(fileno(stderr));
    }

    bool start() {
        if (!m_o.csv.isEmpty()) {
            m_csv.setFileName(m_o.csv);
            if (!m_csv.open(QIODevice::WriteOnly | QIODevice::Text)) {
                std::fprintf(stderr, "vireo-cli: cannot write %s: %s\n", qPrintable(m_o.csv),
                             qPrintable(m_csv.errorString()));
                m_worst = ExitBadInput;
                return false;
            }
        }
        CliSignals::install([this](int sig) { forward(sig); });
        CliOptions w = m_o;
        w.file = m_file;
        for (const QString &port : m_o.ports) {
            auto worker = std::make_unique<Worker>();
            worker->port = port;
            auto *p = new QProcess;
            worker->process = p;
            Worker *raw = worker.get();
            // Its own process group: a Ctrl-C at the terminal reaches the parent alone, which
            // passes it on once.
            p->setChildProcessModifier([] { ::setpgid(0, 0); });
            QObject::connect(p, &QProcess::readyReadStandardOutput, p, [this, raw] { readOut(*raw); });
            QObject::connect(p, &QProcess::readyReadStandardError, p, [this, raw] { readErr(*raw); });
            QObject::connect(p, &QProcess::finished, p, [this, raw](int code, QProcess::ExitStatus status) {
                finished(*raw, code, status);
            });
            QObject::connect(p, &QProcess::started, p, [p] { CliSignals::killOnSecond(pid_t(p->processId())); });
            QObject::connect(p, &QProcess::errorOccurred, p, [this, raw](QProcess::ProcessError e) {
                if (e == QProcess::FailedToStart) finished(*raw, -1, QProcess::CrashExit);
            });
            p->start(QCoreApplication::applicationFilePath(), WorkerArgs(w, port));
            m_workers.push_back(std::move(worker));
        }
        return !allDone();
    }

    int finish() {
        clearProgress();
        flushHeldRows(true);
        if (!m_o.json)
            std::printf("%d of %d units done; exit %d\n", m_done, int(m_workers.size()), exitStatus());
        std::fflush(stdout);
        return exitStatus();
    }

private:
    int exitStatus() const {
        if (CliSignals::received()) return ExitSignalBase + CliSignals::received();
        return m_worst;
    }

    bool allDone() const {
        for (const auto &w : m_workers)
            if (!w->done) return false;
        return true;
    }

    void forward(int sig) {
        for (const auto &w : m_workers)
            if (!w->done && w->process->processId() > 0) ::kill(pid_t(w->process->processId()), sig);
    }

    static QList<QByteArray> lines(QByteArray &buffer, const QByteArray &more) {
        buffer += more;
        QList<QByteArray> whole;
        qsizetype nl;
        while ((nl = buffer.indexOf('\n')) >= 0) {
            whole << buffer.left(nl);
            buffer.remove(0, nl + 1);
        }
        return whole;
    }

    void readOut(Worker &w) {
        for (const QByteArray &line : lines(w.outBuffer, w.process->readAllStandardOutput())) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            const QString event = o.value("event").toString();
            if (event == "progress") {
                w.step = o.value("step").toString();
                w.percent = o.value("percent").toInt();
                drawProgress();
            } else if (event == "row") {
                row(w, o);
            } else if (event == "result") {
                w.gotResult = true;
                result(UnitResult::fromJson(o));
            } else if (!line.trimmed().isEmpty()) {
                say(stdout, line + '\n');
            }
        }
    }

    void readErr(Worker &w) {
        for (const QByteArray &line : lines(w.errBuffer, w.process->readAllStandardError())) say(stderr, line + '\n');
    }

    void finished(Worker &w, int code, QProcess::ExitStatus status) {
        if (w.done) return;
        readOut(w);
        readErr(w);
        w.done = true;
        CliSignals::forget(pid_t(w.process->processId()));
        if (!w.gotResult) {
            UnitResult r;
            r.port = w.port;
            r.command = m_o.command;
            r.exit = ExitNoUnit;
            r.result = status == QProcess::CrashExit ? QStringLiteral("the worker was killed before it had a result")
                                                     : QStringLiteral("the worker ended without a result (exit %1)").arg(code);
            result(r);
        }
        if (allDone()) QCoreApplication::exit(0);
    }

    void result(const UnitResult &r) {
        m_worst = std::max(m_worst, r.exit);
        if (r.exit == ExitDone) ++m_done;
        UnitResult shown = r;
        if (m_o.json) say(stdout, QJsonDocument(shown.toJson()).toJson(QJsonDocument::Compact) + '\n');
        else say(stdout, shown.line().toUtf8() + '\n');
    }

    // Monitoring rows: with the port, as they come; the CSV file's head once every unit has
    // shown how many channels it has (or ended).
    void row(Worker &w, const QJsonObject &o) {
        const QJsonObject values = o.value("values").toObject();
        const double seconds = o.value("seconds").toDouble();
        if (m_o.json) {
            say(stdout, QJsonDocument(QJsonObject{{"port", w.port}, {"seconds", seconds}, {"values", values}})
                            .toJson(QJsonDocument::Compact) +
                            '\n');
        } else {
            QStringList cells{w.port, QString::number(seconds, 'f', 3)};
            for (auto it = values.begin(); it != values.end(); ++it) cells << QString::number(it.value().toDouble(), 'g', 10);
            say(stdout, cells.join(' ').toUtf8() + '\n');
        }
        if (!m_csv.isOpen()) return;
        m_channels = std::max(m_channels, int(values.size()));
        w.rowSeen = true;
        QJsonObject r = o;
        r.insert("port", w.port);
        w.heldRows << r;
        flushHeldRows(false);
    }

    void flushHeldRows(bool atEnd) {
        if (!m_csv.isOpen()) return;
        if (!m_headWritten) {
            for (const auto &w : m_workers)
                if (!w->rowSeen && !w->done && !atEnd) return;
            QStringList head{"port", "seconds"};
            for (int k = 0; k < m_channels; ++k) head << QStringLiteral("CH %1").arg(k);
            m_csv.write(head.join(',').toUtf8() + '\n');
            m_headWritten = true;
        }
        for (const auto &w : m_workers) {
            for (const QJsonObject &r : w->heldRows) {
                QStringList cells{r.value("port").toString(), QString::number(r.value("seconds").toDouble(), 'f', 3)};
                const QJsonObject values = r.value("values").toObject();
                for (int k = 0; k < m_channels; ++k) {
                    const QJsonValue v = values.value(QStringLiteral("CH %1").arg(k));
                    cells << (v.isUndefined() ? QString() : QString::number(v.toDouble(), 'g', 10));
                }
                // A whole line at a time: a reader never meets half a row.
                m_csv.write(cells.join(',').toUtf8() + '\n');
            }
            w->heldRows.clear();
        }
        m_csv.flush();
    }

    void say(FILE *to, const QByteArray &text) {
        clearProgress();
        std::fwrite(text.constData(), 1, size_t(text.size()), to);
        std::fflush(to);
        drawProgress();
    }

    void clearProgress() {
        if (!m_lineShown) return;
        std::fprintf(stderr, "\r\033[K");
        m_lineShown = false;
    }

    // One line on the terminal: how many are done, and what each of the others is at.
    void drawProgress() {
        if (!m_progress || allDone()) return;
        QStringList at;
        int done = 0;
        for (const auto &w : m_workers) {
            if (w->done) ++done;
            else at << QStringLiteral("%1 %2 %3%").arg(w->port, w->step.isEmpty() ? QStringLiteral("start") : w->step).arg(w->percent);
        }
        QString line = QStringLiteral("%1 of %2 done; ").arg(done).arg(m_workers.size()) + at.join(", ");
        if (line.size() > 150) line = line.left(147) + "...";
        std::fprintf(stderr, "\r\033[K%s", qPrintable(line));
        std::fflush(stderr);
        m_lineShown = true;
    }

    CliOptions m_o;
    QString m_file;
    std::vector<std::unique_ptr<Worker>> m_workers;
    QFile m_csv;
    bool m_headWritten = false;
    int m_channels = 0;
    int m_worst = ExitDone;
    int m_done = 0;
    bool m_progress = false;
    bool m_lineShown = false;
};

WorkerSet::WorkerSet(const CliOptions &options, const QString &file) : m_parent(new Parent(options, file)) {}
WorkerSet::~WorkerSet() = default;
bool WorkerSet::start() { return m_parent->start(); }
int WorkerSet::finish() { return m_parent->finish(); }
