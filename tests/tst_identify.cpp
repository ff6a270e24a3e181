// Model classification, network kind and the point-cell painters.
#include "pages/Colors.h"
#include "pages/ExtCells.h"
#include "core/Globals.h"
#include "core/Identify.h"
#include "pages/Widgets.h"
#include "app/frmVireo.h"
#include "core/Session.h"
#include "tests/TestKit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class IdentifyTest : public QObject {
    Q_OBJECT
private slots:
    void init() { InitGlobals(); }

    void classifyModel_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("modelnum");
        QTest::addColumn<int>("subTyp");
        const QList<std::tuple<const char *, int, int>> rows = {
            {"QB4", 0, 1},    {"QBW4", 0, 4},  {"QK4", 1, 2},   {"QW4", 2, 3},   {"WB2", 3, 0},   {"WC2", 4, 0},
            {"KO16", 5, 0},   {"KO16W", 5, 0}, {"KI16", 6, 0},  {"QJ4", 7, 0},   {"QX4V", 8, 0},  {"KI8R", 9, 0},
            {"NX16", 10, 0},  {"QH4", 11, 0},  {"WB4", 12, 0},  {"WC4", 13, 0},  {"NX8", 14, 0},  {"ZWBW2", 15, 0},
            {"HM8", 16, 0},   {"NX2", 17, 0},  {"QBW8", 18, 0}, {"WB4Y", 19, 0}, {"KOR16", 20, 0}, {"GZ2", 21, 0},
            {"QZ4U", 24, 0},  {"KI4H", 25, 0}, {"QB8", 99, 0},  {"NONE", 99, 0}, {"", 99, 0},     {"QX4", 99, 0},
            {"AB4", 99, 0},   {"XX6", 99, 0},  {"QB4-EXTRA", 0, 1},
        };
        for (const auto &[code, m, s] : rows) QTest::newRow(code[0] ? code : "empty") << code << m << s;
    }
    void classifyModel() {
        QFETCH(QString, code);
        QFETCH(int, modelnum);
        QFETCH(int, subTyp);
        g.SubTyp = 7;
        ClassifyModel(code);
        QCOMPARE(g.modelnum, modelnum);
        QCOMPARE(g.SubTyp, subTyp);
    }

    void netTypeAndButton_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("subTyp");
        QTest::addColumn<int>("netTyp");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("visible");
        QTest::newRow("CC-Link") << "K5A-QB4" << 1 << 0 << "CC-Link" << 10 << true;
        QTest::newRow("DeviceNet") << "K5B-KI16" << 0 << 1 << "DeviceNet" << 10 << true;
        QTest::newRow("Modbus") << "K5G-KO16W" << 0 << 2 << "Modbus" << 10 << true;
        QTest::newRow("MECHATROLINK") << "K5GT-QB4" << 1 << 3 << "MECHATROLINK" << 9 << true;
        QTest::newRow("Ethernet") << "K5N-NX8" << 0 << 4 << "Ethernet" << 9 << true;
        QTest::newRow("FL-Remote") << "K5PW-WB2" << 0 << 5 << "FL-Remote" << 9 << true;
        QTest::newRow("HLS subtyped") << "K5VS-QK4" << 2 << 6 << "HLS" << 10 << true;
        QTest::newRow("HLS plain") << "K5VS-GZ2" << 0 << 6 << "HLS" << 10 << false;
        QTest::newRow("FLEX subtyped") << "K5PX-QBW4" << 4 << 7 << "FLEX NETWORK" << 9 << true;
        QTest::newRow("FLEX plain") << "K5PX-WB2" << 0 << 7 << "FLEX NETWORK" << 9 << false;
        QTest::newRow("unknown") << "K5Z-QB4" << 1 << 99 << "" << 0 << false;
    }
    void netTypeAndButton() {
        QFETCH(QString, model);
        QFETCH(int, subTyp);
        QFETCH(int, netTyp);
        QFETCH(QString, caption);
        QFETCH(int, points);
        QFETCH(bool, visible);
        frmVireo w;
        w.show();
        g.SubTyp = subTyp;
        w.session().SetNetType(model);
        QCOMPARE(g.NetTyp, netTyp);
        const auto *button = w.findChild<QPushButton *>("btnComNet");
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->isVisible(), visible);
        if (points) QCOMPARE(button->font().pointSize(), points);
    }

    void paintHexBits() {
        QWidget page;
        QList<QLineEdit *> cells;
        for (int i = 0; i < 16; ++i) cells << MakeCell(&page, IndexedName("txtChData", i), QString());
        auto green = [&](int i) { return BackColor(cells[i]) == Colors::PointOn; };
        auto red = [&](int i) { return BackColor(cells[i]) == Colors::PointOff; };
        PaintHexBits(&page, "8001");
        QVERIFY(green(15) && green(0));
        for (int i = 1; i < 15; ++i) QVERIFY2(red(i), qPrintable(QString::number(i)));
        // Three digits: the missing fourth leaves cells 0..3 as they were.
        PaintHexBits(&page, "FFFF");
        PaintHexBits(&page, "00F");
        for (int i = 12; i < 16; ++i) QVERIFY(red(i));
        for (int i = 8; i < 12; ++i) QVERIFY(red(i));
        for (int i = 4; i < 8; ++i) QVERIFY(green(i));
        for (int i = 0; i < 4; ++i) QVERIFY(green(i));
        // Lower-case letters leave their cells.
        PaintHexBits(&page, "0a00");
        QVERIFY(green(8) == false && red(8));
        PaintHexBits(&page, "FFFF");
        PaintHexBits(&page, "0a00");
        QVERIFY(green(8) && green(11));
    }

    void ownCellPainterOnEightCells() {
        QWidget page;
        QList<QLineEdit *> cells;
        for (int i = 0; i < 8; ++i) cells << MakeCell(&page, IndexedName("txtCData", i), QString());
        PaintHexCells(cells, "81", 2); // second digit cells 0..3, first 4..7
        QCOMPARE(BackColor(cells[0]), Colors::PointOn);
        QCOMPARE(BackColor(cells[7]), Colors::PointOn);
        for (int i = 1; i < 7; ++i) QCOMPARE(BackColor(cells[i]), Colors::PointOff);
    }

    void initExtCellsByModule() {
        SimRig rig;
        rig.unit().setValue("00", "12", "EX:x8001");
        QWidget page;
        for (int i = 0; i < 16; ++i) MakeCell(&page, IndexedName("txtChData", i), QString());
        auto *ext = MakeLabel(&page, "lblV_Ext", "x");
        auto *index = MakeLabel(&page, IndexedName("lblExtIndex", 0), QString());
        page.show();
        auto cell = [&](int i) { return Control<QLineEdit>(&page, IndexedName("txtChData", i)); };

        g.ExtName = "DI";
        g.ExtType = "XD8";
        g.ExtChCount = 8;
        Await(InitExtCells(&page));
        QCOMPARE(ext->text(), QString("XD8"));
        QVERIFY(ext->isVisible() && index->isVisible());
        QCOMPARE(index->text(), QString("0  1  2  3                4  5  6  7"));
        QVERIFY(cell(7)->isVisible() && !cell(8)->isVisible());
        QCOMPARE(BackColor(cell(15)), Colors::PointOn); // painted though hidden
        QCOMPARE(rig.lines(), QStringList({"G00", "I12"}));

        g.ExtChCount = 16;
        g.ExtType = "XD16";
        Await(InitExtCells(&page));
        QCOMPARE(index->text(), QString(ExtIndex16));
        QVERIFY(cell(15)->isVisible());

        rig.clearLines();
        g.ExtName = "NONE";
        Await(InitExtCells(&page));
        QVERIFY(!ext->isVisible() && ext->text().isEmpty() && !index->isVisible());
        for (int i = 0; i < 16; ++i) {
            QVERIFY(!cell(i)->isVisible());
            QCOMPARE(BackColor(cell(i)), Colors::PointOff);
        }
        QVERIFY(rig.lines().isEmpty());
    }
};

QTEST_MAIN(IdentifyTest)
#include "tst_identify.moc"
