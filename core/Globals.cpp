#include "core/Globals.h"

Globals g;

QString &ChParamRec::value(int slot) {
    switch (slot) {
    case 1: return Value1;
    case 2: return Value2;
    case 3: return Value3;
    case 4: return Value4;
    case 5: return Value5;
    default: return Value6;
    }
}

QString &ChParamRec::item(int slot) {
    switch (slot) {
    case 1: return Item1;
    case 2: return Item2;
    case 3: return Item3;
    case 4: return Item4;
    case 5: return Item5;
    default: return Item6;
    }
}

//                                         0   1   2   3   4   5   6   7   8   9  10  11  12  13  14  15  16  17  18  19  20  21  22  23  24  25
const std::array<int, 26> ItemTbl1 = {20, 20, 20, 20, 20, -1, -1, 20, 20, -1, 13, 20, 20, 20, -1, 20, -1, 20, 20, 20, -1, 20, 20, -1, 20, -1};
const std::array<int, 26> ItemTbl2 = {21, 21, 21, 21, 21, -1, -1, 21, 21, -1, 14, 21, 21, 21, -1, 21, -1, 21, 21, 21, -1, 21, 21, -1, 21, -1};
const std::array<int, 26> ItemTbl3 = {22, 22, 22, 22, 22, -1, -1, 34, 22, -1, -1, 22, 22, 22, -1, 22, -1, 22, 22, 22, -1, 22, 22, -1, 22, -1};
const std::array<int, 26> ItemTbl4 = {23, 23, 23, 23, 23, -1, -1, -1, 23, -1, -1, 23, 23, 23, -1, 23, -1, 23, 23, 23, -1, 23, 23, -1, 23, -1};
const std::array<int, 26> ItemTbl5 = {24, 24, 24, 24, 24, -1, -1, 32, 24, -1, -1, 24, 24, 24, -1, 24, -1, 24, 24, 24, -1, 28, 28, -1, 24, -1};
const std::array<int, 26> ItemTbl6 = {25, 25, 25, 25, 25, -1, -1, 33, 25, -1, -1, 25, 25, 25, -1, 25, -1, 25, 25, 25, -1, 50, -1, -1, 25, -1};

int ItemTbl(int slot, int modelnum) {
    static const std::array<const std::array<int, 26> *, 6> tables = {&ItemTbl1, &ItemTbl2, &ItemTbl3,
                                                                       &ItemTbl4, &ItemTbl5, &ItemTbl6};
    if (slot < 1 || slot > 6 || modelnum < 0 || modelnum > 25) return -1;
    return (*tables[slot - 1])[modelnum];
}

static QStringList repeated(int n, const QString &text) {
    QStringList l;
    for (int i = 0; i < n; ++i) l << text;
    return l;
}

static QStringList voltsThen(const QString &last) { return repeated(15, "V") << last; }

const QStringList UnitTblQB4 = repeated(9, "V") + repeated(3, "mA") + repeated(3, "V") + QStringList{""};
const QStringList UnitTblQB8 = UnitTblQB4;
const QStringList UnitTblWB2 = voltsThen("");
const QStringList UnitTblWB4 = voltsThen("");
const QStringList UnitTblWB4M = voltsThen("");
const QStringList UnitTblQX4M = repeated(15, "A") << "";
const QStringList UnitTblQZ4U = {"mA"};

QString UnitAt(const QStringList &table, int index) {
    return index >= 0 && index < table.size() ? table.at(index) : QString();
}

namespace {
// Builds one unit's RangeRec from (min, max) pairs at given sensor positions; other positions stay 0.
RangeRec range(int size, std::initializer_list<std::array<int, 3>> rows, const char *unit) {
    RangeRec r;
    r.MinList = QList<int>(size, 0);
    r.MaxList = QList<int>(size, 0);
    for (const auto &row : rows) {
        r.MinList[row[0]] = row[1];
        r.MaxList[row[0]] = row[2];
    }
    r.UnitName = unit;
    return r;
}
} // namespace

// The deg C minimum list of the thermocouple table is one entry shorter than the others.
const std::array<RangeRec, 3> TcRange = {
    [] {
        RangeRec r = range(21,
                           {{0, -272, 1472}, {1, -272, 1120}, {2, -260, 1300}, {3, -272, 500}, {4, 24, 1920},
                            {5, -100, 1860}, {6, -100, 1860}, {7, -52, 2416}, {8, -272, 1400}, {9, -252, 700},
                            {10, -252, 1000}, {11, -52, 1496}, {12, -52, 1860}},
                           "deg C");
        r.MinList.resize(20);
        return r;
    }(),
    range(21,
          {{0, -458, 2682}, {1, -458, 2048}, {2, -436, 2372}, {3, -458, 932}, {4, 75, 3488}, {5, -148, 3380},
           {6, -148, 3380}, {7, -62, 4381}, {8, -458, 2552}, {9, -422, 1292}, {10, -422, 1832}, {11, -62, 2725},
           {12, -62, 3380}},
          "deg F"),
    range(21,
          {{0, 1, 1745}, {1, 1, 1393}, {2, 13, 1573}, {3, 1, 773}, {4, 297, 2193}, {5, 173, 2133}, {6, 173, 2133},
           {7, 221, 2689}, {8, 1, 1673}, {9, 21, 973}, {10, 21, 1273}, {11, 221, 1769}, {12, 221, 2133}},
          "K"),
};

const std::array<RangeRec, 3> RtdRange = {
    range(17, {{0, -240, 900}, {1, -240, 900}, {2, -236, 560}, {3, -236, 700}, {4, -100, 252}, {5, -212, 312}, {8, -100, 200}},
          "deg C"),
    range(17, {{0, -400, 1652}, {1, -400, 1652}, {2, -393, 1040}, {3, -393, 1292}, {4, -148, 486}, {5, -350, 594}, {8, -148, 392}},
          "deg F"),
    range(17, {{0, 33, 1173}, {1, 33, 1173}, {2, 37, 833}, {3, 37, 973}, {4, 173, 525}, {5, 61, 585}, {8, 173, 473}},
          "K"),
};

const std::array<RangeRec, 3> RtRange = {
    range(1, {{0, -50, 110}}, "deg C"),
    range(1, {{0, -58, 230}}, "deg F"),
    range(1, {{0, 223, 383}}, "K"),
};

void InitGlobals() { g = Globals{}; }

void SetChItems(int ch) {
    if (g.modelnum == 99) return;
    if (ch < 1 || ch > 16 || g.modelnum < 0 || g.modelnum > 25) return;
    ChParamRec &p = g.ChParam[ch - 1];
    for (int slot = 1; slot <= 6; ++slot) p.item(slot) = QString::number(ItemTbl(slot, g.modelnum));
}
