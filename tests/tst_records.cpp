// The record of every I/O page kind: the shape of its lines in a saved file, the round trip
// through a file after an Upload from the simulated unit, and what loading does besides
// setting values (lists refilled, captions, views, frames, the pages' own hooks).
#include "core/Globals.h"
#include "pages/Widgets.h"
#include "app/frmVireo.h"
#include "pages/Record.h"
#include "link/TextRoutines.h"
#include "pages/Page.h"
#include "tests/TestKit.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// "I4 B2 T6*4" → one entry per line, one letter per field: IIII, BB, then TTTTTT four times.
// A token may mix kinds: "IB2" is an integer and two Booleans.
QStringList shape(const QString &s) {
    QStringList lines;
    for (const QString &token : s.split(' ', Qt::SkipEmptyParts)) {
        const QString fields = token.section('*', 0, 0);
        const int repeat = token.contains('*') ? token.section('*', 1).toInt() : 1;
        QString line;
        for (int i = 0; i < fields.size(); ++i) {
            int n = 0;
            int j = i + 1;
            while (j < fields.size() && fields[j].isDigit())
                n = n * 10 + fields[j++].digitValue();
            line += QString(fields[i]).repeated(n ? n : 1);
            i = j - 1;
        }
        for (int r = 0; r < repeat; ++r)
            lines << line;
    }
    return lines;
}

// The kinds of the fields a saved file has on each line after the header.
QStringList shapeOf(const QByteArray &bytes) {
    QStringList lines;
    for (QByteArray l : bytes.split('\n').mid(1)) {
        if (l.endsWith('\r')) l.chop(1);
        if (l.isEmpty()) continue;
        QString kinds;
        for (int i = 0; i < l.size();) {
            if (l[i] == '"') {
                kinds += 'T';
                i = l.indexOf('"', i + 1) + 1;
            } else {
                const int end = l.indexOf(',', i) < 0 ? l.size() : l.indexOf(',', i);
                const QByteArray f = l.mid(i, end - i);
                kinds += f == "#TRUE#" || f == "#FALSE#" ? 'B' : 'I';
                i = end;
            }
            if (i < l.size() && l[i] == ',') ++i;
        }
        lines << kinds;
    }
    return lines;
}

// The controls a page's record names, each with what it shows.
// The lines of a page's record that the current unit's file has.
QList<cfg::Line> presentLines(const Page *p) {
    const cfg::Context ctx{g.UnitModel, AfterColon(g.VersionText)};
    QList<cfg::Line> l;
    for (const cfg::Line &line : p->configRecord()->lines)
        if (!line.when || line.when(ctx)) l << line;
    return l;
}

QMap<QString, QString> recorded(const Page *p) {
    QMap<QString, QString> m;
    for (const cfg::Line &line : presentLines(p))
        for (const cfg::Field &f : line.fields) {
            QWidget *c = Control(p, f.control);
            if (auto *e = qobject_cast<QLineEdit *>(c)) m[f.control] = e->text();
            // By position: the loader's list texts need not be the page's.
            if (auto *l = qobject_cast<QComboBox *>(c)) m[f.control] = QString::number(l->currentIndex());
            if (auto *b = qobject_cast<QRadioButton *>(c)) m[f.control] = b->isChecked() ? "on" : "off";
        }
    return m;
}

// Gives every control the record names another value, one a page's own checks accept.
void changeRecorded(Page *p) {
    int n = 0;
    for (const cfg::Line &line : presentLines(p)) {
        QList<QRadioButton *> pair;
        for (const cfg::Field &f : line.fields) {
            QWidget *c = Control(p, f.control);
            if (auto *e = qobject_cast<QLineEdit *>(c)) e->setText(QString::number(3 + n++ % 50));
            if (auto *l = qobject_cast<QComboBox *>(c); l && l->count() > 1)
                l->setCurrentIndex((l->currentIndex() + 1) % l->count());
            if (auto *b = qobject_cast<QRadioButton *>(c)) pair << b;
        }
        // Option buttons come in exclusive pairs: select the one that is not selected.
        if (pair.size() == 2) (pair[0]->isChecked() ? pair[1] : pair[0])->setChecked(true);
    }
}

QStringList items(const QComboBox *list) {
    QStringList l;
    for (int i = 0; i < list->count(); ++i)
        l << list->itemText(i);
    return l;
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT
  private slots:
    // Every kind after an Upload: the saved lines have the kinds of fields the record tables
    // give (network record last), and a file loaded over changed values restores every one.
    void everyKindRoundTrips_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelnum");
        QTest::addColumn<QString>("fields");
        const QString cc = " I", modbus = " I3", hls = " I I", ethernet = " I I4 I4 I4 I4 I4";
        const struct {
            const char *model;
            int modelnum;
            QString fields;
            const char *version = "1.02";
        } kinds[] = {
            {"K5A-QB4", 0, "I4 B2 T6*4" + cc},       {"K5A-QK4", 1, "I4 I4 B2 T6*4" + cc},
            {"K5A-QW4", 2, "I4 I4 B2 T6*4" + cc},    {"K5A-WB2", 3, "I2 B2 T6*2" + cc},
            {"K5A-WC2", 4, "B2 T6*2" + cc},          {"K5G-KO16W", 5, "B2 I" + modbus},
            {"K5G-KO16", 5, "B2" + modbus},          {"K5A-KI16", 6, "B2" + cc},
            {"K5A-QJ4", 7, "B2 T4*4" + cc},          {"K5A-QX4V", 8, "I4 I4 IB2 T6*4" + cc},
            {"K5A-KI8R", 9, cc},                     {"K5A-NX16", 10, "B2 T*16" + cc},
            {"K5A-QH4", 11, "I4 I4 B2 T6*4" + cc},   {"K5A-WB4", 12, "I4 B2 T6*4" + cc},
            {"K5A-WC4", 13, "B2 T6*4" + cc},         {"K5A-NX8", 14, "B2 T2*8" + cc},
            {"K5A-ZWBW2", 15, "T6*2" + cc},          {"K5A-HM8", 16, "B2" + cc},
            {"K5A-NX2", 17, "T9 T10 T7 T9 T10 T7 T3" + cc},
            {"K5A-QBW8", 18, "I8 T6*8" + cc},        {"K5A-WB4Y", 19, "I4 T6*4" + cc},
            {"K5A-KOR16", 20, "B2*5" + cc},          {"K5A-GZ2", 21, "B2 T5*2" + cc},
            {"K5VS-GZ2", 22, "T5*2" + hls},          {"K5N-NX8", 23, "B2 T2*8" + ethernet},
            // A 1.x unit that shows no gateway still saves the gateway line of its series.
            {"K5N-NX8", 23, "B2 T2*8" + ethernet, "1.10"},
            {"K5A-QZ4U", 24, "B2 T6*4" + cc},        {"K5A-KI4H", 25, cc},
        };
        QTest::addColumn<QString>("version");
        for (const auto &k : kinds)
            QTest::newRow(qPrintable(QString(k.model) + (qstrcmp(k.version, "1.02") ? QString(" ") + k.version : "")))
                << QString(k.model) << k.modelnum << k.fields << QString(k.version);
    }
    void everyKindRoundTrips() {
        QFETCH(QString, model);
        QFETCH(int, modelnum);
        QFETCH(QString, fields);
        QFETCH(QString, version);
        QTemporaryDir dir;
        const QString path = dir.filePath("unit.uJx");
        AppRig r(StillUnit(model, "NONE", version));
        r.connectViaSetting();
        QCOMPARE(g.modelnum, modelnum);
        Page *p = r.page(modelnum);
        QVERIFY(p && p->configRecord());
        const auto before = recorded(p);
        r.ui.onSaveFile(path);
        Await(r.session().commandSave());
        const QByteArray saved = ReadBytes(path);
        QCOMPARE(shapeOf(saved), shape(fields));
        if (const QString corpus = qEnvironmentVariable("VIREO_CONFIG_CORPUS"); !corpus.isEmpty() && version == "1.02")
            QFile::copy(path, QDir(corpus).filePath(model + ".uJx"));

        changeRecorded(p);
        if (!before.isEmpty()) QVERIFY(recorded(p) != before);
        auto *type = Control<QLabel>(p, "lblV_Unit");
        if (type) type->setText("before");
        g.UnitModel = "K5X-ZZZ";
        g.modelnum = 99;
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QCOMPARE(recorded(p), before);
        QCOMPARE(g.modelnum, modelnum);
        QCOMPARE(g.UnitModel, model);
        QCOMPARE(r.shownPage(), p);
        // The module type shows on every page that has the caption but the positioning page.
        if (type) QCOMPARE(type->text(), modelnum == 17 ? QString("before") : AfterDash(model));
        // Saving again gives the same file: nothing was lost or reordered on the way.
        Await(r.session().commandSave());
        QCOMPARE(ReadBytes(path), saved);
        QVERIFY(r.find<QPushButton>("btnDownload")->isEnabled());
        NO_SURPRISES(r);
    }

    // Files written by hand load with the loader's own lists and captions, and save back
    // byte for byte.
    void handWrittenFilesLoadAndSaveBack_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("expect"); // control=what it shows after loading
        const QString scale = R"("1","2","3","4","5","6")";
        QTest::newRow("current input, drop-out and start-up")
            << QStringList{R"("K5A-QX4V",8,"Version : 1.02",4,0)", "0,5,-1,2", "7,-3,0,32767", "12,#FALSE#,#TRUE#",
                           scale, scale, scale, R"("0","10","","a b","x","")", "30"}
            << QStringList{"cmbUserRange(0)=0A to 600A", "cmbUserRange(1)=0A to 5A", "cmbUserRange(2)=",
                           "txtDropout(0)=7", "txtDropout(1)=-3", "txtStartup=12", "optKeepOff=on",
                           "lblZBase_Unit(3)=A", "lblFBase_Unit(0)=A", "txtGain(3)=a b", "lblV_Unit=QX4V"};
        QTest::newRow("RTD, units and their captions")
            << QStringList{R"("K5A-QW4",2,"Version : 2.00",4,0)", "8,6,0,-1", "0,1,2,0", "#TRUE#,#FALSE#", scale,
                           scale, scale, scale, "0"}
            << QStringList{"cmbUserRange(0)=Cu50", "cmbUserRange(1)=-------------", "cmbUserRange(3)=",
                           "cmbUserUnit(1)=F", "lblZBase_Unit(1)=deg F", "lblFBase_Unit(2)=K",
                           "lblZBase_Unit(3)=deg C", "optKeepOn=on"};
        QTest::newRow("thermistor, one type")
            << QStringList{R"("K5A-QH4",11,"Version : 1.02",4,0)", "0,0,-1,0", "2,2,2,2", "#FALSE#,#FALSE#",
                           scale, scale, scale, scale, "0"}
            << QStringList{"cmbUserRange(1)=TH_502AT", "cmbUserRange(2)=", "cmbUserUnit(0)=K", "optKeepOn=off",
                           "optKeepOff=off"};
        QTest::newRow("analog output, eleven dashes")
            << QStringList{R"("K5A-WB4Y",19,"Version : 1.02",4,0)", "2,3,4,5", scale, scale, scale, scale, "0"}
            << QStringList{"cmbUserRange(0)=-----------", "cmbUserRange(3)=1V to 5V", "lblV_Unit=WB4Y"};
        QTest::newRow("current output, mA captions")
            << QStringList{R"("K5A-WC2",4,"Version : 1.02",2,0)", "#FALSE#,#TRUE#", scale, scale, "0"}
            << QStringList{"lblZBase_Unit(0)=mA", "lblFBase_Unit(1)=mA", "frame frmSet1=shown"};
        QTest::newRow("relay outputs, five pairs")
            << QStringList{R"("K5A-KOR16",20,"Version : 1.02",16,0)", "#TRUE#,#FALSE#", "#FALSE#,#TRUE#",
                           "#TRUE#,#FALSE#", "#FALSE#,#FALSE#", "#TRUE#,#FALSE#", "0"}
            << QStringList{"optKeepOn=on", "optOut1=off", "optOut2=on", "optOut3=on", "optOut5=off",
                           "optOut6=off", "optOut7=on", "lblV_Unit=KOR16"};
        QTest::newRow("pulse counter on Ethernet, gateway of the 1.x series")
            << QStringList{R"("K5N-NX8",23,"Version : 1.05",8,4)", "#TRUE#,#FALSE#",
                           R"("0","100")", R"("1","200")", R"("0","300")", R"("1","400")",
                           R"("0","500")", R"("1","600")", R"("0","700")", R"("1","99999999")",
                           "30", "1,0,168,192", "0,255,255,255", "254,0,168,192", "501,502,503,504", "5,6,7,8"}
            << QStringList{"txtOver(1)=1", "txtFScale(7)=99999999", "lblV_Unit=NX8", "frame frmSet1=shown",
                           "frame frmSet2=hidden"};
        QTest::newRow("no I/O record: header, then network")
            << QStringList{R"("K5A-KI4H",25,"Version : 1.02",4,0)", "45"} << QStringList{"lblV_Unit=KI4H"};
        QTest::newRow("load cell, old firmware hides the new group")
            << QStringList{R"("K5A-GZ2",21,"Version : 1.03",2,0)", "#TRUE#,#FALSE#",
                           R"("0","10000","0","1","2")", R"("-5","5","","1.5","0")", "0"}
            << QStringList{"txtZScale(1)=-5", "txtGain(1)=1.5", "visible txtAdjscale(0)=no", "lblV_Unit=GZ2"};
        QTest::newRow("load cell, new firmware shows it")
            << QStringList{R"("K5A-GZ2",21,"Version : 1.10",2,0)", "#TRUE#,#FALSE#",
                           R"("0","10000","0","1","2")", R"("-5","5","","1.5","0")", "0"}
            << QStringList{"visible txtAdjscale(0)=yes"};
        QTest::newRow("positioning, seven lines")
            << QStringList{R"("K5A-NX2",17,"Version : 1.02",2,0)",
                           R"("1","2","3","4","5","6","7","8","9")",
                           R"("10","11","12","13","14","15","16","17","18","19")",
                           R"("20","21","22","23","24","25","26")",
                           R"("31","32","33","34","35","36","37","38","39")",
                           R"("40","41","42","43","44","45","46","47","48","49")",
                           R"("50","51","52","53","54","55","56")", R"("60","61","62")", "0"}
            << QStringList{"txtOP(0)=9", "txtA1Type(0)=10", "txtHRD(0)=26", "txtDO(1)=31", "txtA2PH(1)=49",
                           "txtHRD(1)=56", "txtTM(2)=62"};
    }
    void handWrittenFilesLoadAndSaveBack() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, expect);
        QTemporaryDir dir;
        const QString path = dir.filePath("by-hand.uJx");
        QVERIFY(WriteBytes(path, CrLfFile(lines)));
        AppRig r(StillUnit("K5A-QB4"));
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QWidget *p = r.shownPage();
        QVERIFY(p);
        QCOMPARE(p, r.page(g.modelnum));
        for (const QString &e : expect) {
            const QString name = e.section('=', 0, 0), want = e.section('=', 1);
            QString shown;
            if (name.startsWith("frame ")) {
                shown = Control(p, name.mid(6))->isVisibleTo(p) ? "shown" : "hidden";
            } else if (name.startsWith("visible ")) {
                shown = Control(p, name.mid(8))->isHidden() ? "no" : "yes";
            } else {
                QWidget *c = Control(p, name);
                QVERIFY2(c, qPrintable(name));
                if (auto *l = qobject_cast<QLabel *>(c)) shown = l->text();
                if (auto *e = qobject_cast<QLineEdit *>(c)) shown = e->text();
                if (auto *b = qobject_cast<QRadioButton *>(c)) shown = b->isChecked() ? "on" : "off";
                if (auto *l = qobject_cast<QComboBox *>(c)) shown = l->currentText();
            }
            QVERIFY2(shown == want, qPrintable(QStringLiteral("%1 shows \"%2\"").arg(name, shown)));
        }
        // Leading zeros and numbers written as the loader reads them: the file comes back as it was.
        const QString again = dir.filePath("again.uJx");
        r.ui.onSaveFile(again);
        Await(r.session().commandSave());
        QCOMPARE(QString::fromLatin1(ReadBytes(again)), QString::fromLatin1(CrLfFile(lines)));
        NO_SURPRISES(r);
    }

    // A temperature unit without selection would give a file that cannot open again (its
    // captions need a unit): the save is refused and the old file stays. A channel the unit
    // does not have cannot be chosen for: it saves as the first unit, and the file opens again.
    void temperatureUnitsSaveOnlyWhatOpensAgain() {
        QTemporaryDir dir;
        const QString path = dir.filePath("qk.uJx");
        QVERIFY(WriteBytes(path, "old"));
        {
            AppRig r(StillUnit("K5A-QK4"));
            r.connectViaSetting();
            Control<QComboBox>(r.page(1), "cmbUserUnit(2)")->setCurrentIndex(-1);
            r.ui.expect("CH 2 Temp Unit (cmbUserUnit(2)) has nothing selected. Choose an entry and save again.",
                        "Open Error", MsgIcon::Critical);
            r.ui.onSaveFile(path);
            Await(r.session().commandSave());
            QCOMPARE(ReadBytes(path), QByteArray("old"));
            NO_SURPRISES(r);
        }
        sim::UnitConfig two = StillUnit("K5A-QK4");
        two.channels = 2;
        AppRig r(two);
        r.unit().setValue("2", "04", "F");
        r.connectViaSetting();
        r.ui.onSaveFile(path);
        Trigger(r.w->findChild<QAction *>("mnuFilesSave"));
        QCOMPARE(ReadBytes(path).split('\n').value(2), QByteArray("0,1,0,0\r"));
        r.ui.onOpenFile(path);
        Trigger(r.w->findChild<QAction *>("mnuFilesOpen"));
        QCOMPARE(Control<QComboBox>(r.page(1), "cmbUserUnit(1)")->currentIndex(), 1);
        NO_SURPRISES(r);
    }

    // The range hints of a temperature page follow the units a file brings; with no unit
    // connected the switch range they depend on is unknown, and they show nothing.
    void temperatureHintsFollowTheLoadedUnit() {
        QTemporaryDir dir;
        const QString path = dir.filePath("qk.uJx");
        AppRig r(StillUnit("K5A-QK4"));
        r.connectViaSetting();
        Page *p = r.page(1);
        auto *hint = Control<QLabel>(p, "lblZTemp(1)");
        int type = -1;
        auto hintOf = [](int unit, int t) {
            return QStringLiteral("%1 to %2").arg(TcRange[unit].MinList[t]).arg(TcRange[unit].MaxList[t]);
        };
        for (int t = 0; t < TcRange[0].MinList.size() && type < 0; ++t)
            if (hintOf(0, t) == hint->text()) type = t;
        QVERIFY2(type >= 0, qPrintable(hint->text()));
        Control<QComboBox>(p, "cmbUserUnit(1)")->setCurrentIndex(1);
        r.ui.onSaveFile(path);
        Await(r.session().commandSave());
        Control<QComboBox>(p, "cmbUserUnit(1)")->setCurrentIndex(0);
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QCOMPARE(Control<QLabel>(p, "lblZBase_Unit(1)")->text(), QString(TcRange[1].UnitName));
        QCOMPARE(hint->text(), hintOf(1, type));
        QCOMPARE(Control<QLabel>(p, "lblFTemp(1)")->text(), hintOf(1, type));
        r.session().commandDisconnect();
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QCOMPARE(hint->text(), QString());
        NO_SURPRISES(r);
    }

    // The loader's own lists replace what the page built, on every channel of the record.
    void loaderListsReplaceThePagesOwn() {
        QTemporaryDir dir;
        const QString path = dir.filePath("qx.uJx");
        AppRig r(StillUnit("K5A-QX4V"));
        r.connectViaSetting();
        Page *p = r.page(8);
        auto *list = Control<QComboBox>(p, "cmbUserRange(3)");
        const int index = list->currentIndex();
        QVERIFY(items(list).first().startsWith("0-"));
        r.ui.onSaveFile(path);
        Await(r.session().commandSave());
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QCOMPARE(items(list), QStringList({"0A to 600A", "0A to 400A", "0A to 200A", "0A to 100A", "0A to 50A",
                                           "0A to 5A"}));
        QCOMPARE(list->currentIndex(), index);
        NO_SURPRISES(r);
    }

    // The discrete output's delay: its line and frame exist for the one model, and a loaded
    // value runs the page's own check.
    void delayLineFollowsTheModel() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ko.uJx");
        AppRig r(StillUnit("K5A-QB4"));
        QVERIFY(WriteBytes(path, CrLfFile({R"("K5G-KO16W",5,"Version : 1.02",16,2)", "#TRUE#,#FALSE#", "150", "0,0,30"})));
        r.ui.expect("Please enter 0 to 100.", AppTitle, MsgIcon::Information);
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        Page *p = r.page(5);
        QCOMPARE(Control<QLineEdit>(p, "Text1")->text(), QString("150"));
        QVERIFY(Control(p, "Frame3")->isVisibleTo(p));
        QVERIFY(WriteBytes(path, CrLfFile({R"("K5G-KO16",5,"Version : 1.02",16,2)", "#FALSE#,#TRUE#", "0,0,30"})));
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QVERIFY(!Control(p, "Frame3")->isVisibleTo(p));
        QVERIFY(Control<QRadioButton>(p, "optKeepOff")->isChecked());
        QCOMPARE(Control<QLineEdit>(Control(r.w, "frmModbus"), "txtTimeout")->text(), QString("30"));
        NO_SURPRISES(r);
    }

    // A file loaded where an Upload never happened: a later Download writes the file's values,
    // not indexes left over from an earlier unit.
    void listWithoutSelectionFromFileWritesNothingOld() {
        QTemporaryDir dir;
        const QString path = dir.filePath("qb.uJx");
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        Page *p = r.page(0);
        auto *list = Control<QComboBox>(p, "cmbUserRange(1)");
        list->setCurrentIndex(-1);
        r.ui.onSaveFile(path);
        Await(r.session().commandSave());
        QVERIFY(ReadBytes(path).contains("\r\n0,-1,0,0\r\n"));
        list->setCurrentIndex(4);
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->count(), 12);
        // Channel 1 (group 2) writes its scaling but no range: the index the unit reported
        // before the file was loaded no longer stands.
        const QStringList written = DownloadPageLines(r);
        const qsizetype g2 = written.indexOf("G2"), g3 = written.indexOf("G3");
        QVERIFY(g2 > 0 && g3 > g2);
        QVERIFY(!written.mid(g2, g3 - g2).contains("I09"));
        QCOMPARE(written.count("I09"), 3);
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(RecordsTest)
#include "tst_records.moc"
