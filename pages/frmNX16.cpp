#include "pages/frmNX16.h"
#include "pages/Record.h"

frmNX16::frmNX16(QWidget *parent) : PulsePage("frmNX16", 10, parent) {
    Decl d;
    d.rows = 16;
    d.columns = {{"txtOver", "Carry", 0, 70},
                 {"txtFScale", "Max", 0, 84},
                 {"txtNX", "Count", 0, 84},
                 {"cmdPreset", "", 1, 52},
                 {"txtPreset", "Preset Count", 1, 100}};
    d.holdView = 1;
    d.itemsFromChParam = true; // "13" and "14" by the item tables
    d.presetItem = {11, 0};
    d.initGroup = Group::Number;
    d.downloadGroup = Group::TwoDigits;
    d.presetGroup = Group::TwoDigits;
    d.maxRange = {0, 1000000000};
    d.carry = Carry::UpToMax;
    d.pointsItem = "20";
    d.pointDigits = 4;
    d.firstCountItem = 21;
    build(d);
}

// The page's record in configuration files: the Max of all sixteen channels, whatever ChCount says.
const cfg::Record *frmNX16::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + ChannelLines(16, {"txtFScale"}),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
