#include "cli/UnitRun.h"
#include "cli/TextUi.h"
#include "config/PageStore.h"
#include "core/Globals.h"
#include "core/Identify.h"
#include "core/Session.h"
#include "link/Link.h"
#include "link/PortMap.h"
#include "link/TextRoutines.h"
#include "pages/PageRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QLockFile>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

QJsonObject UnitResult::toJson() const {
    QJsonArray d;
    for (const Difference &x : differences)
        d.append(QJsonObject{{"caption", x.caption}, {"channel", x.channel}, {"page", x.page}, {"unit", x.unit}});
    QJsonObject o{{"port", port},       {"device", device}, {"model", model},   {"version", version},
                  {"command", command}, {"result", result}, {"differences", d}, {"seconds", seconds},
                  {"exit", exit}};
    if (!details.isEmpty()) o.insert("unit", details);
    if (!file.isEmpty()) o.insert("file", file);
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
    for (const QJsonValue &v : o.value("differences").toArray()) {
        const QJsonObject x = v.toObject();
        r.differences.append({x.value("caption").toString(), x.value("channel").toString(),
                              x.value("page").toString(), x.value("unit").toString()});
    }
    return r;
}

QString UnitResult::line() const {
    QString s = QStringLiteral("%1 (%2) %3 %4 %5: %6, %7 s")
                    .arg(port, device.isEmpty() ? QStringLiteral("-") : device,
                         model.isEmpty() ? QStringLiteral("-") : model, version.isEmpty() ? QStringLiteral("-") : version,
                         command, result)
                    .arg(seconds, 0, 'f', 1);
    if (!differences.isEmpty()) s += "\n  " + DescribeDifferences(differences, command == "compare" ? "in the file" : "written").replace("\r\n", "\n  ");
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

QString csvField(const QString &s) {
    QString q = s;
    return '"' + q.replace('"', "\"\"") + '"';
}

class Runner {
public:
    Runner(const CliOptions &o) : m_o(o), m_ui(o.port, o.quiet || o.json, o.ext) {
        m_r.port = o.port;
        m_r.command = o.command;
        m_clock.start();
        m_when = QDateTime::currentDateTime();
    }

    UnitResult run() {
        setUi(&m_ui);
        m_session.setPages(&m_pages);
        m_session.load();
        body();
        // Every upload and download leaves its line in the record, whatever became of it.
        if (m_o.command == "upload" || m_o.command == "download") recordLine();
        if (m_session.link().isOpen()) m_session.commandDisconnect();
        setUi(nullptr);
        m_r.seconds = double(m_clock.elapsed()) / 1000.0;
        return m_r;
    }

private:
    UnitResult &end(int exit, const QString &result) {
        m_r.exit = exit;
        m_r.result = result;
        return m_r;
    }

    // What a lost or silent unit leaves: "no unit", or "lost line" once it had answered.
    void noUnit() {
        end(ExitNoUnit, m_session.link().answers() > 0 ? QStringLiteral("lost line") : QStringLiteral("no unit"));
        for (const TextUi::Message &m : m_ui.messages)
            if (m.title.trimmed() == "Connection" && m.text.startsWith("Connection Error\r\n"))
                m_r.result = "no unit: " + m.text.mid(18);
    }

    void openPort() {
        static const QRegularExpression com(QStringLiteral("^COM([1-8])$"), QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = com.match(m_o.port);
        int k = 1;
        if (m.hasMatch()) {
            k = m.captured(1).toInt();
        } else {
            PortMap::choose(1, m_o.port);
        }
        g.ComPortNo = k;
        m_r.device = PortMap::deviceFor(k);
    }

    bool readFile(QByteArray &bytes) {
        QFile f(m_o.file);
        if (!f.open(QIODevice::ReadOnly)) {
            end(ExitBadInput, QStringLiteral("bad file: %1: %2").arg(m_o.file, f.errorString()));
            return false;
        }
        bytes = f.read(1 << 20);
        QString error;
        m_loaded = m_pages.readConfig(bytes, &error);
        if (!m_loaded) {
            end(ExitBadInput, "bad file: " + error);
            return false;
        }
        m_r.file = m_o.file;
        return true;
    }

    bool connectUnit(bool pagesToo) {
        m_ui.setStep("connect");
        QObject::connect(&m_session, &Session::modelChanged, &m_session, [this] {
            m_r.model = g.UnitModel;
        });
        openPort();
        bool ok;
        if (pagesToo) {
            m_session.commandConnect();
            ok = g.Connected && m_session.link().isOpen();
        } else {
            ok = m_session.checkConnection() && m_session.identifyOnly();
        }
        m_r.model = g.IdentifiedModel;
        m_r.version = AfterColon(g.VersionText).trimmed();
        if (m_ui.extensionUnanswered && pagesToo) {
            end(ExitBadInput, QStringLiteral("the unit has an extension module (%1): say which with --ext 16 or --ext 8")
                                  .arg(g.ExtName.isEmpty() ? QStringLiteral("DI or DO") : g.ExtName));
            return false;
        }
        if (!ok) noUnit();
        return ok;
    }

    // The configuration on the pages now, into the record folder.
    QString record(const QString &what) {
        if (m_o.recordDir.isEmpty()) return {};
        QDir().mkpath(m_o.recordDir);
        const QString path =
            QDir(m_o.recordDir).filePath(recordName(g.UnitModel, m_o.port, m_when) + "_" + what + ".uJx");
        return m_session.saveFile(path) ? path : QString();
    }

    void recordLine() {
        if (m_o.recordDir.isEmpty()) return;
        // Several units at once append to one file: one at a time, so that one head is written.
        QLockFile lock(QDir(m_o.recordDir).filePath("records.csv.lock"));
        lock.lock();
        QFile f(QDir(m_o.recordDir).filePath("records.csv"));
        if (!f.open(QIODevice::Append | QIODevice::Text)) return;
        const bool fresh = f.size() == 0;
        QTextStream out(&f);
        if (fresh) out << "time,port,device,model,version,file,result,differences\n";
        out << m_when.toString(Qt::ISODate) << ',' << csvField(m_r.port) << ',' << csvField(m_r.device) << ','
            << csvField(m_r.model) << ',' << csvField(m_r.version) << ',' << csvField(m_r.file) << ','
            << csvField(m_r.result) << ',' << csvField(DescribeDifferences(m_r.differences).replace("\r\n", "; "))
            << '\n';
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

    void body() {
        const QString c = m_o.command;
        QByteArray bytes;
        if ((c == "download" || c == "compare") && !readFile(bytes)) return;
        if (c == "upload" && m_o.output.isEmpty() && m_o.recordDir.isEmpty())
            return void(end(ExitBadInput, "usage: upload needs -o FILE (or --record DIR)"));
        // The extension question, unanswered, ends the session where the window would ask, before
        // the page is read; identify only reports the kind.
        if (c != "identify") m_ui.onExtensionUnanswered = [this] { m_session.commandExit(); };
        if (!connectUnit(c != "identify")) return;
        if (c == "identify") return identify();
        if (c == "upload") return upload();
        if (c == "monitor") return monitor();
        if (!sameModel()) return;
        m_ui.answerYes(true); // the model was decided above
        const QString before = c == "download" ? record("before") : QString();
        Q_UNUSED(before);
        m_ui.setStep("load");
        if (!m_session.loadConfig(bytes)) return void(end(ExitBadInput, "bad file: " + m_ui.messages.value(0).text));
        if (c == "compare" || m_o.dryRun) return compare();
        download();
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

    void upload() {
        m_ui.setStep("save");
        if (!m_o.output.isEmpty() && !m_session.saveFile(m_o.output))
            return void(end(ExitBadInput, "cannot save: " + m_ui.messages.value(m_ui.messages.size() - 1).text));
        const QString kept = record("upload");
        m_r.file = m_o.output.isEmpty() ? kept : m_o.output;
        end(ExitDone, "saved " + m_r.file);
    }

    void download() {
        using End = Session::DownloadResult::End;
        m_ui.setStep("download");
        // With the network settings, both pages are written before the one read-back reads either.
        const Session::DownloadResult d = m_o.network ? m_session.downloadPages(true, true) : m_session.commandDownload();
        const Verification &v = d.verification;
        switch (d.end) {
        case End::Verified: end(ExitDone, QStringLiteral("verified (%1 values)").arg(v.values)); break;
        case End::NothingToVerify: end(ExitDone, QStringLiteral("written (nothing to verify)")); break;
        case End::Differs:
            m_r.differences = v.differences;
            end(ExitDiffers, differencesText(v.differences.size()));
            break;
        case End::NotVerified:
            if (d.readBack.kind == Outcome::Kind::NeedsInit) {
                end(ExitNoUnit, QStringLiteral("unit needs initialization"));
            } else if (!d.write.complete()) {
                end(ExitNoUnit, QStringLiteral("not verified: the download did not complete (%1); the unit is partly "
                                               "written, download again")
                                    .arg(d.write.where()));
            } else {
                end(ExitNoUnit, QStringLiteral("not verified: the unit could not be read back completely (%1)").arg(v.why()));
            }
            break;
        case End::OtherModel:
            end(ExitDiffers, QStringLiteral("written, not verified (the unit is a %1)").arg(d.detail));
            break;
        case End::RangeRefused: end(ExitDiffers, "refused: " + QString(d.detail).replace("\r\n", " ").simplified()); break;
        case End::StartRefused:
            end(ExitDiffers, QStringLiteral("refused: the unit did not accept the start of the download; nothing was written"));
            break;
        case End::Silent: noUnit(); break;
        case End::NoPage: end(ExitBadInput, QStringLiteral("this unit has no page to download")); break;
        case End::Cancelled: noUnit(); break;
        }
        if (g.Connected) record("after");
    }

    void compare() {
        m_ui.setStep("compare");
        const Session::Comparison cmp = m_session.compareWithUnit();
        if (!cmp.refusal.isEmpty()) return void(end(ExitBadInput, "other model: " + cmp.refusal));
        if (!cmp.read) {
            if (cmp.outcome.kind == Outcome::Kind::Incomplete && g.Connected)
                return void(end(ExitNoUnit, QStringLiteral("The unit could not be read completely (%1): nothing was "
                                                           "compared.")
                                                .arg(cmp.outcome.where())));
            return noUnit();
        }
        m_r.differences = cmp.rows;
        end(cmp.rows.isEmpty() ? ExitDone : ExitDiffers,
            cmp.rows.isEmpty() ? QStringLiteral("no differences (%1 values)").arg(cmp.values)
                               : differencesText(cmp.rows.size()));
    }

    void monitor() {
        m_ui.setStep("monitor");
        Page *p = m_pages.page(g.ActivePage);
        if (!p) return void(end(ExitBadInput, "this unit has no page to monitor"));
        QMap<int, double> values;
        QObject::connect(p, &Page::liveValue, p, [&values](int ch, double v) { values[ch] = v; });
        QFile csv(m_o.csv);
        QTextStream csvOut(&csv);
        if (!m_o.csv.isEmpty() && !csv.open(QIODevice::WriteOnly | QIODevice::Text))
            return void(end(ExitBadInput, QStringLiteral("cannot write %1: %2").arg(m_o.csv, csv.errorString())));
        QTextStream out(stdout);
        int passes = 0;
        QElapsedTimer since;
        since.start();
        QObject::connect(&m_session, &Session::passDone, &m_session, [&] {
            QStringList row{QString::number(double(since.elapsed()) / 1000.0, 'f', 3)};
            for (auto it = values.cbegin(); it != values.cend(); ++it) row << QString::number(it.value(), 'g', 10);
            if (passes == 0 && csv.isOpen()) {
                QStringList head{"seconds"};
                for (auto it = values.cbegin(); it != values.cend(); ++it) head << QStringLiteral("CH %1").arg(it.key());
                csvOut << head.join(',') << '\n';
            }
            ++passes;
            if (csv.isOpen()) csvOut << row.join(',') << '\n';
            if (!m_o.json) out << m_o.port << ' ' << row.join(' ') << Qt::endl;
            values.clear();
        });
        QTimer::singleShot(m_o.seconds * 1000, &m_session, [this] { m_session.commandStop(); });
        m_session.commandStart();
        if (!g.Connected) return noUnit();
        end(ExitDone, QStringLiteral("%1 passes").arg(passes));
    }

    CliOptions m_o;
    TextUi m_ui;
    Session m_session;
    PageStore m_pages;
    UnitResult m_r;
    QElapsedTimer m_clock;
    QDateTime m_when;
    std::unique_ptr<LoadedConfig> m_loaded;
};
} // namespace

UnitResult RunUnit(const CliOptions &options) { return Runner(options).run(); }
