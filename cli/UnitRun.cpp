#include "cli/UnitRun.h"
#include "cli/Records.h"
#include "cli/TextUi.h"
#include "config/PageStore.h"
#include "core/Globals.h"
#include "core/Identify.h"
#include "core/Session.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/TextRoutines.h"
#include "link/Traffic.h"
#include "pages/PageRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QJsonObject UnitResult::toJson() const {
    QJsonArray d;
    for (const Difference &x : differences)
        d.append(QJsonObject{{"caption", x.caption}, {"channel", x.channel}, {"page", x.page}, {"unit", x.unit}});
    QJsonObject o{{"port", port},       {"device", device}, {"model", model},   {"version", version},
                  {"command", command}, {"result", result}, {"differences", d}, {"seconds", seconds},
                  {"exit", exit}};
    if (!details.isEmpty()) o.insert("unit", details);
    if (!file.isEmpty()) o.insert("file", file);
    if (!records.isEmpty()) o.insert("records", QJsonArray::fromStringList(records));
    return o;
}

UnitResult UnitResult::fromJson(const QJsonObject &o) {
    UnitResult r;
    r.port = o.value("port").toString();
    r.device = o.value("device").toString();
    r.model = o.value("model").toString();
    r.version = o.value("version").toString();
    r.command = o.value("command").toString();
    r.result = o.value("result").toString();
    r.seconds = o.value("seconds").toDouble();
    r.exit = o.value("exit").toInt(ExitNoUnit);
    r.details = o.value("unit").toObject();
    r.file = o.value("file").toString();
    for (const QJsonValue &v : o.value("records").toArray()) r.records << v.toString();
    for (const QJsonValue &v : o.value("differences").toArray()) {
        const QJsonObject x = v.toObject();
        r.differences.append({x.value("caption").toString(), x.value("channel").toString(),
                              x.value("page").toString(), x.value("unit").toString()});
    }
    return r;
}

QString UnitResult::line() const {
    auto orDash = [](const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; };
    // The port as given; the device beside it only where the name led elsewhere.
    const QString where = device.isEmpty() || device == port ? port : QStringLiteral("%1 (%2)").arg(port, device);
    QString s = QStringLiteral("%1 %2 %3 %4: %5, %6 s")
                    .arg(where, orDash(model), orDash(version), command, result)
                    .arg(seconds, 0, 'f', 1);
    if (!differences.isEmpty())
        s += "\n  " + DescribeDifferences(differences, command == "compare" ? "in the file" : "written")
                          .replace("\r\n", "\n  ");
    return s;
}

namespace {
// "K5A-QB4_COM1_20261209-181502" for the files of a record.
QString recordName(const QString &model, const QString &port, const QDateTime &when) {
    QString p = port;
    p.replace(QRegularExpression("[^A-Za-z0-9]+"), "-");
    return QStringLiteral("%1_%2_%3").arg(model, p.remove(QRegularExpression("^-+")), when.toString("yyyyMMdd-HHmmss"));
}

QString differencesText(qsizetype n) {
    return n == 1 ? QStringLiteral("1 difference") : QStringLiteral("%1 differences").arg(n);
}

// "CH 0 and CH 1", "CH 0, CH 1 and CH 2".
QString listed(const QStringList &items) {
    if (items.size() <= 1) return items.join(QString());
    return QStringList(items.mid(0, items.size() - 1)).join(", ") + " and " + items.last();
}

class UnitRunner;
UnitRunner *running = nullptr;

class UnitRunner {
public:
    UnitRunner(const CliOptions &o, const QByteArray &fileBytes, const UnitEvents &events)
        : m_o(o), m_bytes(fileBytes), m_events(events), m_ui(o.port, o.quiet || o.json || o.worker, o.ext) {
        m_r.port = o.port;
        m_r.command = o.command;
        m_clock.start();
        m_when = QDateTime::currentDateTime();
        if (m_events.progress) m_ui.onProgress = m_events.progress;
    }

    co::Task<UnitResult> run() {
        running = this;
        setUi(&m_ui);
        m_session.setPages(&m_pages);
        m_session.load();
        traceTraffic();
        try {
            co_await body();
        } catch (const co::Cancelled &) {
            // The program was told to end (the extension question unanswered, or a signal).
        }
        if (m_interrupted && m_r.exit < ExitSignalBase) interrupted();
        m_r.model = g.IdentifiedModel.isEmpty() ? m_r.model : g.IdentifiedModel;
        // Every upload, download and dry run leaves its line in the record, whatever became of it.
        if (m_o.command == "upload" || m_o.command == "download") recordLine();
        if (m_session.link().isOpen()) m_session.commandDisconnect();
        setUi(nullptr);
        running = nullptr;
        m_r.seconds = double(m_clock.elapsed()) / 1000.0;
        co_return m_r;
    }

    void interrupt(int signal) {
        if (m_interrupted) return;
        m_interrupted = signal;
        NoteCancelled();
        m_session.link().stopLines();
    }

private:
    UnitResult &end(int exit, const QString &result) {
        m_r.exit = exit;
        m_r.result = result;
        return m_r;
    }

    // -v and --log: every line with its time, as the communication log writes it.
    void traceTraffic() {
        if (!m_o.verbose && m_o.logFile.isEmpty()) return;
        Link &l = m_session.link();
        auto put = [this](TrafficEntry e) {
            e.atMs = QDateTime::currentMSecsSinceEpoch();
            const QByteArray line = (m_o.port + ": " + FormatTraffic(e) + '\n').toUtf8();
            if (m_o.verbose) std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
            if (!m_o.logFile.isEmpty()) appendLog(line);
        };
        QObject::connect(&l, &Link::lineSent, &l, [put](const QByteArray &b) {
            put({0, TrafficEntry::Kind::Sent, b, b.size(), -1, {}, {}});
        });
        QObject::connect(&l, &Link::lineReceived, &l, [put](const QByteArray &b, qint64 us) {
            put({0, TrafficEntry::Kind::Received, b, b.size(), us, {}, {}});
        });
        QObject::connect(&l, &Link::replyMissing, &l, [put](Link::NoReply why, const QByteArray &b, qint64 us) {
            put({0, TrafficEntry::Kind::NoReply, b, b.size(), us, why, {}});
        });
        QObject::connect(&l, &Link::portError, &l, [put](const QString &port, const QString &reason) {
            put({0, TrafficEntry::Kind::PortError, {}, 0, -1, {}, port + ": " + reason});
        });
        QObject::connect(&l, &Link::noted, &l, [put](const QString &text) {
            put({0, TrafficEntry::Kind::Note, {}, 0, -1, {}, text});
        });
    }

    void appendLog(const QByteArray &line) {
        if (m_logFd == -2) return;
        if (m_logFd < 0) {
            m_logFd = ::open(QFile::encodeName(m_o.logFile).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
            if (m_logFd < 0) {
                std::fprintf(stderr, "%s: the log %s cannot be written\n", qPrintable(m_o.port), qPrintable(m_o.logFile));
                m_logFd = -2;
                return;
            }
        }
        [[maybe_unused]] const auto n = ::write(m_logFd, line.constData(), size_t(line.size()));
    }

    // What a lost or silent unit leaves: "no unit", or "lost line" once it had answered.
    void noUnit() {
        end(ExitNoUnit, m_session.link().answers() > 0 ? QStringLiteral("lost line") : QStringLiteral("no unit"));
        for (const TextUi::Message &m : m_ui.messages)
            if (m.title.trimmed() == "Connection" && m.text.startsWith("Connection Error\r\n")) {
                QString why = m.text.mid(18);
                // A port of the command line is named as it was given, not as the window's COM1.
                if (!m_com) why.replace(QStringLiteral("COM1 (%1)").arg(m_r.device), m_o.port);
                m_r.result = "no unit: " + why;
            }
    }

    void openPort() {
        static const QRegularExpression com(QStringLiteral("^COM([1-8])$"), QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = com.match(m_o.port);
        int k = 1;
        m_com = m.hasMatch();
        if (m_com) k = m.captured(1).toInt();
        m_session.choosePort(k, m_com ? QString() : m_o.port);
        m_r.device = PortMap::deviceFor(k);
    }

    bool readFile() {
        QString error;
        m_loaded = m_pages.readConfig(m_bytes, &error);
        if (!m_loaded) {
            end(ExitBadInput, "bad file: " + error);
            return false;
        }
        m_r.file = m_o.file == "-" || m_o.stdinCopy ? QStringLiteral("(standard input)") : m_o.file;
        return true;
    }

    co::Task<bool> connectUnit(bool pagesToo) {
        m_ui.setStep("connect");
        openPort();
        bool ok;
        Outcome o;
        if (pagesToo) {
            o = co_await m_session.commandConnect();
            ok = g.Connected && m_session.link().isOpen() && o.complete();
        } else {
            ok = co_await m_session.checkConnection();
            if (ok) ok = co_await m_session.identifyOnly();
        }
        m_r.model = g.IdentifiedModel;
        m_r.version = AfterColon(g.VersionText).trimmed();
        if (m_interrupted) co_return false;
        if (o.kind == Outcome::Kind::NeedsInit) {
            end(ExitNoUnit, QStringLiteral("unit needs initialization"));
            co_return false;
        }
        if (m_ui.extensionUnanswered && pagesToo) {
            end(ExitBadInput, QStringLiteral("the unit has an extension module (%1): say which with --ext 16 or --ext 8")
                                  .arg(g.ExtName.isEmpty() ? QStringLiteral("DI or DO") : g.ExtName));
            co_return false;
        }
        if (ok) co_return true;
        if (g.Connected && m_session.link().isOpen() && !o.complete())
            end(ExitNoUnit, QStringLiteral("the unit could not be read completely (%1)").arg(o.where()));
        else
            noUnit();
        co_return false;
    }

    // The configuration on the pages now, into the record folder; false (and a failure) when it
    // cannot be kept.
    co::Task<bool> record(const QString &what) {
        if (m_o.recordDir.isEmpty()) co_return true;
        const QString path =
            QDir(m_o.recordDir).filePath(recordName(g.IdentifiedModel, m_o.port, m_when) + "_" + what + ".uJx");
        QString error;
        const bool saved = co_await m_session.saveFile(path, &error);
        if (saved) {
            m_r.records << path;
            co_return true;
        }
        m_recordFailure = QStringLiteral("the %1 configuration could not be kept: %2").arg(what, error);
        co_return false;
    }

    // What the unit holds after a download, for its record: the read-back when it completed,
    // else a fresh reading.
    co::Task<> recordAfter(bool readBack) {
        if (m_o.recordDir.isEmpty()) co_return;
        if (m_interrupted) {
            m_r.records << QStringLiteral("after: not read (interrupted)");
            co_return;
        }
        if (!readBack && g.Connected && m_session.link().isOpen()) {
            m_ui.setStep("read");
            readBack = (co_await m_session.commandUpload()).complete();
        }
        if (readBack && g.Connected) co_await record("after");
        else m_r.records << QStringLiteral("after: not read (the unit could not be read)");
    }

    void recordLine() {
        if (m_o.recordDir.isEmpty()) return;
        if (!m_recordFailure.isEmpty() && m_r.exit < ExitBadInput) {
            m_r.exit = ExitBadInput;
            m_r.result += "; " + m_recordFailure;
        }
        RecordLine l;
        l.when = m_when;
        l.command = m_o.dryRun ? QStringLiteral("download --dry-run") : m_o.command;
        l.port = m_r.port;
        l.device = m_r.device;
        l.model = m_r.model;
        l.version = m_r.version;
        l.file = m_r.file;
        l.result = m_r.result;
        l.exit = m_r.exit;
        l.differences = DescribeDifferences(m_r.differences).replace("\r\n", "; ");
        l.files = m_r.records;
        QString error;
        if (!AppendRecord(m_o.recordDir, l, &error)) {
            if (m_r.exit < ExitBadInput || m_r.exit >= ExitSignalBase) m_r.exit = std::max(m_r.exit, int(ExitBadInput));
            m_r.result += "; the record line could not be written: " + error;
        }
    }

    // The file's model against the unit's: another model only with --force.
    bool sameModel() {
        const QString fileModel = m_loaded->identity.model;
        if (fileModel == g.IdentifiedModel) return true;
        if (m_o.force) return true;
        end(ExitBadInput, QStringLiteral("other model: the file is for %1, the unit is a %2 (--force writes it anyway)")
                              .arg(fileModel, g.IdentifiedModel));
        return false;
    }

    co::Task<> body() {
        const QString c = m_o.command;
        if ((c == "download" || c == "compare") && !readFile()) co_return;
        // The extension question, unanswered, ends the session where the window would ask, before
        // the page is read; identify only reports the kind.
        if (c != "identify") m_ui.onExtensionUnanswered = [this] { m_session.commandExit(); };
        const bool connected = co_await connectUnit(c != "identify");
        if (!connected) co_return;
        if (c == "identify") co_return identify();
        if (c == "upload") co_return co_await upload();
        if (c == "monitor") co_return co_await monitor();
        if (!sameModel()) co_return;
        m_ui.answerYes(true); // the model was decided above
        if (c == "download" && !m_o.dryRun) {
            const bool kept = co_await record("before");
            if (!kept) co_return void(end(ExitBadInput, m_recordFailure));
        }
        m_ui.setStep("load");
        const bool loaded = co_await m_session.loadConfig(m_bytes);
        if (!loaded) co_return void(end(ExitBadInput, "bad file: " + m_ui.messages.value(0).text));
        if (c == "compare" || m_o.dryRun) co_return co_await compare();
        co_await download();
    }

    void identify() {
        const PageKind *kind = FindPageKind(g.modelnum);
        const NetKind net = NetKindOf(g.UnitModel);
        m_r.details = QJsonObject{
            {"model", g.UnitModel},
            {"modelnum", g.modelnum},
            {"kind", kind ? QString::fromLatin1(kind->name) : QStringLiteral("unsupported")},
            {"netTyp", g.NetTyp},
            {"network", net.netTyp == 99 ? QStringLiteral("none") : net.caption},
            {"version", AfterColon(g.VersionText).trimmed()},
            {"channels", g.ChCount},
            {"extension", g.ExtName == "NONE" ? QStringLiteral("none")
                          : g.ExtType.isEmpty()  ? g.ExtName
                                                 : g.ExtType},
        };
        const QJsonObject &d = m_r.details;
        end(ExitDone, QStringLiteral("%1, %2 on %3, version %4, %5 channels, extension %6")
                          .arg(d.value("model").toString(), d.value("kind").toString(), d.value("network").toString(),
                               d.value("version").toString())
                          .arg(d.value("channels").toInt())
                          .arg(d.value("extension").toString()));
    }

    co::Task<> upload() {
        m_ui.setStep("save");
        QString error;
        if (m_o.output == "-") {
            const QByteArray bytes = m_session.configBytes(&error);
            if (bytes.isEmpty()) co_return void(end(ExitBadInput, "cannot make the file: " + error));
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
            std::fflush(stdout);
        } else if (!m_o.output.isEmpty()) {
            const bool saved = co_await m_session.saveFile(m_o.output, &error);
            if (!saved) co_return void(end(ExitBadInput, "cannot save: " + error));
        }
        const bool kept = co_await record("upload");
        if (!kept) co_return void(end(ExitBadInput, m_recordFailure));
        m_r.file = m_o.output.isEmpty() ? m_r.records.value(0) : m_o.output == "-" ? "(standard output)" : m_o.output;
        end(ExitDone, "saved " + m_r.file);
    }

    // What a download interrupted or broken off left in the unit: the channels it wrote.
    QString partly(const SentValues &sent) const {
        QSet<QString> written;
        bool module = false;
        for (const SentValue &v : sent)
            if (v.answered) {
                if (v.setting.channel.isEmpty()) module = true;
                else written.insert(v.setting.channel);
            }
        if (written.isEmpty() && !module) return QStringLiteral("nothing was written");
        QStringList done, left;
        for (int k = 0; k < g.ChCount; ++k) {
            const QString ch = QStringLiteral("CH %1").arg(k);
            (written.contains(ch) ? done : left) << ch;
        }
        if (done.isEmpty() || left.isEmpty()) return QStringLiteral("the unit is partly written, download again");
        return QStringLiteral("%1 written, %2 not; the unit is partly written, download again").arg(listed(done), listed(left));
    }

    co::Task<> download() {
        using End = Session::DownloadResult::End;
        m_ui.setStep("download");
        // With the network settings, both pages are written before the one read-back reads either.
        Session::DownloadResult d;
        if (m_o.network) d = co_await m_session.downloadPages(true, true);
        else d = co_await m_session.commandDownload();
        m_sent = d.sent;
        const Verification &v = d.verification;
        bool readBack = d.readBack.complete();
        switch (d.end) {
        case End::Verified: end(ExitDone, QStringLiteral("verified (%1 values)").arg(v.values)); break;
        case End::NothingToVerify: end(ExitDone, QStringLiteral("written (nothing to verify)")); break;
        case End::Differs:
            m_r.differences = v.differences;
            end(ExitDiffers, differencesText(v.differences.size()));
            break;
        case End::NotVerified:
            if (d.readBack.kind == Outcome::Kind::NeedsInit)
                end(ExitNoUnit, QStringLiteral("unit needs initialization"));
            else if (!d.write.complete())
                end(ExitNoUnit, QStringLiteral("not verified: the download did not complete (%1); %2")
                                    .arg(d.write.where(), partly(d.sent)));
            else
                end(ExitNoUnit,
                    QStringLiteral("not verified: the unit could not be read back completely (%1)").arg(v.why()));
            break;
        case End::OtherModel:
            end(ExitDiffers, QStringLiteral("written, not verified (the unit is a %1)").arg(d.detail));
            break;
        case End::RangeRefused: end(ExitDiffers, "refused: " + d.detail + "; nothing was written"); break;
        case End::StartRefused:
            end(ExitDiffers, QStringLiteral("refused: the unit did not accept the start of the download; nothing was written"));
            break;
        case End::Silent: noUnit(); break;
        case End::NoPage: end(ExitBadInput, QStringLiteral("this unit has no page to download")); break;
        case End::Cancelled:
            readBack = false;
            if (!m_interrupted) noUnit();
            break;
        }
        co_await recordAfter(readBack);
    }

    void interrupted() {
        const bool wrote = m_o.command == "download" && !m_o.dryRun && !m_sent.isEmpty();
        end(ExitSignalBase + m_interrupted, "interrupted: " + (wrote ? partly(m_sent) : QStringLiteral("nothing was written")));
    }

    co::Task<> compare() {
        m_ui.setStep("compare");
        const Session::Comparison cmp = co_await m_session.compareWithUnit();
        if (!cmp.refusal.isEmpty()) co_return void(end(ExitBadInput, "other model: " + cmp.refusal));
        if (m_interrupted) co_return;
        if (!cmp.read) {
            if (cmp.outcome.kind == Outcome::Kind::NeedsInit)
                co_return void(end(ExitNoUnit, QStringLiteral("unit needs initialization")));
            if (cmp.outcome.kind == Outcome::Kind::Incomplete && g.Connected)
                co_return void(end(ExitNoUnit, QStringLiteral("The unit could not be read completely (%1): nothing was "
                                                           "compared.")
                                                .arg(cmp.outcome.where())));
            co_return noUnit();
        }
        m_r.differences = cmp.rows;
        end(cmp.rows.isEmpty() ? ExitDone : ExitDiffers,
            cmp.rows.isEmpty() ? QStringLiteral("no differences (%1 values)").arg(cmp.values)
                               : differencesText(cmp.rows.size()));
    }

    co::Task<> monitor() {
        m_ui.setStep("monitor");
        Page *p = m_pages.page(g.ActivePage);
        if (!p) co_return void(end(ExitBadInput, "this unit has no page to monitor"));
        QMap<int, double> values;
        QObject::connect(p, &Page::liveValue, p, [&values](int ch, double v) { values[ch] = v; });
        QFile csv(m_o.csv);
        QTextStream csvOut(&csv);
        if (!m_o.csv.isEmpty() && !csv.open(QIODevice::WriteOnly | QIODevice::Text))
            co_return void(end(ExitBadInput, QStringLiteral("cannot write %1: %2").arg(m_o.csv, csv.errorString())));
        QTextStream out(stdout);
        int passes = 0;
        QElapsedTimer since;
        since.start();
        QObject::connect(&m_session, &Session::passDone, &m_session, [&] {
            const double seconds = double(since.elapsed()) / 1000.0;
            if (m_events.row) m_events.row(seconds, values);
            QStringList row{QString::number(seconds, 'f', 3)};
            for (auto it = values.cbegin(); it != values.cend(); ++it) row << QString::number(it.value(), 'g', 10);
            if (passes == 0 && csv.isOpen()) {
                QStringList head{"seconds"};
                for (auto it = values.cbegin(); it != values.cend(); ++it) head << QStringLiteral("CH %1").arg(it.key());
                csvOut << head.join(',') << '\n';
            }
            ++passes;
            if (csv.isOpen()) csvOut << row.join(',') << '\n';
            if (!m_o.json && !m_o.worker) out << m_o.port << ' ' << row.join(' ') << Qt::endl;
            else if (m_o.json && !m_o.worker) out << RowJson(m_o.port, seconds, values) << Qt::endl;
            values.clear();
        });
        QTimer::singleShot(m_o.seconds * 1000, &m_session, [this] { m_session.commandStop(); });
        co_await m_session.commandStart();
        if (m_interrupted) co_return;
        if (!g.Connected) co_return noUnit();
        end(ExitDone, QStringLiteral("%1 passes").arg(passes));
    }

public:
    static QString RowJson(const QString &port, double seconds, const QMap<int, double> &values) {
        QJsonObject v;
        for (auto it = values.cbegin(); it != values.cend(); ++it) v.insert(QStringLiteral("CH %1").arg(it.key()), it.value());
        return QString::fromUtf8(
            QJsonDocument(QJsonObject{{"port", port}, {"seconds", seconds}, {"values", v}}).toJson(QJsonDocument::Compact));
    }

private:
    CliOptions m_o;
    QByteArray m_bytes;
    UnitEvents m_events;
    TextUi m_ui;
    Session m_session;
    PageStore m_pages;
    UnitResult m_r;
    QElapsedTimer m_clock;
    QDateTime m_when;
    std::unique_ptr<LoadedConfig> m_loaded;
    SentValues m_sent;
    QString m_recordFailure;
    int m_interrupted = 0;
    int m_logFd = -1;
    bool m_com = false;
};
} // namespace

co::Task<UnitResult> RunUnit(CliOptions options, QByteArray fileBytes, UnitEvents events) {
    UnitRunner r(options, fileBytes, events);
    co_return co_await r.run();
}

void InterruptUnit(int signal) {
    if (running) running->interrupt(signal);
}
