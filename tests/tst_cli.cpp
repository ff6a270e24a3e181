// vireo-cli against k5sim on pseudo-terminals: the same files, lines and checks as the window's,
// and exit codes a script can trust, for one unit and for several at once.
#include "app/frmVireo.h"
#include "core/Globals.h"
#include "core/Session.h"
#include "pages/Page.h"
#include "pages/Widgets.h"
#include "tests/TestKit.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {
struct Run {
    int exit = -1;
    QString out, err;
    QList<QJsonObject> results; // --json
    double seconds = 0;
};

Run cli(const QStringList &args) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(BuildFile("vireo-cli"), args);
    p.waitForFinished(60000);
    Run r;
    r.seconds = double(t.elapsed()) / 1000.0;
    r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    for (const QString &line : r.out.split('\n'))
        if (const QJsonDocument d = QJsonDocument::fromJson(line.toUtf8()); d.isObject()) r.results << d.object();
    return r;
}

// The window's file of a unit after an Upload, with `edit` (control=text) made on its page.
QByteArray windowFile(const QString &model, const QString &path, const QString &edit = {},
                      QStringList *connectLines = nullptr, QStringList *downloadLines = nullptr) {
    AppRig r(StillUnit(model));
    r.connectViaSetting();
    if (connectLines) *connectLines = r.lines();
    if (!edit.isEmpty()) Control<QLineEdit>(r.page(g.modelnum), edit.section('=', 0, 0))->setText(edit.section('=', 1));
    r.ui.onSaveFile(path);
    r.press("mnuFilesSave");
    if (downloadLines) {
        r.clearLines();
        r.press("btnDownload");
        *downloadLines = r.lines();
    }
    return ReadBytes(path);
}

// A line of the file with one field changed (line and field from 0).
QByteArray withField(const QByteArray &file, int line, int field, const QByteArray &value) {
    QList<QByteArray> lines = file.split('\n');
    QList<QByteArray> fields = lines[line].trimmed().split(',');
    fields[field] = value;
    lines[line] = fields.join(',') + '\r';
    return lines.join('\n');
}
} // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    // What a script reads is what happened: exit codes, result lines and what reached the unit,
    // for the arguments, the files and the units a commissioning engineer meets. {P0}, {P1}: the
    // units' ports; {F}: the unit's own file; {Z}: with CH 0 Zero scale -150; {N}: with the
    // network time-out 45; {BAD}: with -40000; {K}: a relay input unit's file; {D}: a folder.
    void scriptsCanTrustTheResult_data() {
        QTest::addColumn<QStringList>("units"); // k5sim's arguments, one unit each
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input"); // standard input
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out");  // in standard output
        QTest::addColumn<QString>("err");  // in standard error
        QTest::addColumn<QString>("sent"); // a line the first unit received; "nothing": none at all
        const QStringList qb4 = {""};
        QTest::newRow("a read-back that does not read a value sent")
            << QStringList{"--fault delay:14:3:0 --fault cnu:14:1"} << QStringList{"download", "-p{P0}", "{Z}"}
            << QByteArray() << 2
            << "not verified: the unit could not be read back completely (Output Hold/Clear not read back)" << ""
            << "D-150";
        QTest::newRow("--network writes the file's network settings")
            << qb4 << QStringList{"download", "--port={P0}", "--network", "{N}"} << QByteArray() << 0
            << "verified (30 values)" << "" << "D45";
        QTest::newRow("--network kept by the unit") << QStringList{"--fault keep:00:51"}
                                                    << QStringList{"download", "-p", "{P0}", "--network", "{N}"}
                                                    << QByteArray() << 1
                                                    << "Network time-out (x 0.1 sec): written 45, the unit holds 30"
                                                    << "" << "D45";
        QTest::newRow("a unit with nothing to read back") << QStringList{"--model K5A-KI8R"}
                                                          << QStringList{"download", "-p{P0}", "{K}"} << QByteArray()
                                                          << 0 << "written (nothing to verify)" << "" << "DF";
        QTest::newRow("compare says what the file holds") << qb4 << QStringList{"compare", "-p{P0}", "{Z}"}
                                                          << QByteArray() << 1
                                                          << "CH 0 Zero scale: in the file -150, the unit holds 0"
                                                          << "" << "";
        QTest::newRow("compact short options, two units")
            << QStringList{"", ""} << QStringList{"identify", "-p{P0}", "-p{P1}"} << QByteArray() << 0
            << "2 of 2 units done; exit 0" << "" << "I02";
        QTest::newRow("an empty port opens nothing") << qb4 << QStringList{"download", "--port", "", "{F}"}
                                                     << QByteArray() << 3 << "" << "--port is empty" << "nothing";
        QTest::newRow("the same port twice") << qb4 << QStringList{"identify", "-p{P0}", "--port={P0}"}
                                             << QByteArray() << 3 << "" << "is named twice" << "nothing";
        QTest::newRow("an option of another command") << qb4 << QStringList{"download", "-p{P0}", "--csv", "x", "{F}"}
                                                      << QByteArray() << 3 << "" << "--csv does not apply to download"
                                                      << "nothing";
        QTest::newRow("compare takes no --force") << qb4 << QStringList{"compare", "-p{P0}", "--force", "{F}"}
                                                  << QByteArray() << 3 << "" << "--force does not apply to compare"
                                                  << "nothing";
        QTest::newRow("a record folder that cannot be") << qb4
                                                        << QStringList{"download", "-p{P0}", "--record", "{F}/rec", "{F}"}
                                                        << QByteArray() << 3 << "" << "the record folder" << "nothing";
        QTest::newRow("a range refusal names the value")
            << qb4 << QStringList{"download", "-p{P0}", "{BAD}"} << QByteArray() << 1
            << "refused: CH 0 Zero scale -40000 is outside -32000 to 32000; nothing was written" << "" << "!D-40000";
        QTest::newRow("the file from standard input") << qb4 << QStringList{"download", "-p{P0}", "-"}
                                                      << QByteArray("{Z}") << 0 << "verified (29 values)" << "" << "D-150";
        QTest::newRow("the file to standard output") << qb4 << QStringList{"upload", "-p{P0}", "-o", "-"}
                                                     << QByteArray() << 0 << "\"K5A-QB4\",0,\"Version : 1.02\",4,0"
                                                     << "upload: saved (standard output)" << "";
        QTest::newRow("a unit that needs initialising") << QStringList{"--needs-init"}
                                                        << QStringList{"download", "-p{P0}", "{F}"} << QByteArray() << 2
                                                        << "unit needs initialization" << "" << "I03";
        QTest::newRow("-v shows the wire") << qb4 << QStringList{"identify", "-p{P0}", "-v"} << QByteArray() << 0
                                           << "" << "  TX              I02<CR>" << "I02";
    }
    void scriptsCanTrustTheResult() {
        QFETCH(QStringList, units);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exit);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, sent);
        QTemporaryDir dir;
        const QByteArray file = windowFile("K5A-QB4", dir.filePath("f.uJx"));
        QMap<QString, QByteArray> files{{"{F}", file},
                                        {"{Z}", withField(file, 3, 0, "\"-150\"")},
                                        {"{N}", withField(file, 7, 0, "45")},
                                        {"{BAD}", withField(file, 3, 0, "\"-40000\"")}};
        if (args.join(' ').contains("{K}")) files.insert("{K}", windowFile("K5A-KI8R", dir.filePath("k.uJx")));
        QProcess sims[2];
        QMap<QString, QString> names{{"{D}", dir.path()}};
        for (int i = 0; i < units.size(); ++i) {
            QStringList a = units[i].split(' ', Qt::SkipEmptyParts);
            if (!a.contains("--model")) a << "--model" << "K5A-QB4";
            names.insert(QStringLiteral("{P%1}").arg(i), StartK5sim(sims[i], a + QStringList{"--ext", "NONE"}));
        }
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = dir.filePath(QString(it.key()).remove('{').remove('}') + ".uJx");
            QVERIFY(WriteBytes(path, it.value()));
            names.insert(it.key(), path);
        }
        for (QString &a : args)
            for (auto it = names.cbegin(); it != names.cend(); ++it) a.replace(it.key(), it.value());
        QProcess p;
        p.start(BuildFile("vireo-cli"), args + QStringList{"--quiet"});
        p.write(files.value(QString::fromLatin1(input)));
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        const QString o = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QString e = QString::fromLocal8Bit(p.readAllStandardError());
        QCOMPARE(p.exitCode(), exit);
        QVERIFY2(o.contains(out), qPrintable(o + e));
        QVERIFY2(e.contains(err), qPrintable(e));
        const QStringList lines = K5simLines(sims[0]);
        if (sent == "nothing") QVERIFY2(lines.isEmpty(), qPrintable(lines.join(' ')));
        else if (sent.startsWith('!')) QVERIFY2(!lines.contains(sent.mid(1)), qPrintable(lines.join(' ')));
        else if (!sent.isEmpty()) QVERIFY2(lines.contains(sent), qPrintable(lines.join(' ')));
    }

    // One kind of each family: the uploaded file is the window's, byte for byte.
    void uploadSavesTheWindowsFile_data() {
        QTest::addColumn<QString>("model");
        for (const char *m : {"K5A-QK4", "K5A-KI16", "K5A-NX8", "K5A-NX2"}) QTest::newRow(m) << m;
    }
    void uploadSavesTheWindowsFile() {
        QFETCH(QString, model);
        QTemporaryDir dir;
        const QByteArray window = windowFile(model, dir.filePath("window.uJx"));
        QProcess sim;
        const QString dev = StartK5sim(sim, {"--model", model, "--ext", "NONE"});
        const Run r = cli({"upload", "--port", dev, "-o", dir.filePath("cli.uJx"), "--quiet"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(ReadBytes(dir.filePath("cli.uJx")), window);
    }

    // A download sends the window's lines, and reports a kept value as its difference (exit 1).
    void downloadSendsTheWindowsLines() {
        QTemporaryDir dir;
        QStringList connect, download;
        windowFile("K5A-QB4", dir.filePath("f.uJx"), "txtZScale(1)=-60", &connect, &download);
        QProcess sim;
        Run r = cli({"download", "--port", StartK5sim(sim, {"--ext", "NONE"}), dir.filePath("f.uJx"), "--json"});
        QCOMPARE(r.exit, 0);
        QCOMPARE(K5simLines(sim), connect + download);
        QCOMPARE(r.results.value(0).value("result").toString(), QString("verified (29 values)"));

        QProcess keeping;
        r = cli({"download", "--port", StartK5sim(keeping, {"--ext", "NONE", "--fault", "keep:2:20"}),
                 dir.filePath("f.uJx"), "--json"});
        QCOMPARE(r.exit, 1);
        QCOMPARE(r.results.value(0).value("differences").toArray(),
                 QJsonArray({QJsonObject{{"caption", "Zero scale"}, {"channel", "CH 1"}, {"page", "-60"}, {"unit", "0"}}}));
    }

    // A file of another model is refused (exit 3) and written with --force, which cannot then
    // be verified (exit 1); a file that does not read is refused before the unit is touched.
    void filesTheUnitDoesNotTake() {
        QTemporaryDir dir;
        windowFile("K5A-QK4", dir.filePath("qk.uJx"));
        QProcess sim;
        const QString dev = StartK5sim(sim, {"--ext", "NONE"});
        Run r = cli({"download", "--port", dev, dir.filePath("qk.uJx"), "--quiet"});
        QCOMPARE(r.exit, 3);
        QVERIFY2(r.out.contains("other model: the file is for K5A-QK4, the unit is a K5A-QB4"), qPrintable(r.out));
        const qsizetype connectOnly = K5simLines(sim).size();
        r = cli({"download", "--port", dev, dir.filePath("qk.uJx"), "--quiet", "--force"});
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.out.contains("written, not verified (the unit is a K5A-QB4)"), qPrintable(r.out));
        QVERIFY(K5simLines(sim).mid(2 * connectOnly).contains("I04")); // the temperature unit's item
        QVERIFY(WriteBytes(dir.filePath("bad.uJx"), "\"K5A-QB4\",0,\"Version : 1.02\",4,0\r\n7,"));
        const qsizetype before = K5simLines(sim).size();
        r = cli({"download", "--port", dev, dir.filePath("bad.uJx"), "--quiet"});
        QCOMPARE(r.exit, 3);
        QCOMPARE(K5simLines(sim).size(), before);
    }

    // Several units monitored: every row with its port, on the screen and in one CSV file.
    void monitorSeveralUnits() {
        QTemporaryDir dir;
        QProcess sims[2];
        QStringList args = {"monitor", "--seconds", "1", "--csv", dir.filePath("m.csv"), "--quiet"};
        QStringList ports;
        for (QProcess &sim : sims) ports << StartK5sim(sim, {"--ext", "NONE"});
        for (const QString &port : ports) args << "-p" << port;
        const Run r = cli(args);
        QCOMPARE(r.exit, 0);
        const QList<QByteArray> csv = ReadBytes(dir.filePath("m.csv")).trimmed().split('\n');
        QCOMPARE(csv.value(0), QByteArray("port,seconds,CH 0,CH 1,CH 2,CH 3"));
        for (const QString &port : ports) {
            QVERIFY2(r.out.contains(QRegularExpression("(^|\n)" + QRegularExpression::escape(port) + " 0\\.\\d+ 5000 ")),
                     qPrintable(r.out));
            QVERIFY(std::any_of(csv.begin() + 1, csv.end(), [&](const QByteArray &l) { return l.startsWith(port.toUtf8() + ','); }));
        }
        for (const QByteArray &l : csv) QCOMPARE(l.count(','), 5);
    }

    // A signal stops every unit at a line boundary: each says what it holds, leaves its record
    // line, and the status is 128 and the signal. Units at 9600 baud, so it lands mid-download.
    void signalsStopAtALineBoundary_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("signal");
        QTest::newRow("one unit, Ctrl-C") << 1 << int(SIGINT);
        QTest::newRow("four units, terminated") << 4 << int(SIGTERM);
    }
    void signalsStopAtALineBoundary() {
        QFETCH(int, units);
        QFETCH(int, signal);
        QTemporaryDir dir;
        windowFile("K5A-QB4", dir.filePath("f.uJx"));
        QProcess sims[4];
        QStringList args = {"download", dir.filePath("f.uJx"), "--json", "--quiet", "--record", dir.filePath("rec")};
        for (int i = 0; i < units; ++i) args << "-p" << StartK5sim(sims[i], {"--ext", "NONE", "--baud", "9600"});
        QProcess p;
        p.start(BuildFile("vireo-cli"), args);
        // Into the download's second channel: its group selected a second time.
        QByteArray heard;
        QTRY_VERIFY_WITH_TIMEOUT((heard += sims[0].readAllStandardError()).count("<- G2\n") >= 2, 20000);
        QElapsedTimer t;
        t.start();
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(20000));
        qInfo("from the signal to the end: %lld ms", t.elapsed());
        QCOMPARE(p.exitCode(), 128 + signal);
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        // Each unit at its own line: CH 0 written, CH 1 maybe (written in part counts), CH 3 not.
        QCOMPARE(out.count(QRegularExpression("\"result\":\"interrupted: CH 0[^\"]* written, [^\"]*CH 3 not; the unit is "
                                              "partly written, download again\"")),
                 units);
        const QList<QByteArray> records = ReadBytes(dir.filePath("rec/records.csv")).trimmed().split('\n');
        QCOMPARE(records.size(), 1 + units);
        for (const QByteArray &l : records.mid(1)) QVERIFY2(l.contains(",\"interrupted: CH 0"), l.constData());
    }

    // Four units at once, one silent: three verified, one that never answered, exit 2, in about
    // the connection check's retry time.
    void fourUnitsAtOnce() {
        QTemporaryDir dir;
        windowFile("K5A-QB4", dir.filePath("f.uJx"), "txtBias(3)=1.5");
        QProcess sims[4];
        QStringList args = {"download", dir.filePath("f.uJx"), "--json", "--record", dir.filePath("rec")};
        for (int i = 0; i < 4; ++i) {
            QStringList sa = {"--ext", "NONE"};
            if (i == 2) sa << "--fault" << "silence";
            args << "--port" << StartK5sim(sims[i], sa);
        }
        const Run r = cli(args);
        QCOMPARE(r.exit, 2);
        QCOMPARE(r.results.size(), 4);
        QList<int> exits;
        for (const QJsonObject &o : r.results) exits << o.value("exit").toInt();
        std::sort(exits.begin(), exits.end());
        QCOMPARE(exits, QList<int>({0, 0, 0, 2}));
        QVERIFY2(r.seconds < 15, qPrintable(QString::number(r.seconds)));
        const QList<QByteArray> records = ReadBytes(dir.filePath("rec/records.csv")).split('\n');
        QCOMPARE(records.size(), 6); // the head, four units, the last line's end
        QCOMPARE(QDir(dir.filePath("rec")).entryList({"*.uJx"}).size(), 6); // before and after, three units
    }
};

QTEST_MAIN(CliTest)
#include "tst_cli.moc"
