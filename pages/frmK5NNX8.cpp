#include "pages/frmK5NNX8.h"
#include "pages/frmNX8.h"

frmK5NNX8::frmK5NNX8(QWidget *parent) : PulsePage("frmK5NNX8", 23, parent) {
    Decl d = EightChannels();
    d.carryItem = {13, 0};
    d.maxItem = {14, 0};
    d.presetItem = {11, 0};
    d.initGroup = d.downloadGroup = d.presetGroup = Group::TwoDigits;
    d.maxRange = {1000, PresetMax};
    d.carry = Carry::Within;
    d.carryRange = {0, 1};
    d.presetWritesF = true;
    d.pointsItem = "16";
    d.firstCountItem = 17;
    // The unit wants time between its reads.
    d.pauseAfterPoints = 50;
    d.pauseAfterExtension = 50;
    d.pauseAfterCount = 10;
    build(d);
}

// The page's record in configuration files: the one of frmNX8.
const cfg::Record *frmK5NNX8::configRecord() const {
    return frmNX8::EightChannelRecord();
}
