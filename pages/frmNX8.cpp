#include "pages/frmNX8.h"

frmNX8::frmNX8(QWidget *parent) : PulsePage("frmNX8", 14, parent) {
    Decl d;
    d.rows = 8;
    d.columns = EightChannelColumns;
    d.holdView = 1;
    // Carry and Max of every channel in the module group, in pairs from item 30.
    d.carry = {30, 2};
    d.max = {31, 2};
    d.preset = {21, 1};
    d.initGroup = d.downloadGroup = d.presetGroup = Group::Module;
    d.maxRange = {10, PresetMax}; // not the heading's 1000
    d.carryRange = std::nullopt;
    d.presetChecked = true;
    d.pointsItem = "20";
    d.pointDigits = 2;
    d.firstCountItem = 21;
    build(d);
}
