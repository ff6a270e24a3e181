// Defaults, reference tables and channel item slots.
#include "core/Globals.h"

#include <QtTest>

class GlobalsTest : public QObject {
    Q_OBJECT
private slots:
    void initGlobalsResetsEverything() {
        g.UnitModel = "K5A-QB4";
        g.modelnum = 0;
        g.ActivePage = 0;
        g.Connected = true;
        g.ChParam[3].Value2 = "x";
        g.ComPortNo = 5;
        g.ProgramEnding = true;
        InitGlobals();
        QCOMPARE(g.UnitModel, QString("NONE"));
        QCOMPARE(g.modelnum, -1);
        QCOMPARE(g.ActivePage, -1);
        QCOMPARE(g.NetTyp, -1);
        QCOMPARE(g.ComPortNo, 1);
        QCOMPARE(g.BaudRate, QString("9600"));
        QCOMPARE(g.ChCount, 0);
        QVERIFY(!g.Connected && !g.Monitoring && !g.PageShown && !g.NewFirmware && !g.ExtAsked);
        QVERIFY(!g.ProgramEnding);
        QVERIFY(g.ChParam[3].Value2.isEmpty());
        QVERIFY(g.VersionText.isEmpty() && g.ExtName.isEmpty() && g.ExtType.isEmpty());
    }

    void itemTables() {
        // Spot checks across kinds whose slots differ from the plain 20..25.
        QCOMPARE(ItemTbl(1, 10), 13);
        QCOMPARE(ItemTbl(2, 10), 14);
        QCOMPARE(ItemTbl(3, 7), 34);
        QCOMPARE(ItemTbl(4, 7), -1);
        QCOMPARE(ItemTbl(5, 7), 32);
        QCOMPARE(ItemTbl(6, 7), 33);
        QCOMPARE(ItemTbl(5, 21), 28);
        QCOMPARE(ItemTbl(6, 21), 50);
        QCOMPARE(ItemTbl(6, 22), -1);
        QCOMPARE(ItemTbl(1, 25), -1);
        int plain = 0;
        for (int m = 0; m < 26; ++m)
            if (ItemTbl(1, m) == 20 && ItemTbl(6, m) == 25) ++plain;
        QCOMPARE(plain, 14);
        QCOMPARE(ItemTbl(0, 0), -1);
        QCOMPARE(ItemTbl(1, 26), -1);
    }

    void setChItems() {
        InitGlobals();
        g.modelnum = 5;
        SetChItems(2);
        for (int s = 1; s <= 6; ++s) QCOMPARE(g.ChParam[1].item(s), QString("-1"));
        g.modelnum = 7;
        SetChItems(16);
        QCOMPARE(QStringList({g.ChParam[15].Item1, g.ChParam[15].Item3, g.ChParam[15].Item4, g.ChParam[15].Item6}),
                 QStringList({"20", "34", "-1", "33"}));
        g.modelnum = 99;
        g.ChParam[0].Item1 = "keep";
        SetChItems(1);
        QCOMPARE(g.ChParam[0].Item1, QString("keep"));
        g.modelnum = 0;
        SetChItems(0);   // out of range: ignored
        SetChItems(17);
    }

    void unitTables() {
        QCOMPARE(UnitTblQB4.size(), 16);
        QCOMPARE(UnitTblQB4.at(8), QString("V"));
        QCOMPARE(UnitTblQB4.at(9), QString("mA"));
        QCOMPARE(UnitTblQB4.at(11), QString("mA"));
        QCOMPARE(UnitTblQB4.at(12), QString("V"));
        QCOMPARE(UnitTblQB4.at(15), QString());
        QCOMPARE(UnitTblQB8, UnitTblQB4);
        QCOMPARE(UnitTblQX4M.at(14), QString("A"));
        QCOMPARE(UnitTblWB4M.at(15), QString());
        QCOMPARE(UnitTblQZ4U, QStringList{"mA"});
        QCOMPARE(UnitAt(UnitTblQB4, 16), QString());
        QCOMPARE(UnitAt(UnitTblQB4, -1), QString());
    }

    void temperatureRanges() {
        QCOMPARE(TcRange[0].MinList.size(), 20);
        QCOMPARE(TcRange[0].MaxList.size(), 21);
        QCOMPARE(TcRange[1].MinList.size(), 21);
        QCOMPARE(TcRange[0].MinList[4], 24);
        QCOMPARE(TcRange[1].MaxList[7], 4381);
        QCOMPARE(TcRange[2].MaxList[12], 2133);
        QCOMPARE(TcRange[0].MinList[13], 0);
        QCOMPARE(TcRange[2].UnitName, QString("K"));
        QCOMPARE(RtdRange[0].MinList.size(), 17);
        QCOMPARE(RtdRange[1].MinList[8], -148);
        QCOMPARE(RtdRange[2].MaxList[5], 585);
        QCOMPARE(RtdRange[0].MaxList[6], 0);
        QCOMPARE(RtRange[1].MaxList[0], 230);
        QCOMPARE(RtRange[2].MinList[0], 223);
        QCOMPARE(RtRange[0].UnitName, QString("deg C"));
    }

    void knownVersions() {
        QVERIFY(IsKnownVersion(" 1.02"));
        QVERIFY(IsKnownVersion("1.00"));
        QVERIFY(!IsKnownVersion("1.04"));
        QVERIFY(!IsKnownVersion("  1.02"));
    }
};

QTEST_MAIN(GlobalsTest)
#include "tst_globals.moc"
