#pragma once
// Program-wide state and the constant reference tables. Names are the ones the
// rest of the program (and the configuration files) know them by.
#include <QString>
#include <QStringList>
#include <array>

#include "link/TextRoutines.h" // IsKnownVersion

constexpr int True = -1;
constexpr int False = 0;

struct ChParamRec {
    QString Value1, Item1, Value2, Item2, Value3, Item3;
    QString Value4, Item4, Value5, Item5, Value6, Item6;

    // Slot access by number 1..6, so that loops need not spell out each field.
    QString &value(int slot);
    QString &item(int slot);
    const QString &value(int slot) const { return const_cast<ChParamRec *>(this)->value(slot); }
    const QString &item(int slot) const { return const_cast<ChParamRec *>(this)->item(slot); }
};

struct Globals {
    QString UnitModel = "NONE";
    // The model text the unit on the line gave at its last identification; files leave it alone.
    QString IdentifiedModel;
    int modelnum = -1;
    int ActivePage = -1;
    int NetTyp = -1;
    QString VersionText;
    int ChCount = 0;
    int SubTyp = 0;
    QString ExtName;
    QString ExtType;
    int ExtChCount = 0;
    bool ExtAsked = false;
    int ComPortNo = 1;
    QString BaudRate = "9600";
    bool Connected = false;
    bool Monitoring = false;
    bool PageShown = false;
    bool NewFirmware = false;
    int DispSpeed = 0;
    int ChkErrNo = 0;
    std::array<ChParamRec, 16> ChParam{};

    // Set once the program has been told to end; long sequences unwind quietly.
    bool ProgramEnding = false;
};

extern Globals g;

void InitGlobals();
void SetChItems(int ch);

// Item code tables, indexed by modelnum; -1 marks a slot the kind lacks.
extern const std::array<int, 26> ItemTbl1, ItemTbl2, ItemTbl3, ItemTbl4, ItemTbl5, ItemTbl6;
int ItemTbl(int slot, int modelnum); // slot 1..6

// Unit labels indexed by range position.
extern const QStringList UnitTblQB4, UnitTblQB8, UnitTblWB2, UnitTblWB4, UnitTblWB4M, UnitTblQX4M, UnitTblQZ4U;
// Entry of a unit table, or the empty text for a position the table lacks.
QString UnitAt(const QStringList &table, int index);

struct RangeRec {
    QList<int> MinList;
    QList<int> MaxList;
    QString UnitName;
};
// Indexed by temperature unit: 0 deg C, 1 deg F, 2 K.
extern const std::array<RangeRec, 3> TcRange, RtdRange, RtRange;

