// Configuration files: the field stream, the files of each kind byte for byte, the round trip
// through the simulated unit, and every way a save or a load can fail.
#include "core/Globals.h"
#include "app/frmVireo.h"
#include "config/ConfigFile.h"
#include "config/FieldStream.h"
#include "pages/Record.h"
#include "netpages/NetPage.h"
#include "pages/frmQB4.h"
#include "link/Numbers.h"
#include "tests/TestKit.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace cfg;

namespace {
// The file of a K5A-QB4 unit as the simulated unit reports it after an Upload, on CC-Link.
QStringList qb4Lines(const QString &model = "K5A-QB4", const QString &version = "Version : 1.02",
                     int netTyp = 0) {
    QStringList l = {QStringLiteral("\"%1\",0,\"%2\",4,%3").arg(model, version).arg(netTyp), "0,0,0,0",
                     "#FALSE#,#TRUE#"};
    for (int i = 0; i < 4; ++i)
        l << R"("0","10000","0.00","1.0000","-10.000","10.000")";
    return l;
}


frmQB4 *qb4(AppRig &r) {
    return qobject_cast<frmQB4 *>(r.page(0));
}
template <class T = QWidget> T *net(AppRig &r, const QString &name) {
    return r.netPage(g.NetTyp)->findChild<T *>(name);
}

// Every value a person can see on a page, by control name.
QMap<QString, QString> snapshot(const QWidget *w) {
    QMap<QString, QString> m;
    for (const QLineEdit *e : w->findChildren<QLineEdit *>())
        m[e->objectName()] = e->text();
    for (const QComboBox *c : w->findChildren<QComboBox *>())
        m[c->objectName()] = QStringLiteral("%1 of %2").arg(c->currentIndex()).arg(c->count());
    for (const QRadioButton *b : w->findChildren<QRadioButton *>())
        m[b->objectName()] = b->isChecked() ? "on" : "off";
    for (const QLabel *l : w->findChildren<QLabel *>())
        if (!l->objectName().isEmpty()) m["label " + l->objectName()] = l->text();
    for (const QGroupBox *f : w->findChildren<QGroupBox *>())
        if (!f->objectName().isEmpty())
            m["frame " + f->objectName()] = f->isVisibleTo(w) ? "shown" : "hidden";
    return m;
}

QStringList identity() {
    return {g.UnitModel,
            QString::number(g.modelnum),
            g.VersionText,
            QString::number(g.ChCount),
            QString::number(g.NetTyp),
            QString::number(g.SubTyp),
            QString::number(g.NewFirmware),
            QString::number(g.ActivePage),
            QString::number(g.ExtChCount),
            g.ExtType};
}

// Gives every editable control of a page another value; the controls named in `keep` stay.
void changeEverything(QWidget *w, const QStringList &keep = {}) {
    int n = 0;
    for (QLineEdit *e : w->findChildren<QLineEdit *>())
        if (!e->isReadOnly() && !keep.contains(e->objectName())) e->setText(QString::number(7 + n++ % 90));
    for (QComboBox *c : w->findChildren<QComboBox *>())
        if (c->count() > 0) c->setCurrentIndex((c->currentIndex() + 1) % c->count());
    for (QRadioButton *b : w->findChildren<QRadioButton *>())
        if (b->objectName() == "optKeepOff")
            b->isChecked() ? w->findChild<QRadioButton *>("optKeepOn")->setChecked(true)
                           : b->setChecked(true);
}

void scrambleIdentity() {
    g.UnitModel = "K5X-ZZZ";
    g.modelnum = 5;
    g.VersionText = "Version : 9.99";
    g.ChCount = 2;
    g.NetTyp = 3;
    g.SubTyp = 9;
    g.NewFirmware = !g.NewFirmware;
    g.ActivePage = -1;
    g.ExtChCount = 16;
    g.ExtType = "XD16";
}

// A stand-in page: just the named controls a record speaks of.
struct FakePage : QWidget {
    QLineEdit *box(const QString &name) { return make<QLineEdit>(name); }
    QComboBox *list(const QString &name) { return make<QComboBox>(name); }
    QRadioButton *option(const QString &name) { return make<QRadioButton>(name); }
    QLabel *label(const QString &name) { return make<QLabel>(name); }
    QGroupBox *frame(const QString &name) { return make<QGroupBox>(name); }
    void boxes(const QStringList &arrays, int n) {
        for (const QString &a : arrays)
            for (int i = 0; i < n; ++i)
                box(QStringLiteral("%1(%2)").arg(a).arg(i));
    }
    template <class T> T *make(const QString &name) {
        auto *c = new T(this);
        c->setObjectName(name);
        return c;
    }
    template <class T = QLineEdit> T *c(const QString &name) const { return findChild<T *>(name); }
};

} // namespace

class ConfigTest : public QObject {
    Q_OBJECT
  private slots:
    // ---- the field stream

    void writerFollowsTheFileConventions() {
        FieldWriter w;
        w.text("K5A-QB4");
        w.integer(-1);
        w.text("a, b");
        w.boolean(true);
        w.boolean(false);
        w.endLine();
        w.integer(32767);
        w.text(QString::fromUtf8("\xc2\xb0"
                                 "C")); // a degree sign: one byte in an 8-bit file
        w.endLine();
        QCOMPARE(w.bytes(), QByteArray("\"K5A-QB4\",-1,\"a, b\",#TRUE#,#FALSE#\r\n32767,\"\xb0"
                                       "C\"\r\n"));
        QVERIFY(TextProblem("plain text, with commas").isEmpty());
        QVERIFY(TextProblem("5\" rack").contains("double quote"));
        QVERIFY(TextProblem(QString::fromUtf8("\xe2\x82\xac")).contains("8-bit"));
    }

    void readerTakesTheFileAsAStreamOfFields() {
        FieldReader r("\"K5A-QB4\",0, \"Version : 1.02\" ,4\r\n"
                      "12 ,#TRUE#,,\"a,b\"junk,last\n"
                      "\"two\r\nlines\",end\r"
                      "x");
        const QList<std::tuple<QString, int, int>> expected = {{"K5A-QB4", 1, 1},
                                                               {"0", 1, 2},
                                                               {"Version : 1.02", 1, 3},
                                                               {"4", 1, 4},
                                                               {"12", 2, 1},
                                                               {"#TRUE#", 2, 2},
                                                               {"", 2, 3},
                                                               {"a,b", 2, 4},
                                                               {"last", 2, 5},
                                                               {"two\r\nlines", 3, 1},
                                                               {"end", 4, 2},
                                                               {"x", 5, 1}};
        for (const auto &[text, line, field] : expected) {
            const std::optional<QString> f = r.next();
            QVERIFY(f);
            QCOMPARE(*f, text);
            QCOMPARE(r.line(), line);
            QCOMPARE(r.field(), field);
        }
        QVERIFY(!r.next());
        // A quote that is never closed runs to the end of the file.
        FieldReader open("\"no end,1\r\n");
        QCOMPARE(*open.next(), QString("no end,1\r\n"));
        QVERIFY(!open.next());
    }

    void numbersAndBooleans() {
        QCOMPARE(ParseInteger("-32768"), std::optional<qint64>(-32768));
        QCOMPARE(ParseInteger(" +12 "), std::optional<qint64>(12));
        QVERIFY(ParseInteger("99999999999999999999").value() > 65535);
        for (const char *bad : {"", "-", "1.5", "0x10", "1e3", "12a"})
            QVERIFY2(!ParseInteger(bad), bad);
        QCOMPARE(ParseBoolean("#TRUE#"), std::optional<bool>(true));
        QCOMPARE(ParseBoolean("#FALSE#"), std::optional<bool>(false));
        QVERIFY(!ParseBoolean("TRUE") && !ParseBoolean("-1"));
        // Texts for integer fields: nearest whole number, halves to even, 16-bit.
        QCOMPARE(WholeNumber("12.5"), std::optional<int>(12));
        QCOMPARE(WholeNumber("13.5"), std::optional<int>(14));
        QCOMPARE(WholeNumber("007"), std::optional<int>(7));
        QCOMPARE(WholeNumber("-32768.4"), std::optional<int>(-32768));
        for (const char *bad : {"", "abc", "32767.5", "40000"})
            QVERIFY2(!WholeNumber(bad), bad);
        QCOMPARE(WholeNumber("50000", 0, 65535), std::optional<int>(50000));
        QVERIFY(!WholeNumber("-1", 0, 65535));
    }

    // ---- what the declarations can say beyond the kinds built so far

    void temperatureRecordRefillsListsAndUnitCaptions() {
        const QStringList tc = {"K(CA)",       "E(CRC)", "J(IC)", "T(CC)", "B(RH)", "R", "S",
                                "C(WRe 5-26)", "N",      "U",     "L",     "P",     "PR"};
        const Record qk4{.lines = RangeLine(4, tc) + UnitLine(TcRange) + HoldLine() + ScaleLines6(4),
                         .view = ViewReset::Full,
                         .typeCaption = true};
        FakePage p;
        for (int k = 0; k < 4; ++k) {
            p.list(QStringLiteral("cmbUserRange(%1)").arg(k))->addItem("from Init");
            p.list(QStringLiteral("cmbUserUnit(%1)").arg(k));
            p.label(QStringLiteral("lblZBase_Unit(%1)").arg(k));
            p.label(QStringLiteral("lblFBase_Unit(%1)").arg(k));
        }
        p.boxes({"txtZScale", "txtFScale", "txtBias", "txtGain", "txtZBase", "txtFBase"}, 4);
        p.option("optKeepOn");
        p.option("optKeepOff");
        p.label("lblV_Unit");
        g.UnitModel = "K5A-QK4";
        QStringList lines = {"12,0,-1,5", "0,1,2,0", "#TRUE#,#FALSE#"};
        for (int k = 0; k < 4; ++k)
            lines << QStringLiteral(R"("%1","1000","0","1","-200","1372")").arg(k);
        const Context ctx{"K5A-QK4", " 1.02"};
        QString error;
        QVERIFY2(LoadRecord(qk4, &p, CrLfFile(lines), ctx, &error), qPrintable(error));
        QCOMPARE(p.c<QComboBox>("cmbUserRange(0)")->count(), 13);
        QCOMPARE(p.c<QComboBox>("cmbUserRange(0)")->currentText(), QString("PR"));
        QCOMPARE(p.c<QComboBox>("cmbUserRange(2)")->currentIndex(), -1);
        QCOMPARE(p.c<QComboBox>("cmbUserUnit(2)")->currentText(), QString("K"));
        QCOMPARE(p.c<QLabel>("lblZBase_Unit(1)")->text(), QString("deg F"));
        QCOMPARE(p.c<QLabel>("lblFBase_Unit(2)")->text(), QString("K"));
        QCOMPARE(p.c<QLabel>("lblFBase_Unit(3)")->text(), QString("deg C"));
        QCOMPARE(p.c<QLabel>("lblV_Unit")->text(), QString("QK4"));
        QCOMPARE(p.c("txtZScale(3)")->text(), QString("3"));
        QCOMPARE(*SaveRecord(qk4, &p, ctx, nullptr), CrLfFile(lines));
        // A unit outside the three has no caption: the record is refused as a whole.
        lines[1] = "0,1,2,3";
        lines[3] = R"("changed","1000","0","1","-200","1372")";
        QVERIFY(!LoadRecord(qk4, &p, CrLfFile(lines), ctx, &error));
        QCOMPARE(error,
                 QString("Line 2, field 4 (cmbUserUnit(3)): 3 is outside the temperature units (0 to 2)."));
        QCOMPARE(p.c("txtZScale(0)")->text(), QString("0"));
    }

    void dropOutStartUpAndConditionalLines() {
        // The current input's drop-out and start-up lines, with "A" captions and the first view.
        const QStringList qx = {"0A to 600A", "0A to 400A", "0A to 200A",
                                "0A to 100A", "0A to 50A",  "0A to 5A"};
        const Record qx4m{.lines = RangeLine(4, qx) + DropoutLine() + StartupLine() + ScaleLines6(4),
                          .view = ViewReset::Set1,
                          .typeCaption = true,
                          .baseUnit = "A"};
        FakePage p;
        p.boxes({"txtZScale", "txtFScale", "txtBias", "txtGain", "txtZBase", "txtFBase", "txtDropout"}, 4);
        for (int k = 0; k < 4; ++k) {
            p.list(QStringLiteral("cmbUserRange(%1)").arg(k))->addItems(qx);
            p.label(QStringLiteral("lblZBase_Unit(%1)").arg(k));
            p.label(QStringLiteral("lblFBase_Unit(%1)").arg(k));
        }
        p.box("txtStartup")->setText("12.5");
        p.option("optKeepOn")->setChecked(true);
        p.option("optKeepOff");
        p.frame("frmSet1")->hide();
        p.c("txtDropout(0)")->setText("007");
        for (const char *b : {"txtDropout(1)", "txtDropout(2)", "txtDropout(3)"})
            p.c(b)->setText("1e1");
        const Context ctx{"K5A-QX4V", " 1.02"};
        const QByteArray saved = SaveRecord(qx4m, &p, ctx, nullptr).value();
        QVERIFY(saved.startsWith("0,0,0,0\r\n7,10,10,10\r\n12,#TRUE#,#FALSE#\r\n\"\",\"\","));
        QVERIFY(LoadRecord(qx4m, &p, saved, ctx, nullptr));
        QCOMPARE(p.c("txtDropout(0)")->text(), QString("7"));
        QCOMPARE(p.c("txtStartup")->text(), QString("12"));
        QCOMPARE(p.c<QLabel>("lblFBase_Unit(3)")->text(), QString("A"));
        QVERIFY(p.c<QGroupBox>("frmSet1")->isVisibleTo(&p));

        // The discrete output's second line exists for one model only, and its frame follows it.
        const Record ko16{.lines = HoldLine() + When(ModelIs("K5G-KO16W"), IntegerLine({"Text1"}), "Frame3"),
                          .typeCaption = true};
        FakePage o;
        o.option("optKeepOn");
        o.option("optKeepOff");
        o.box("Text1")->setText("55");
        o.frame("Frame3");
        const Context w{"K5G-KO16W", " 1.02"}, plain{"K5G-KO16", " 1.02"};
        QCOMPARE(*SaveRecord(ko16, &o, w, nullptr), CrLfFile({"#FALSE#,#FALSE#", "55"}));
        QCOMPARE(*SaveRecord(ko16, &o, plain, nullptr), CrLfFile({"#FALSE#,#FALSE#"}));
        QVERIFY(LoadRecord(ko16, &o, CrLfFile({"#FALSE#,#TRUE#", "150"}), w, nullptr));
        QCOMPARE(o.c("Text1")->text(), QString("150"));
        QVERIFY(o.c<QGroupBox>("Frame3")->isVisibleTo(&o));
        QVERIFY(LoadRecord(ko16, &o, CrLfFile({"#TRUE#,#FALSE#", "not read"}), plain, nullptr));
        QVERIFY(!o.c<QGroupBox>("Frame3")->isVisibleTo(&o));
        QVERIFY(o.c<QRadioButton>("optKeepOn")->isChecked());
    }

    void positioningRecordIsSevenLines() {
        auto line = [](const QStringList &arrays, int i) {
            QStringList l;
            for (const QString &a : arrays)
                l << QStringLiteral("%1(%2)").arg(a).arg(i);
            return TextLine(l);
        };
        const QStringList a = {"txtDO",   "txtReset", "txtMin", "txtMax", "txtBias",
                               "txtGain", "txtZS",    "txtFS",  "txtOP"};
        const QStringList b = {"txtA1Type", "txtA1SM", "txtA1SH", "txtA1PM", "txtA1PH",
                               "txtA2Type", "txtA2SM", "txtA2SH", "txtA2PM", "txtA2PH"};
        const QStringList c = {"txtEL", "txtHL", "txtER", "txtHR", "txtZR", "txtHLD", "txtHRD"};
        Lines lines;
        for (int i = 0; i < 2; ++i)
            lines += line(a, i) + line(b, i) + line(c, i);
        lines += TextLine({"txtTM(0)", "txtTM(1)", "txtTM(2)"});
        const Record nx2{.lines = lines};
        FakePage from, to;
        int n = 0;
        for (FakePage *p : {&from, &to})
            p->boxes(a + b + c + QStringList{"txtTM"}, 3);
        for (QLineEdit *e : from.findChildren<QLineEdit *>())
            e->setText(QString::number(n++));
        const QByteArray saved = SaveRecord(nx2, &from, {}, nullptr).value();
        QList<int> fields;
        for (const QByteArray &l : saved.split('\n'))
            if (!l.isEmpty()) fields << int(l.count(',')) + 1;
        QCOMPARE(fields, QList<int>({9, 10, 7, 9, 10, 7, 3}));
        QVERIFY(LoadRecord(nx2, &to, saved, {}, nullptr));
        for (const Line &l : nx2.lines)
            for (const Field &f : l.fields)
                QCOMPARE(to.c(f.control)->text(), from.c(f.control)->text());
    }

    // ---- files of each kind, written by hand

    void savedFilesAreByteExact_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QStringList>("edits"); // control=value on the network page
        QTest::addColumn<QStringList>("netLines");
        QTest::newRow("CC-Link, empty time-out") << "K5A-QB4"
                                                 << "1.02" << QStringList{"txtTimeout="} << QStringList{"0"};
        QTest::newRow("DeviceNet, status list empty")
            << "K5B-QB4"
            << "1.02" << QStringList{"cmbStatus=2"} << QStringList{R"("00012345",2,30)"};
        QTest::newRow("Modbus ASCII EVEN 30")
            << "K5G-QB4"
            << "1.02" << QStringList{"cmbMode=1", "cmbParity=2"} << QStringList{"1,2,30"};
        QTest::newRow("MECHATROLINK") << "K5GT-QB4"
                                      << "1.02" << QStringList{"txtTimeout=126.5"} << QStringList{"126"};
        QTest::newRow("Ethernet 1.02 with gateway")
            << "K5N-QB4"
            << "1.02" << QStringList{} << QStringList{"30",          "10,0,168,192",    "0,255,255,255",
                                                      "1,0,168,192", "501,502,503,504", "50,50,50,50"};
        QTest::newRow("Ethernet 2.00, port above 32767")
            << "K5N-QB4"
            << "2.00" << QStringList{"txtPort(2)=50000"}
            << QStringList{"30", "10,0,168,192", "0,255,255,255", "501,50000,503,504", "50,50,50,50"};
        QTest::newRow("FL-Remote") << "K5PW-QB4"
                                   << "1.02" << QStringList{} << QStringList{"50,2"};
        QTest::newRow("FLEX NETWORK") << "K5PX-QB4"
                                      << "1.02" << QStringList{} << QStringList{"1", "1"};
    }
    void savedFilesAreByteExact() {
        QFETCH(QString, model);
        QFETCH(QString, version);
        QFETCH(QStringList, edits);
        QFETCH(QStringList, netLines);
        QTemporaryDir dir;
        AppRig r(StillUnit(model, "NONE", version));
        r.connectViaSetting();
        frmQB4 *p = qb4(r);
        p->cmbUserRange[1]->setCurrentIndex(3);
        p->cmbUserRange[2]->setCurrentIndex(-1);
        p->cmbUserRange[3]->setCurrentIndex(11);
        p->txtZScale[2]->setText("-100");
        p->txtBias[3]->setText("a, b");
        for (const QString &e : edits) {
            const QString name = e.section('=', 0, 0), value = e.section('=', 1);
            if (auto *list = net<QComboBox>(r, name))
                list->setCurrentIndex(value.toInt());
            else
                net<QLineEdit>(r, name)->setText(value);
        }
        const int netTyp = g.NetTyp;
        // HLS and FLEX NETWORK units have no output hold: its buttons stay as designed.
        const QString hold = netTyp >= 6 ? "#FALSE#,#FALSE#" : "#FALSE#,#TRUE#";
        const QByteArray expected =
            CrLfFile(QStringList{QStringLiteral("\"%1\",0,\"Version : %2\",4,%3").arg(model, version).arg(netTyp),
                             "0,3,-1,11", hold, R"("0","10000","0.00","1.0000","-10.000","10.000")",
                             R"("0","10000","0.00","1.0000","-10.000","10.000")",
                             R"("-100","10000","0.00","1.0000","-10.000","10.000")",
                             R"("0","10000","a, b","1.0000","-10.000","10.000")"} +
                 netLines);
        const QString path = dir.filePath("unit.uJx");
        r.ui.onSaveFile(path);
        Await(r.session().commandSave());
        QCOMPARE(ReadBytes(path), expected);
        QCOMPARE(r.ui.lastFilter, QString("uJx Files (*.uJx);;Text Files (*.txt);;All Files (*)"));
        QCOMPARE(r.ui.lastFilterIndex, 1);
        NO_SURPRISES(r);
    }

    void handWrittenFilesLoad() {
        // No unit: the page is filled and placed, the identity comes from the file.
        AppRig r(StillUnit("K5A-QB4"));
        QTemporaryDir dir;
        const QString path = dir.filePath("modbus.txt");
        QVERIFY(WriteBytes(path, CrLfFile({R"("K5G-QB4",0,"Version : 1.02",2,0)", "8,-1,11,0", "#FALSE#,#FALSE#",
                                     R"("1","2","3","4","5","6")", R"("-7","8.5","","a b","x","")",
                                     R"(" 9","10","11","12","13","14")", R"("15","16","17","18","19","20")",
                                     "1,2,30", "trailing lines are not read"})));
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        frmQB4 *p = qb4(r);
        QCOMPARE(r.shownPage(), p);
        QVERIFY(g.PageShown);
        QCOMPARE(identity(),
                 QStringList({"K5G-QB4", "0", "Version : 1.02", "2", "2", "1", "0", "0", "0", ""}));
        QCOMPARE(r.text("lblMastertype"), QString("K5G-QB4"));
        QCOMPARE(r.text("lblVersionNo"), QString("Version : 1.02"));
        QCOMPARE(r.find<QPushButton>("btnComNet")->text(), QString("Modbus"));
        QCOMPARE(p->lblV_Unit->text(), QString("QB4"));
        QCOMPARE(p->cmbUserRange[0]->count(), 12);
        QCOMPARE(p->cmbUserRange[0]->currentText(), QString("-------------"));
        QCOMPARE(p->cmbUserRange[1]->currentIndex(), -1);
        QCOMPARE(p->cmbUserRange[2]->currentText(), QString("0mA to 20mA"));
        QVERIFY(!p->optKeepOn->isChecked() && !p->optKeepOff->isChecked());
        QCOMPARE(p->txtZScale[1]->text(), QString("-7"));
        QCOMPARE(p->txtFScale[1]->text(), QString("8.5"));
        QCOMPARE(p->txtBias[1]->text(), QString(""));
        QCOMPARE(p->txtGain[1]->text(), QString("a b"));
        QCOMPARE(p->txtZScale[2]->text(), QString(" 9"));
        QCOMPARE(p->txtFBase[3]->text(), QString("20"));
        // The first view, as its button leaves it.
        QVERIFY(!p->cmdSet1->isEnabled() && p->cmdSet2->isEnabled());
        QVERIFY(p->frmSet1->isVisibleTo(p) && !p->frmSet2->isVisibleTo(p));
        QCOMPARE(net<QComboBox>(r, "cmbMode")->currentText(), QString("ASCII"));
        QCOMPARE(net<QComboBox>(r, "cmbParity")->currentText(), QString("EVEN"));
        QCOMPARE(net<QLineEdit>(r, "txtTimeout")->text(), QString("30"));
        // The network page is filled, not shown; no unit, so no Download.
        QVERIFY(!r.netPage(2)->isVisible());
        QVERIFY(!r.find<QPushButton>("btnDownload")->isEnabled());
        QVERIFY(r.lines().isEmpty());
        NO_SURPRISES(r);
    }

    // What the pages show follows the identity a file brings, whenever they were created: the
    // DeviceNet status frame (none on the KI8R base), and the KI8R's own point numbers.
    void loadedIdentityDecidesWhatThePagesShow() {
        AppRig r(StillUnit("K5A-QB4"));
        QTemporaryDir dir;
        const QString path = dir.filePath("dn.uJx");
        auto open = [&](const QStringList &lines) {
            QVERIFY(WriteBytes(path, CrLfFile(lines)));
            r.ui.onOpenFile(path);
            Trigger(r.w->findChild<QAction *>("mnuFilesOpen"));
        };
        open({R"("K5B-KI8R",9,"Version : 1.02",8,1)", R"("77",1,40)"});
        QWidget *dn = r.w->findChild<QWidget *>("frmDeviceNet");
        QVERIFY(dn && !dn->findChild<QWidget *>("Frame1")->isVisibleTo(dn));
        QWidget *ki8r = r.w->findChild<QWidget *>("frmKI8R");
        QVERIFY(ki8r->findChild<QWidget *>("lblExtIndex(0)")->isVisibleTo(ki8r));
        open(qb4Lines("K5B-QB4", "Version : 1.02", 1) + QStringList{R"("77",1,40)"});
        QVERIFY(dn->findChild<QWidget *>("Frame1")->isVisibleTo(dn));
        NO_SURPRISES(r);
    }

    void versionSuffixRules() {
        AppRig r(StillUnit("K5A-QB4"));
        QTemporaryDir dir;
        const QString path = dir.filePath("eth.uJx");
        const QStringList eth = {"30", "1,2,3,4", "5,6,7,8", "9,10,11,12", "501,502,503,65535", "1,2,3,4"};
        struct Case {
            const char *version;
            bool newFirmware, gateway;
        };
        // The flag takes the list of eight; the gateway line only the " 1." series.
        for (const Case &c : {Case{"Version : 1.02", false, true}, Case{"Version :1.02", false, false},
                              Case{"Version : 1.05", true, true}, Case{"Version : 2.00", true, false}}) {
            QStringList lines = qb4Lines("K5N-QB4", c.version, 4) + eth;
            if (!c.gateway) lines.removeAt(lines.size() - 3);
            QVERIFY(WriteBytes(path, CrLfFile(lines)));
            if (g.NetTyp == 4) net<QLineEdit>(r, "txtDGW(3)")->clear();
            QVERIFY(Await(r.session().openFile(path)));
            QCOMPARE(g.NewFirmware, c.newFirmware);
            QCOMPARE(net<QLineEdit>(r, "txtIP(0)")->text(), QString("1"));
            QCOMPARE(net<QLineEdit>(r, "txtPort(4)")->text(), QString("65535"));
            // Without the line the gateway boxes keep what they had.
            QCOMPARE(net<QLineEdit>(r, "txtDGW(3)")->text(), QString(c.gateway ? "12" : ""));
            QCOMPARE(net<QLineEdit>(r, "txtTimeout(4)")->text(), QString("4"));
            // Saved again, the file is the same.
            QVERIFY(Await(r.session().saveFile(path)));
            QCOMPARE(ReadBytes(path), CrLfFile(lines));
        }
        NO_SURPRISES(r);
    }

    void modelTextDecidesThePageAndNetwork() {
        AppRig r(StillUnit("K5A-QB4"));
        QTemporaryDir dir;
        const QString path = dir.filePath("x.uJx");
        // No known network prefix: the file ends after the I/O record, whatever field 5 says.
        QVERIFY(WriteBytes(path, CrLfFile(qb4Lines("K5Z-QB4", "Version : 1.02", 4) + QStringList{"not a record"})));
        QVERIFY(Await(r.session().openFile(path)));
        QCOMPARE(g.NetTyp, 99);
        QCOMPARE(g.modelnum, 0);
        QVERIFY(!r.find<QPushButton>("btnComNet")->isVisibleTo(r.w));
        // A model text the pages do not know: no I/O record, no page placed, ActivePage 99.
        QVERIFY(WriteBytes(path, CrLfFile({R"("K5A-ABC",0,"Version : 1.02",4,0)", "33"})));
        QVERIFY(Await(r.session().openFile(path)));
        QCOMPARE(g.ActivePage, 99);
        QCOMPARE(net<QLineEdit>(r, "txtTimeout")->text(), QString("33"));
        // The model text says kind 22 (field 2 says 0): its record is read, and a file that
        // ends inside it is refused as a whole.
        r.ui.expect("Line 3: the file ends where txtBias(0) was due.", "VIREO", MsgIcon::Critical);
        QVERIFY(WriteBytes(path, CrLfFile({R"("K5VS-GZ2",0,"Version : 1.02",2,6)", "#TRUE#,#FALSE#"})));
        QVERIFY(!Await(r.session().openFile(path)));
        QCOMPARE(g.UnitModel, QString("K5A-ABC"));
        NO_SURPRISES(r);
    }

    // ---- the round trip through the simulated unit

    void roundTripOnEveryNetwork_data() {
        QTest::addColumn<QString>("model");
        for (const char *m :
             {"K5A-QB4", "K5B-QB4", "K5G-QB4", "K5GT-QB4", "K5N-QB4", "K5PW-QB4", "K5VS-QB4", "K5PX-QB4"})
            QTest::newRow(m) << QString(m);
    }
    void roundTripOnEveryNetwork() {
        QFETCH(QString, model);
        QTemporaryDir dir;
        const QString path = dir.filePath("unit.uJx");
        AppRig r(StillUnit(model, "DI", "1.02"));
        r.connectViaSetting();
        QCOMPARE(g.ExtChCount, 16);
        QWidget *io = qb4(r);
        QVERIFY(io->findChild<QWidget *>("txtChData(15)")->isVisibleTo(io));
        QWidget *netPage = r.netPage(g.NetTyp);
        const auto ioBefore = snapshot(io), netBefore = snapshot(netPage);
        const QStringList idBefore = identity();
        r.ui.onSaveFile(path);
        Await(r.session().commandSave());

        changeEverything(io);
        // The FLEX NETWORK record leaves the time-out out.
        changeEverything(netPage, g.NetTyp >= 6 ? QStringList{"txtTimeout"} : QStringList{});
        QVERIFY(snapshot(io) != ioBefore);
        QVERIFY(snapshot(netPage) != netBefore);
        scrambleIdentity();

        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        // The extension module is forgotten, on the page too; everything else is as uploaded.
        auto ioAfter = ioBefore;
        ioAfter["label lblV_Ext"] = "";
        QCOMPARE(snapshot(io), ioAfter);
        QCOMPARE(snapshot(netPage), netBefore);
        QStringList idAfter = idBefore;
        idAfter[8] = "0";
        idAfter[9] = "";
        QCOMPARE(identity(), idAfter);
        QVERIFY(!r.find<QGroupBox>("Frame6")->isVisibleTo(r.w));
        QVERIFY(r.text("lblExtName").isEmpty());
        // ... and the page shows no extension points any more.
        QVERIFY(!io->findChild<QWidget *>("txtChData(0)")->isVisibleTo(io));
        QVERIFY(!io->findChild<QWidget *>("lblV_Ext")->isVisibleTo(io));
        QCOMPARE(r.ui.lastFileName, path); // the dialog offers the name chosen last
        QVERIFY(r.find<QPushButton>("btnDownload")->isEnabled());
        NO_SURPRISES(r);
    }

    // ---- failures

    void saveWithoutPageAsksNothing() {
        AppRig r(StillUnit("K5A-QB4"));
        r.ui.expect("No Config Data", "Save Error", MsgIcon::None);
        Await(r.session().commandSave());
        QCOMPARE(r.ui.fileDialogs, 0);
        // Cancel in either dialog: nothing happens.
        Await(r.session().commandConnect());
        Await(r.session().commandSave());
        Await(r.session().commandOpen());
        QCOMPARE(r.ui.fileDialogs, 2);
        QCOMPARE(g.UnitModel, QString("K5A-QB4"));
        NO_SURPRISES(r);
    }

    void refusedSaveLeavesTheOldFile_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("quote")
            << "txtGain(1)"
            << "1\"5"
            << "The text of CH 1 Gain (txtGain(1)) holds a double quote (\"), which a configuration "
               "file cannot carry. Change it and save again.";
        QTest::newRow("not a number")
            << "txtTimeout(0)"
            << "abc"
            << "The text of Network time-out (x 0.1 Sec) (txtTimeout(0)), \"abc\", is not a "
               "whole number from -32768 to 32767.";
        QTest::newRow("port out of range")
            << "txtPort(3)"
            << "65536"
            << "The text of Port 3 number (txtPort(3)), \"65536\", is not a whole "
               "number from 0 to 65535.";
    }
    void refusedSaveLeavesTheOldFile() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("old.uJx");
        QVERIFY(WriteBytes(path, "old contents\r\n"));
        AppRig r(StillUnit("K5N-QB4"));
        r.connectViaSetting();
        QLineEdit *box = r.w->findChild<QLineEdit *>(control);
        QVERIFY(box);
        box->blockSignals(true); // a typed value's own check is not what this is about
        box->setText(text);
        box->blockSignals(false);
        r.ui.onSaveFile(path);
        r.ui.expect(message, "Open Error", MsgIcon::Critical);
        Await(r.session().commandSave());
        QCOMPARE(ReadBytes(path), QByteArray("old contents\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.uJx"});
        NO_SURPRISES(r);
    }

    void saveThatCannotWrite() {
        QTemporaryDir dir;
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        // A folder nobody may write into (root may write anywhere but into /proc).
        const QString locked = dir.filePath("locked");
        QVERIFY(QDir().mkdir(locked));
        QVERIFY(WriteBytes(locked + "/old.uJx", "old\r\n"));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool root = geteuid() == 0;
        const QString target = root ? QStringLiteral("/proc/self/unit.uJx") : locked + "/old.uJx";
        r.ui.expect(target + (root ? ": Operation not permitted" : ": Permission denied"), "Open Error",
                    MsgIcon::Critical);
        QVERIFY(!Await(r.session().saveFile(target)));
        QCOMPARE(ReadBytes(locked + "/old.uJx"), QByteArray("old\r\n"));
        QFile::setPermissions(locked,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        // A disk that fills up half way: the file-size limit fails the write as a full disk would.
        const QString path = dir.filePath("big.uJx");
        QVERIFY(WriteBytes(path, "old\r\n"));
        r.ui.expect(path + ": File too large", "Open Error", MsgIcon::Critical);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        const bool saved = Await(r.session().saveFile(path));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved);
        QCOMPARE(ReadBytes(path), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.uJx"});
        NO_SURPRISES(r);
    }

    void failedLoadChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QStringList ok = qb4Lines() + QStringList{"30"};
        auto with = [&](int line, const QString &text) {
            QStringList l = ok;
            l[line] = text;
            return CrLfFile(l);
        };
        QTest::newRow("cut inside the I/O record")
            << CrLfFile(ok.mid(0, 5)) << "Line 6: the file ends where txtZScale(2) was due.";
        QTest::newRow("cut inside the network record")
            << CrLfFile(ok.mid(0, 7)) << "Line 8: the file ends where txtTimeout was due.";
        QTest::newRow("empty file") << QByteArray() << "Line 1: the file ends where model text was due.";
        QTest::newRow("header not a number") << with(0, R"("K5A-QB4",zero,"Version : 1.02",4,0)")
                                             << "Line 1, field 2 (modelnum): \"zero\" is not a whole number.";
        QTest::newRow("range not a number")
            << with(1, "0,x,0,0") << "Line 2, field 2 (cmbUserRange(1)): \"x\" is not a whole number.";
        QTest::newRow("range 12") << with(1, "0,0,0,12")
                                  << "Line 2, field 4 (cmbUserRange(3)): 12 is outside the list (-1 to 11).";
        QTest::newRow("range -2") << with(1, "-2,0,0,0")
                                  << "Line 2, field 1 (cmbUserRange(0)): -2 is outside the list (-1 to 11).";
        QTest::newRow("not a Boolean")
            << with(2, "#FALSE#,-1") << "Line 3, field 2 (optKeepOff): \"-1\" is neither #TRUE# nor #FALSE#.";
        QTest::newRow("time-out beyond 16 bits")
            << with(7, "32768")
            << "Line 8, field 1 (txtTimeout): 32768 is outside the field's "
               "range (-32768 to 32767).";
    }
    void failedLoadChangesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        AppRig r(StillUnit("K5A-QB4", "DI", "1.02"));
        r.connectViaSetting();
        qb4(r)->cmdSet2_Click();
        const auto io = snapshot(qb4(r)), netPage = snapshot(r.netPage(0));
        const QStringList id = identity();
        r.ui.expect(message, "VIREO", MsgIcon::Critical);
        QVERIFY(!Await(r.session().loadConfig(bytes)));
        QCOMPARE(snapshot(qb4(r)), io);
        QCOMPARE(snapshot(r.netPage(0)), netPage);
        QCOMPARE(identity(), id);
        QVERIFY(r.find<QGroupBox>("Frame6")->isVisibleTo(r.w));
        QVERIFY(qb4(r)->frmSet2->isVisibleTo(qb4(r)));
        NO_SURPRISES(r);
    }

    void missingFileNamesItself() {
        AppRig r(StillUnit("K5A-QB4"));
        r.ui.onOpenFile("/nonexistent/unit.uJx");
        r.ui.expect("/nonexistent/unit.uJx: No such file or directory", "VIREO", MsgIcon::Critical);
        Await(r.session().commandOpen());
        QCOMPARE(g.ActivePage, -1);
        NO_SURPRISES(r);
    }

    void otherModelAsksFirst() {
        QTemporaryDir dir;
        const QString path = dir.filePath("devicenet.uJx");
        QVERIFY(WriteBytes(path, CrLfFile(qb4Lines("K5B-QB4", "Version : 1.02", 1) + QStringList{R"("77",1,40)"})));
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        const QString question = "The file is for K5B-QB4; the connected unit is K5A-QB4. Load anyway?";
        r.ui.onQuestion(question, false);
        QVERIFY(!Await(r.session().openFile(path)));
        QCOMPARE(g.UnitModel, QString("K5A-QB4"));
        QCOMPARE(g.NetTyp, 0);
        // Asked again after loading another model, the unit on the line is still the one named.
        r.ui.onQuestion(question, true);
        QVERIFY(Await(r.session().openFile(path)));
        QCOMPARE(g.NetTyp, 1);
        QCOMPARE(net<QLineEdit>(r, "txtSerial")->text(), QString("77"));
        r.ui.onQuestion(question, true);
        QVERIFY(Await(r.session().openFile(path)));
        // The file of the unit on the line, or any file without a unit, asks nothing.
        QVERIFY(WriteBytes(path, CrLfFile(qb4Lines() + QStringList{"30"})));
        QVERIFY(Await(r.session().openFile(path)));
        r.session().commandDisconnect();
        QVERIFY(WriteBytes(path, CrLfFile(qb4Lines("K5B-QB4", "Version : 1.02", 1) + QStringList{R"("77",1,40)"})));
        QVERIFY(Await(r.session().openFile(path)));
        QCOMPARE(r.ui.questions.size(), 3);
        NO_SURPRISES(r);
    }

    void openClickedDuringAnUploadRunsAfterIt() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.uJx");
        QStringList lines = qb4Lines() + QStringList{"30"};
        lines[6] = R"("-250","10000","0.00","1.0000","-10.000","10.000")";
        QVERIFY(WriteBytes(path, CrLfFile(lines)));
        AppRig r(StillUnit("K5A-QB4"));
        r.connectViaSetting();
        r.unit().addFault({sim::FaultKind::Delay, "", "21", 1, 40}); // channel 1's full scale takes a while
        r.ui.onOpenFile(path);
        int dialogsAtClick = -1;
        QTimer::singleShot(10, [&] {
            Trigger(r.find<QAction>("mnuFilesOpen"));
            dialogsAtClick = r.ui.fileDialogs;
        });
        Await(r.session().commandUpload());
        QCOMPARE(dialogsAtClick, 0);
        // Had it run inside the wait, the Upload would have read channel 3 over it.
        QTRY_COMPARE(qb4(r)->txtZScale[3]->text(), QString("-250"));
        NO_SURPRISES(r);
    }

    void downloadFollowsTheConnection() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.uJx");
        QStringList lines = qb4Lines() + QStringList{"30"};
        lines[3] = R"("-250","10000","0.00","1.0000","-10.000","10.000")";
        QVERIFY(WriteBytes(path, CrLfFile(lines)));
        AppRig r(StillUnit("K5A-QB4"));
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QCOMPARE(r.buttons(), QString("FFFFTFFF"));
        r.connectViaSetting();
        r.find<QPushButton>("btnDownload")->setEnabled(false);
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        QVERIFY(r.find<QPushButton>("btnDownload")->isEnabled());
        // The loaded settings are what Download writes.
        qb4(r)->txtZScale[0]->setText("5");
        r.find<QPushButton>("btnDownload")->setEnabled(false);
        r.ui.onOpenFile(path);
        Await(r.session().commandOpen());
        Await(r.session().commandDownload());
        QCOMPARE(r.unit().value("1", "20"), QString("-250"));
        NO_SURPRISES(r);
    }
};

QTEST_MAIN(ConfigTest)
#include "tst_config.moc"
