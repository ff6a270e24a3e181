// The engineer's tools: communication log, trend, and what the main window shows of them.
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "link/Link.h"
#include "link/PortInfo.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "app/Dialogs.h"
#include "pages/Page.h"
#include "tests/TestKit.h"
#include "tools/CommLog.h"
#include "tools/TrendWindow.h"
#include "tools/frmAbout.h"

#include <QChart>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QComboBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include "pages/Widgets.h"
#include <QtTest>
#include <cmath>

namespace {
sim::UnitConfig still(const QString &ext = "DI") {
    sim::UnitConfig c;
    c.ext = ext;
    c.animate = false;
    return c;
}

QList<CommLog::Kind> kinds(const QList<CommLog::Entry> &es) {
    QList<CommLog::Kind> k;
    for (const auto &e : es)
        k.append(e.kind);
    return k;
}

// The entries' text after the time stamp, blanks collapsed ("RX 12.3 ms COK<CR>").
QStringList bodies(const QList<CommLog::Entry> &es) {
    QStringList l;
    for (const auto &e : es)
        l.append(CommLog::format(e).mid(14).simplified());
    return l;
}

// A log listening to a link as it would when opened from the View menu.
struct OpenLog {
    explicit OpenLog(Link &link) {
        log.setLink(&link);
        log.setVisible(true);
    }
    CommLog log;
};

// A clock the test moves by hand.
struct FakeClock {
    qint64 now = QDateTime(QDate(2024, 5, 6), QTime(8, 0)).toMSecsSinceEpoch();
    std::function<qint64()> fn() {
        return [this] { return now; };
    }
};

} // namespace

class ToolsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { InitGlobals(); }

    // ---- communication log

    void uploadLogsEveryLineInOrder() {
        AppRig r(still());
        r.connectViaSetting();
        r.press("mnuViewLog");
        CommLog *log = r.find<CommLog>("dockCommLog");
        QVERIFY(r.find<QAction>("mnuViewLog")->isChecked());
        // It has recorded the connection already.
        QVERIFY(log->entryCount() > 0);
        Click(log->btnClear);
        r.clearLines();
        Await(r.session().commandUpload());
        log->flush();
        const QList<CommLog::Entry> es = log->entries();
        QVERIFY(!r.lines().isEmpty());
        QCOMPARE(es.size(), 2 * r.lines().size());
        QStringList sent;
        for (int i = 0; i < es.size(); ++i) {
            // Each line out is followed by its reply, with the time it took.
            QCOMPARE(es[i].kind, i % 2 == 0 ? CommLog::Kind::Sent : CommLog::Kind::Received);
            QVERIFY(es[i].bytes.endsWith('\r'));
            if (i % 2 == 0)
                sent.append(QString::fromLatin1(es[i].bytes.chopped(1)));
            else
                QVERIFY(es[i].replyUs >= 0);
        }
        QCOMPARE(sent, r.lines());
        QCOMPARE(bodies(es).value(0), QString("TX G00<CR>"));
        QVERIFY(QRegularExpression("^RX \\d+\\.\\d ms COK<CR>$").match(bodies(es).value(1)).hasMatch());
        QVERIFY(QRegularExpression("^RX \\d+\\.\\d ms =MODEL:K5A-QB4<CR>$")
                    .match(bodies(es).value(7))
                    .hasMatch());
        QCOMPARE(CommLog::format(es[0]).indexOf("G00"), CommLog::format(es[1]).indexOf("COK"));
        // The view shows exactly the entries.
        QCOMPARE(log->txtLog->toPlainText() + '\n', log->allText());
        NO_SURPRISES(r.ui);
    }

    void splitReplyIsOneLine() {
        SimRig rig(still());
        OpenLog o(rig.link());
        rig.unit().addFault({sim::FaultKind::Split, {}, "02", 1, 4});
        Await(rig.link().SendCommand("G00\r"));
        QCOMPARE(Await(rig.link().SendCommand("I02\r")), QString("=MODEL:K5A-QB4"));
        QCOMPARE(kinds(o.log.entries()),
                 QList<CommLog::Kind>({CommLog::Kind::Sent, CommLog::Kind::Received, CommLog::Kind::Sent,
                                       CommLog::Kind::Received}));
        QCOMPARE(o.log.entries()[3].bytes, QByteArray("=MODEL:K5A-QB4\r"));
    }

    void missingRepliesAndPortErrorsAreEntries() {
        SimRig rig(still(), 0, 60);
        OpenLog o(rig.link());
        rig.unit().addFault({sim::FaultKind::Silence, {}, "06", 1, 0});
        rig.unit().addFault({sim::FaultKind::NoCr, {}, "03", 1, 0});
        Await(rig.link().SendCommand("G00\r"));
        Await(rig.link().SendCommand("I06\r"));
        Await(rig.link().SendCommand("I03\r"));
        rig.device().setOpenFailure("the device does not exist.");
        rig.link().CloseComPort();
        Await(rig.link().OpenComPort(1, Link::DefaultSettings, nullptr));
        const QList<CommLog::Entry> es = o.log.entries().mid(2);
        QCOMPARE(kinds(es),
                 QList<CommLog::Kind>({CommLog::Kind::Sent, CommLog::Kind::NoReply, CommLog::Kind::Sent,
                                       CommLog::Kind::NoReply, CommLog::Kind::PortError}));
        QCOMPARE(es[1].why, Link::NoReply::TimeOut);
        QVERIFY(es[1].replyUs >= 60000);
        QVERIFY(
            QRegularExpression("^-- \\d+\\.\\d ms no reply \\(time-out\\)$").match(bodies(es)[1]).hasMatch());
        QVERIFY(!bodies(es)[1].contains("discarded"));
        // What came without its carriage return is shown, marked as discarded.
        QVERIFY2(bodies(es)[3].endsWith(", discarded =CH:4CHs"), qPrintable(bodies(es)[3]));
        QCOMPARE(bodies(es)[4], QString("!! /dev/ttyS0 cannot be opened: the device does not exist."));
        // A unit that vanishes is a port error too.
        rig.device().setOpenFailure(QString());
        Await(rig.link().OpenComPort(1, Link::DefaultSettings, nullptr));
        rig.unit().addFault({sim::FaultKind::Vanish, {}, "02", 1, 0});
        Await(rig.link().SendCommand("I02\r"));
        const QStringList tail = bodies(o.log.entries()).mid(7);
        QCOMPARE(tail.size(), 3);
        QCOMPARE(tail[1], QString("!! port lost: The device has been removed."));
        QVERIFY2(tail[2].endsWith(" ms no reply (port closed)"), qPrintable(tail[2]));
    }

    void visibleBytes() {
        QCOMPARE(CommLog::visible(QByteArray("\x07"
                                             "A b\\\r\n\x7f\xe9",
                                             9)),
                 QString("\\x07A b\\\\<CR><LF>\\x7f\\xe9"));
        CommLog::Entry e;
        e.kind = CommLog::Kind::Received;
        e.bytes = QByteArray(CommLog::MaxShownBytes, 'Z');
        e.bytesTotal = 100001;
        e.replyUs = 12345;
        QVERIFY(CommLog::format(e).mid(12).startsWith("  RX     12.3 ms  ZZZ"));
        QVERIFY(CommLog::format(e).endsWith("Z... (100001 bytes)"));
    }

    void boundPauseAndClear() {
        SimRig rig(still());
        OpenLog o(rig.link());
        o.log.setMaxEntries(50);
        Await(rig.link().SendCommand("G00\r"));
        for (int i = 0; i < 40; ++i)
            Await(rig.link().SendCommand(QStringLiteral("I%1\r").arg(i % 2 ? "02" : "06")));
        QCOMPARE(o.log.entryCount(), 50);
        o.log.flush();
        QCOMPARE(o.log.txtLog->document()->blockCount(), 50);
        // The newest stay: the last entry is the last reply.
        QCOMPARE(o.log.entries().last().bytes, QByteArray("=MODEL:K5A-QB4\r"));
        QCOMPARE(o.log.entries().first().kind, CommLog::Kind::Sent);

        // Paused: the view stands still, the lines are still recorded, and shown on resume.
        const QString before = o.log.txtLog->toPlainText();
        Click(o.log.btnPause);
        QVERIFY(o.log.isPaused());
        QCOMPARE(o.log.btnPause->text(), QString("Resume"));
        Await(rig.link().SendCommand("I06\r"));
        o.log.flush();
        QCOMPARE(o.log.txtLog->toPlainText(), before);
        QVERIFY(o.log.lblCount->text().endsWith(", 2 waiting"));
        Click(o.log.btnPause);
        QVERIFY(o.log.txtLog->toPlainText().endsWith(CommLog::format(o.log.entries().last())));
        QCOMPARE(o.log.txtLog->document()->blockCount(), 50);

        Click(o.log.btnClear);
        QCOMPARE(o.log.entryCount(), 0);
        QVERIFY(o.log.txtLog->toPlainText().isEmpty());
    }

    void closedLogStillRecords() {
        // After a failure the engineer opens the log and finds the lines that led to it.
        SimRig rig(still());
        OpenLog o(rig.link());
        Await(rig.link().SendCommand("G00\r"));
        o.log.flush();
        QCOMPARE(o.log.entryCount(), 2);
        o.log.close();
        Await(rig.link().SendCommand("G00\r"));
        QCOMPARE(o.log.entryCount(), 4);
        QCOMPARE(o.log.txtLog->document()->blockCount(), 2);
        o.log.setVisible(true);
        QCOMPARE(o.log.txtLog->document()->blockCount(), 4);
        QCOMPARE(o.log.txtLog->toPlainText() + '\n', o.log.allText());
    }

    void statisticsSinceTheConnection() {
        SimRig rig(still(), 0, 60);
        ScriptedUi ui;
        FakeClock clock;
        CommLog log; // closed: it counts all the same
        log.setClock(clock.fn());
        log.setLink(&rig.link());
        rig.link().CloseComPort();
        Await(rig.link().OpenComPort(1, Link::DefaultSettings));
        rig.unit().addFault({sim::FaultKind::Silence, {}, "06", 1, 0});
        rig.device().endpoint().setTiming({5, 0});
        // One read that times out once and is tried again, and one plain exchange.
        QVERIFY(!Await(ReadItemRetry(3, "00", "06")).isEmpty());
        QCOMPARE(Await(rig.link().SendCommand("I02\r")), QString("=MODEL:K5A-QB4"));
        rig.device().setOpenFailure("the device does not exist.");
        rig.link().CloseComPort();
        Await(rig.link().OpenComPort(1, Link::DefaultSettings));
        const CommLog::Stats &s = log.stats();
        QCOMPARE(s.exchanges, 5);
        QCOMPARE(s.timeOuts, 1);
        QCOMPARE(s.retries, 1);
        QCOMPARE(s.portErrors, 1);
        QCOMPARE(s.replies, 4);
        QVERIFY2(s.minUs >= 5000 && s.maxUs < 60000 && s.minUs <= s.totalUs / 4 && s.totalUs / 4 <= s.maxUs,
                 qPrintable(CommLog::statsText(s)));
        QVERIFY(QRegularExpression("^Since 08:00:00: 5 exchanges, 1 time-out, 1 retry, 1 port error\\.\\nReply time "
                                   "\\d+\\.\\d ms min, \\d+\\.\\d mean, \\d+\\.\\d max\\.$")
                    .match(CommLog::statsText(s))
                    .hasMatch());
        // Reset by the person, and by the next connection.
        clock.now += 60000;
        log.setVisible(true);
        Click(log.btnResetStats);
        QCOMPARE(log.lblStats->text(), QString("Since 08:01:00: 0 exchanges, 0 time-outs, 0 retries, 0 port errors."));
        QCOMPARE(LabelsNamedOverTheirText(&log), QStringList()); // the figures are what is read
        rig.device().setOpenFailure(QString());
        Await(rig.link().SendCommand("I02\r"));
        QCOMPARE(log.stats().exchanges, 0); // the port is closed: nothing went out
        Await(rig.link().OpenComPort(1, Link::DefaultSettings));
        Await(rig.link().SendCommand("I02\r"));
        QCOMPARE(log.stats().exchanges, 1);

        // CSV: time, direction, line, reply ms; texts with commas quoted.
        QTemporaryDir dir;
        const QString path = dir.filePath("log.csv");
        ui.onSaveFile(path);
        Click(log.btnCsv);
        const QStringList rows = QString::fromUtf8(ReadBytes(path)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), log.entryCount() + 1);
        QCOMPARE(rows[0], QString("Time,Direction,Line,Reply ms"));
        QCOMPARE(rows[1], QString("2024-05-06 08:00:00.000,TX,G00<CR>,"));
        QVERIFY(QRegularExpression("^2024-05-06 08:00:00\\.000,RX,COK<CR>,\\d+\\.\\d{3}$").match(rows[2]).hasMatch());
        QVERIFY(QRegularExpression("^[-0-9 :.]+,--,no reply \\(time-out\\),6\\d\\.\\d{3}$").match(rows[4]).hasMatch());
        QVERIFY(rows.contains("2024-05-06 08:00:00.000,!!,/dev/ttyS0 cannot be opened: the device does not exist.,"));
        NO_SURPRISES(ui);
    }

    void searchCopyAndSave() {
        SimRig rig(still());
        ScriptedUi ui;
        OpenLog o(rig.link());
        for (const char *c : {"G00\r", "I02\r", "I06\r", "I02\r"})
            Await(rig.link().SendCommand(c));
        o.log.flush();
        o.log.txtFind->setText("I02");
        QVERIFY(o.log.findNext());
        QCOMPARE(o.log.txtLog->textCursor().blockNumber(), 2);
        QVERIFY(o.log.findNext());
        QCOMPARE(o.log.txtLog->textCursor().blockNumber(), 6);
        QVERIFY(o.log.findNext()); // wraps around
        QCOMPARE(o.log.txtLog->textCursor().blockNumber(), 2);
        o.log.txtFind->setText("nowhere");
        QVERIFY(!o.log.findNext());

        QTemporaryDir dir;
        const QString path = dir.filePath("log.txt");
        ui.onSaveFile(path);
        Click(o.log.btnSave);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 9);
        QVERIFY(lines[0].startsWith("VIREO communication log, saved "));
        QCOMPARE(lines.mid(1), o.log.allText().split('\n', Qt::SkipEmptyParts));
        // Cancelled: nothing written, nothing said.
        QVERIFY(!Await(o.log.saveAs()));
        NO_SURPRISES(ui);
    }

    // ---- trend

    void trendFollowsThePageShown() {
        AppRig r(still());
        r.press("mnuViewTrend");
        TrendWindow *t = r.find<TrendWindow>("frmTrend");
        QVERIFY(r.find<QAction>("mnuViewTrend")->isChecked());
        QCOMPARE(t->page(), nullptr);
        const QStringList sent = {"012.34", "-5.5", "+100", "0"};
        for (int k = 0; k < 4; ++k)
            r.unit().setValue("00", QString::number(21 + k), sent[k]);
        r.connectViaSetting();
        QCOMPARE(t->page(), r.page(0));
        QCOMPARE(t->channelCount(), 4);
        QCOMPARE(t->rows().size(), size_t(1));
        QCOMPARE(t->rows().back().values, QVector<double>({12.34, -5.5, 100, 0}));
        Await(r.page(0)->ReadingData());
        QCOMPARE(t->rows().size(), size_t(2));
        t->redraw();
        QCOMPARE(t->series().size(), 4);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(t->series()[k]->name(), QStringLiteral("CH %1").arg(k));
            QCOMPARE(t->series()[k]->count(), 2);
            QCOMPARE(t->series()[k]->at(1).y(), t->rows().back().values[k]);
        }
        QCOMPARE(t->chart()->legend()->markers().size(), 4);
        // Closed, it records nothing.
        t->close();
        QVERIFY(!r.find<QAction>("mnuViewTrend")->isChecked());
        Await(r.page(0)->ReadingData());
        QCOMPARE(t->rows().size(), size_t(2));
        NO_SURPRISES(r.ui);
    }

    void csvHasOneRowPerSampleTime() {
        ScriptedUi ui;
        FakeClock clock;
        TrendWindow t;
        t.setClock(clock.fn());
        const qint64 t0 = clock.now;
        // Three passes; the third lacks channel 1 (a reply that did not parse).
        for (int pass = 0; pass < 3; ++pass) {
            for (int ch = 0; ch < 3; ++ch) {
                if (pass == 2 && ch == 1) continue;
                t.addSample(ch, pass * 10 + ch + 0.5);
                clock.now += 25;
            }
            clock.now += 200;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("trend.csv");
        ui.onSaveFile(path);
        Click(t.btnExport);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QCOMPARE(text, t.csv());
        const QStringList lines = text.split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines,
                 QStringList(
                     {"Time,CH 0,CH 1,CH 2",
                      QDateTime::fromMSecsSinceEpoch(t0).toString("yyyy-MM-dd HH:mm:ss.zzz") + ",0.5,1.5,2.5",
                      QDateTime::fromMSecsSinceEpoch(t0 + 275).toString("yyyy-MM-dd HH:mm:ss.zzz") +
                          ",10.5,11.5,12.5",
                      QDateTime::fromMSecsSinceEpoch(t0 + 550).toString("yyyy-MM-dd HH:mm:ss.zzz") +
                          ",20.5,,22.5"}));
        NO_SURPRISES(ui);
    }

    void boundHoldsAfterAnHour() {
        FakeClock clock;
        TrendWindow t;
        t.setClock(clock.fn());
        t.setWindowIndex(2);
        const qint64 t0 = clock.now;
        // Two hours of a fast unit: 8 passes a second, 4 channels.
        int passes = 0;
        for (; clock.now < t0 + 2 * 3600 * 1000; clock.now += 125, ++passes) {
            for (int ch = 0; ch < 4; ++ch)
                t.addSample(ch, std::sin(passes / 100.0) * 100 + ch);
            if (passes % 28800 == 0) QVERIFY(int(t.rows().size()) <= TrendWindow::DefaultMaxRows);
        }
        QVERIFY(int(t.rows().size()) <= TrendWindow::DefaultMaxRows);
        QVERIFY(int(t.rows().size()) > TrendWindow::DefaultMaxRows / 2);
        // Only the last hour is kept, and the newest rows keep their full resolution.
        QVERIFY(t.rows().front().atMs >= clock.now - TrendWindow::KeepMs);
        QVERIFY(t.rows().front().atMs < clock.now - TrendWindow::KeepMs + 60 * 1000);
        const auto &last = t.rows()[t.rows().size() - 1];
        QCOMPARE(last.atMs, clock.now - 125);
        QCOMPARE(last.atMs - t.rows()[t.rows().size() - 2].atMs, qint64(125));
        QCOMPARE(last.values[3], std::sin((passes - 1) / 100.0) * 100 + 3);
        t.redraw();
        for (QLineSeries *s : t.series())
            QVERIFY(s->count() <= TrendWindow::MaxPlotPoints && s->count() > 100);

        // Paused, the plot stands still while samples are recorded.
        t.setWindowIndex(0);
        t.redraw();
        const QList<QPointF> before = t.series()[0]->points();
        Click(t.btnPause);
        clock.now += 1000;
        t.addSample(0, 1e6);
        t.redraw();
        QCOMPARE(t.series()[0]->points(), before);
        QCOMPARE(t.rows().back().values[0], 1e6);
        Click(t.btnPause);
        QCOMPARE(t.series()[0]->points().last().y(), 1e6);
    }

    // ---- ports and the report

    void comDialogFollowsTheAdapters() {
        QList<PortDescription> ports = {
            {"/dev/ttyACM0", "USB CDC", "Acme", "", ""},
            {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K2DX3", "usb-FTDI_FT232R_USB_UART_A10K2DX3-if00-port0"}};
        PortInfo::setSource([&] { return ports; });
        AppRig r(still());
        auto items = [](QComboBox *c) {
            QStringList l;
            for (int i = 0; i < c->count(); ++i)
                l << c->itemText(i);
            return l;
        };
        r.ui.onDialog("frmComPort", [&](QDialog *d) {
            auto *dlg = static_cast<frmComPort *>(d);
            QComboBox *c = d->findChild<QComboBox *>("cmbDevice(2)");
            [&] {
                QVERIFY(c && dlg->tmrPorts.isActive() && dlg->tmrPorts.interval() <= 1000);
                // The device COM2 opens first, then the system's ports, each with what tells it apart.
                QCOMPARE(items(c), QStringList({"/dev/ttyS1", "/dev/ttyACM0", "/dev/ttyUSB0"}));
                QCOMPARE(c->itemData(1, Qt::ToolTipRole).toString(), QString("USB CDC, Acme"));
                QCOMPARE(c->itemData(2, Qt::ToolTipRole).toString(),
                         QString("FT232R USB UART, FTDI, serial A10K2DX3, by-id "
                                 "usb-FTDI_FT232R_USB_UART_A10K2DX3-if00-port0"));
                // Plugged in and pulled out while open; a half-typed path stays as it is.
                c->setEditText("/dev/pts/");
                ports.append({"/dev/ttyUSB1", "CP2102 USB to UART Bridge Controller", "Silicon Labs", "0001", ""});
                ports.removeFirst();
                dlg->refreshPorts();
                QCOMPARE(items(c), QStringList({"/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
                QCOMPARE(c->currentText(), QString("/dev/pts/"));
            }();
            d->findChild<QComboBox *>("cmbDevice(1)")->setCurrentText("/dev/ttyUSB0");
            return ClickComPortOk(d);
        });
        r.ui.onDialog("frmExtSelect", ClickExtCommand1);
        r.press("btnSetting");
        QVERIFY(g.Connected);
        // The status area names the adapter beside its device.
        QCOMPARE(r.text("lblDevice"), QString("(/dev/ttyUSB0, FT232R USB UART)"));
        QVERIFY(r.find<QLabel>("lblDevice")->toolTip().endsWith("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K2DX3-if00-port0"));
        QCOMPARE(PortInfo::describe("/dev/pts/4").description, QString("pseudo-terminal"));
        PortInfo::setSource({});
        PortMap::clearChoices();
        NO_SURPRISES(r.ui);
    }

    void reportHasThePagesOnOnePage() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is missing");
        AppRig r(still());
        r.unit().setValue("2", "20", "-500");
        r.unit().setValue("3", "09", "10");
        r.connectViaSetting();
        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
        r.ui.onSaveFile(path);
        Trigger(r.find<QAction>("mnuFilesReport"));
        QCOMPARE(r.ui.lastFileName, QString("vireo-report-K5A-QB4.pdf"));
        auto run = [](const QString &program, const QStringList &args) {
            QProcess p;
            p.start(program, args);
            p.waitForFinished(20000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        const QString text = run("pdftotext", {"-layout", path, "-"});
        QVERIFY2(text.contains("VIREO report: K5A-QB4"), qPrintable(text));
        for (const QString &fact : {QString("COM1 (/dev/ttyS0)"), QString("XD16"), QString("CC-Link"),
                                    QDate::currentDate().toString("yyyy-MM-dd"), QString("Network time-out")})
            QVERIFY2(text.contains(fact), qPrintable(fact + " missing from\n" + text));
        // Each value under its channel, on its caption's row.
        const Page *p = r.page(0);
        auto row = [&](const QString &caption, const QString &array) {
            QString re = "\\n\\s*" + QRegularExpression::escape(caption);
            for (int k = 0; k < 4; ++k) {
                const QWidget *c = p->findChild<QWidget *>(IndexedName(array, k));
                const auto *t = qobject_cast<const QLineEdit *>(c);
                const auto *l = qobject_cast<const QComboBox *>(c);
                re += "\\s+" + QRegularExpression::escape(t ? t->text() : l ? l->currentText() : "?");
            }
            return QRegularExpression(re + "\\s*\\n");
        };
        QVERIFY2(text.contains(row("Zero scale", "txtZScale")), qPrintable(text));
        QVERIFY(text.contains(QRegularExpression("Zero scale\\s+\\S+\\s+-500\\s")));
        QVERIFY(text.contains(row("Full base", "txtFBase")));
        QVERIFY(text.contains("4mA to 20mA"));
        QVERIFY(run("pdfinfo", {path}).contains(QRegularExpression("Pages:\\s+1\\n")));

        // A network page's settings as the person reads them: an address as one.
        AppRig e(StillUnit("K5N-NX8"));
        e.connectViaSetting();
        QVERIFY(e.w->writeReport(path));
        const QString net = run("pdftotext", {"-layout", path, "-"});
        QWidget *eth = e.w->findChild<QWidget *>("frmEthernet");
        QVERIFY(eth);
        QStringList ip;
        for (int k = 3; k >= 0; --k)
            ip << eth->findChild<QLineEdit *>(IndexedName("txtIP", k))->text();
        QVERIFY2(net.contains("Network settings (Ethernet Setting)"), qPrintable(net));
        QVERIFY2(net.contains(QRegularExpression("IP address\\s+" + QRegularExpression::escape(ip.join('.')))),
                 qPrintable(ip.join('.') + " missing from\n" + net));
        NO_SURPRISES(r.ui);
        NO_SURPRISES(e.ui);
    }

    // ---- main window

    void titleStatusAndMenus() {
        qputenv("VIREO_COM1", "/dev/ttyUSB0");
        AppRig r(still());
        QCOMPARE(r.w->windowTitle(), QString("VIREO"));
        QVERIFY(r.text("lblDevice").isEmpty());
        const QList<QAction *> menus = r.w->menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[1]->text(), QString("View"));
        QCOMPARE(r.find<QAction>("mnuViewLog")->text(), QString("Communication log"));
        QCOMPARE(r.find<QAction>("mnuViewLog")->shortcut(), QKeySequence("Ctrl+L"));
        QCOMPARE(r.find<QAction>("mnuViewTrend")->shortcut(), QKeySequence("Ctrl+T"));
        QCOMPARE(r.find<QMenu>("mnuHelp")->actions(), QList<QAction *>({r.find<QAction>("mnuHelpVersion"), r.find<QAction>("mnuHelpAbout")}));
        r.connectViaSetting();
        QCOMPARE(r.w->windowTitle(), QString("VIREO - K5A-QB4"));
        QCOMPARE(r.text("lblDevice"), QString("(/dev/ttyUSB0)"));
        r.session().commandDisconnect();
        QCOMPARE(r.w->windowTitle(), QString("VIREO"));
        qunsetenv("VIREO_COM1");

        // The log opens beside the page: the window grows instead of squeezing it.
        const int w0 = r.w->width();
        Trigger(r.find<QAction>("mnuViewLog"));
        QVERIFY(r.find<CommLog>("dockCommLog")->isVisibleTo(r.w));
        QCOMPARE(r.w->dockWidgetArea(r.find<CommLog>("dockCommLog")), Qt::RightDockWidgetArea);
        QVERIFY(r.w->width() > w0);
        Trigger(r.find<QAction>("mnuViewLog"));
        QVERIFY(!r.find<CommLog>("dockCommLog")->isVisibleTo(r.w));
        QCOMPARE(r.w->width(), w0);

        // About opens beside whatever runs.
        Trigger(r.find<QAction>("mnuHelpAbout"));
        QCOMPARE(r.ui.beside.size(), 1);
        auto *a = qobject_cast<frmAbout *>(r.ui.beside.last());
        QVERIFY(a);
        QCOMPARE(a->lblProgram->text(), QString("Version 0.44"));
        QCOMPARE(a->lblQt->text(), QStringLiteral("Qt %1").arg(qVersion()));
        QCOMPARE(frmAbout::versionLine(), QStringLiteral("VIREO 0.44, Qt %1").arg(qVersion()));
        NO_SURPRISES(r.ui);
    }
};

QTEST_MAIN(ToolsTest)
#include "tst_tools.moc"
