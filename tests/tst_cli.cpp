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
} // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
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
