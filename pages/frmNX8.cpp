#include "pages/frmNX8.h"

frmNX8::frmNX8(QWidget *parent) : PulsePage("frmNX8", 14, parent) {
    Decl d = EightChannels();
    // Carry and Max of every channel in the module group, in pairs from item 30; the preset
    // of a channel is its count item.
    d.carryItem = {30, 2};
    d.maxItem = {31, 2};
    d.presetItem = {21, 1};
    d.initGroup = d.downloadGroup = d.presetGroup = Group::Module;
    d.maxRange = {10, PresetMax}; // not the heading's 1000
    d.carry = Carry::Any;
    d.pointsItem = "20";
    d.firstCountItem = 21;
    build(d);
}
