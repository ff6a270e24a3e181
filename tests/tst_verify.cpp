// A Download is checked against its read-back, setting by setting, and Compare with Unit reads
// the unit as an Upload does into pages not shown: what the page holds stays.
#include "core/Globals.h"
#include "core/Session.h"
#include "netpages/NetPage.h"
#include "pages/Page.h"
#include "pages/Widgets.h"
#include "tests/TestKit.h"
#include "tools/CommLog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QLineEdit *box(QWidget *page, const QString &name) { return Control<QLineEdit>(page, name); }

// "control=text" on the I/O page, or "net:control=text" on the network page.
void edit(AppRig &r, const QString &e) {
    const bool net = e.startsWith("net:");
    const QString what = net ? e.mid(4) : e;
    QWidget *page = net ? static_cast<QWidget *>(r.netPage(g.NetTyp)) : r.page(g.modelnum);
    const QString name = what.section('=', 0, 0), value = what.section('=', 1);
    if (auto *b = box(page, name)) return b->setText(value);
    if (auto *o = Control<QRadioButton>(page, name)) {
        // "optKeepOn=" unchecks the pair, as a file that checks neither leaves it.
        o->setAutoExclusive(false);
        o->setChecked(value == "1");
        return;
    }
    QFAIL(qPrintable("no control " + name));
}
} // namespace

class VerifyTest : public QObject {
    Q_OBJECT
private slots:
    // A unit that keeps (or rounds) a written value is named; one that holds what was written,
    // in whatever form of the same number, is "Download verified".
    void readBackChecksWhatWasWritten_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("fault");   // keep:GG:II or round:GG:II:decimals
        QTest::addColumn<QString>("edit");    // control=text
        QTest::addColumn<QString>("message"); // the difference, or empty for a clean verification
        QTest::newRow("scaling page, kept") << "K5A-QB4" << "keep:2:20" << "txtZScale(1)=-150"
                                            << "CH 1 Zero scale: written -150, the unit holds 0";
        QTest::newRow("scaling page, rounded") << "K5A-QB4" << "round:2:22:1" << "txtBias(1)=0.25"
                                               << "CH 1 Bias: written 0.25, the unit holds 0.3";
        QTest::newRow("same number, other form") << "K5A-QB4" << "round:2:22:3" << "txtBias(1)=1" << "";
        QTest::newRow("pulse page, kept") << "K5A-NX16" << "keep:1:14" << "txtFScale(0)=500"
                                          << "CH 0 Max: written 500, the unit holds 100000";
        QTest::newRow("positioning page, kept") << "K5A-NX2" << "keep:1:10" << "txtDO(0)=5"
                                                << "CH 0 Drop Out: written 5, the unit holds 1.00";
    }
    void readBackChecksWhatWasWritten() {
        QFETCH(QString, model);
        QFETCH(QString, fault);
        QFETCH(QString, edit);
        QFETCH(QString, message);
        AppRig r(StillUnit(model));
        r.connectViaSetting();
        Page *p = r.page(g.modelnum);
        box(p, edit.section('=', 0, 0))->setText(edit.section('=', 1));
        const QStringList f = fault.split(':');
        r.unit().addFault({f[0] == "keep" ? sim::FaultKind::Keep : sim::FaultKind::Round, f[1], f[2], -1,
                           f.value(3).toInt()});
        if (!message.isEmpty())
            r.ui.expect("The unit does not hold what was written:\r\n" + message, "Download", MsgIcon::Critical);
        QVERIFY(!DownloadPageLines(r).isEmpty());
        QCOMPARE(r.text("lblNote").startsWith("Download verified ("), message.isEmpty());
        // The communication log, open or not, notes a clean verification too.
        CommLog *log = r.find<CommLog>("dockCommLog");
        log->flush();
        const QList<CommLog::Entry> es = log->entries();
        const bool noted = std::any_of(es.begin(), es.end(), [](const CommLog::Entry &e) {
            return e.kind == CommLog::Kind::Note && e.text.startsWith("Download verified (");
        });
        QCOMPARE(noted, message.isEmpty());
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        NO_SURPRISES(r);
    }

    // What a Download says is what it knows: every value sent is judged by a read-back that
    // completed, and nothing else is. Faults are added once the unit is connected.
    void downloadJudgesWhatItSent_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("how");  // download, compare (then Download), compare only
        QTest::addColumn<QString>("box");  // the one box, or empty
        QTest::addColumn<QString>("note"); // the status area's note afterwards
        QTest::addColumn<QString>("sent"); // a line the command sends, or empty
        const QString notVerified = "The settings were written, but the unit could not be read back completely (%1), "
                                    "so they are not verified.";
        QTest::newRow("a read-back that ends early") << "K5A-QB4" << QStringList{"txtZScale(0)=-150"}
                                                     << QStringList{"keep:1:20", "delay:14:2:0", "silence:14:4"}
                                                     << "download" << notVerified.arg("no reply to group 00 item 14")
                                                     << "Download not verified" << "D-150";
        QTest::newRow("a write that is sent but not on the record") << "K5A-NX16" << QStringList{"txtOver(0)=50"}
                                                                    << QStringList{"keep:1:13"} << "download"
                                                                    << "The unit does not hold what was written:\r\n"
                                                                       "CH 0 Carry: written 50, the unit holds 0"
                                                                    << "Download not verified" << "D50";
        QTest::newRow("a slot shown but never written") << "K5A-QBW8" << QStringList{"txtZScale(0)=100"} << QStringList{}
                                                        << "download" << "" << "Download verified (24 values)" << "";
        QTest::newRow("a hold pair checked neither way sends Clear") << "K5A-QB4" << QStringList{"optKeepOn=", "optKeepOff="}
                                                                     << QStringList{} << "download" << ""
                                                                     << "Download verified (29 values)" << "D1";
        QTest::newRow("an identifier is text") << "K5B-QB4" << QStringList{"net:txtSerial=12345"}
                                               << QStringList{"keep:00:50"} << "compare"
                                               << "The unit does not hold what was written:\r\n"
                                                  "Serial ID: written 12345, the unit holds 00012345"
                                               << "Download not verified" << "D12345";
        QTest::newRow("a unit with nothing to read back") << "K5A-KI8R" << QStringList{} << QStringList{} << "download"
                                                          << "" << "Download written (nothing to verify)" << "";
        QTest::newRow("Compare's Download writes the network page too")
            << "K5A-QB4" << QStringList{"net:txtTimeout=45"} << QStringList{} << "compare" << ""
            << "Download verified (1 values)" << "D45";
        QTest::newRow("Compare after a read that ends early compares nothing")
            << "K5A-QB4" << QStringList{"txtZScale(0)=-150"} << QStringList{"silence:09:4"} << "compare only"
            << "The unit could not be read completely (no reply to group 00 item 09): nothing was compared." << "" << "";
    }
    void downloadJudgesWhatItSent() {
        QFETCH(QString, model);
        QFETCH(QStringList, edits);
        QFETCH(QStringList, faults);
        QFETCH(QString, how);
        QFETCH(QString, box);
        QFETCH(QString, note);
        QFETCH(QString, sent);
        AppRig r(StillUnit(model));
        r.connectViaSetting();
        for (const QString &e : edits) edit(r, e);
        for (const QString &f : faults) r.unit().addFault(*sim::ParseFault(f));
        const QString title = how == "compare only" ? "Compare with Unit" : "Download";
        if (!box.isEmpty()) r.ui.expect(box, title, MsgIcon::Critical);
        QStringList rows;
        if (how == "compare") r.ui.onDialog("frmCompare", [&](QDialog *d) {
            auto *t = Control<QTableWidget>(d, "tblDifferences");
            for (int i = 0; t && i < t->rowCount(); ++i) rows << t->item(i, 0)->text() + "|" + t->item(i, 2)->text();
            Click(Control<QPushButton>(d, "cmdDownload"));
            return int(QDialog::Accepted);
        });
        r.clearLines();
        r.press(how == "download" ? "btnDownload" : "mnuFilesCompare");
        if (!sent.isEmpty()) QVERIFY2(r.lines().contains(sent), qPrintable(r.lines().join(' ')));
        if (!note.isEmpty()) QCOMPARE(r.text("lblNote"), note);
        // The unit holds "00012345": not the same serial, whatever a number would say.
        if (QTest::currentDataTag() == QByteArray("an identifier is text")) QCOMPARE(rows, QStringList{"Serial ID|12345"});
        NO_SURPRISES(r);
    }

    // The network page's own Download reads back too.
    void networkPageDownloadIsChecked() {
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Keep, "00", "51", -1, 0});
        r.ui.expect("The unit does not hold what was written:\r\nNetwork time-out (x 0.1 sec): written 45, the unit "
                    "holds 30",
                    "Download", MsgIcon::Critical);
        r.ui.onDialog("frmCCLINK", [](QDialog *d) {
            Control<QLineEdit>(d, "txtTimeout")->setText("45");
            Click(Control<QPushButton>(d, "btnDownload"));
            return int(QDialog::Rejected);
        });
        r.ui.onDialog("frmNotice", [](QDialog *) { return int(QDialog::Rejected); });
        r.press("btnComNet");
        NO_SURPRISES(r);
    }

    // Compare sends an Upload's lines and no write of its own, leaves the page as it was, and
    // lists what differs; here a file that differs from the unit in three places.
    void compareListsWhatDiffers() {
        QTemporaryDir dir;
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        const QStringList before = r.unit().writes();
        const QStringList upload = UploadPageLines(r, 1000);
        const qsizetype uploadWrites = r.unit().writes().size() - before.size();
        Page *p = r.page(0);
        box(p, "txtZScale(2)")->setText("-77");
        box(p, "txtGain(0)")->setText("2.5000");
        Control<QComboBox>(p, "cmbUserRange(3)")->setCurrentIndex(10);
        r.ui.onSaveFile(dir.filePath("f.uJx"));
        r.press("mnuFilesSave");
        r.press("btnUpload"); // the unit's values on the page again
        r.ui.onOpenFile(dir.filePath("f.uJx"));
        r.press("mnuFilesOpen");
        const QStringList writes = r.unit().writes();
        QList<Difference> rows;
        r.ui.onDialog("frmCompare", [&](QDialog *d) {
            auto *t = Control<QTableWidget>(d, "tblDifferences");
            for (int i = 0; t && i < t->rowCount(); ++i)
                rows.append({t->item(i, 0)->text(), t->item(i, 1)->text(), t->item(i, 2)->text(), t->item(i, 3)->text()});
            return int(QDialog::Rejected);
        });
        r.clearLines();
        r.press("mnuFilesCompare");
        QCOMPARE(r.lines().mid(7), upload); // the identification, then the page's and network's reads
        QCOMPARE(r.unit().writes().mid(0, writes.size()), writes);
        QCOMPARE(r.unit().writes().size() - writes.size(), uploadWrites); // the Upload's own, no more
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].caption + "|" + rows[0].channel + "|" + rows[0].page + "|" + rows[0].unit,
                 QString("Range|CH 3|4mA to 20mA|-10V to 10V"));
        QCOMPARE(rows[1].channel + " " + rows[1].caption + "|" + rows[1].page, QString("CH 0 Gain|2.5000"));
        QCOMPARE(rows[2].channel + " " + rows[2].caption + "|" + rows[2].page + "|" + rows[2].unit,
                 QString("CH 2 Zero scale|-77|0"));
        QCOMPARE(box(p, "txtZScale(2)")->text(), QString("-77")); // the page as it was
        QCOMPARE(r.buttons(), QString("TFFTTTTT"));
        NO_SURPRISES(r);
    }

    void compareWithAnotherModelComparesNothing() {
        QTemporaryDir dir;
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        QVERIFY(WriteBytes(dir.filePath("qk.uJx"),
                           CrLfFile({R"("K5A-QK4",1,"Version : 1.02",4,0)", "0,0,0,0", "0,0,0,0", "#FALSE#,#TRUE#",
                                     R"("0","10000","0","1","0","100")", R"("0","10000","0","1","0","100")",
                                     R"("0","10000","0","1","0","100")", R"("0","10000","0","1","0","100")", "30"})));
        r.ui.onQuestion("The file is for K5A-QK4; the connected unit is K5A-QB4. Load anyway?", true);
        r.ui.onOpenFile(dir.filePath("qk.uJx"));
        r.press("mnuFilesOpen");
        r.ui.expect("The unit is a K5A-QB4; the page is for K5A-QK4. Nothing was compared.", "Compare with Unit",
                    MsgIcon::Information);
        r.clearLines();
        r.press("mnuFilesCompare");
        QCOMPARE(r.lines(), QStringList({"G00", "I01", "DF", "I02", "I06", "I10", "I03"}));
        QCOMPARE(g.UnitModel, QString("K5A-QK4"));
        QCOMPARE(r.text("lblMastertype"), QString("K5A-QK4"));
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(VerifyTest)
#include "tst_verify.moc"
