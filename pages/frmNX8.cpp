#include "pages/frmNX8.h"
#include "pages/Record.h"

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

// The page's record in configuration files: Carry and Max of all eight channels. The Ethernet
// unit's page has the same.
const cfg::Record *frmNX8::EightChannelRecord() {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + ChannelLines(8, {"txtOver", "txtFScale"}),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}

const cfg::Record *frmNX8::configRecord() const {
    return EightChannelRecord();
}
