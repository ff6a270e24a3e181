#include "pages/frmK5NNX8.h"

frmK5NNX8::frmK5NNX8(QWidget *parent) : PulsePage("frmK5NNX8", 23, parent) {
    Decl d;
    d.rows = 8;
    d.columns = EightChannelColumns;
    d.holdView = 1;
    d.carry = {13, 0};
    d.max = {14, 0};
    d.preset = {11, 0};
    d.initGroup = d.downloadGroup = d.presetGroup = Group::TwoDigits;
    d.maxRange = {1000, PresetMax};
    d.carryRange = Bound{0, 1};
    d.carryUpToMax = false;
    d.presetChecked = true;
    d.presetWritesF = true;
    d.pointsItem = "16";
    d.pointDigits = 2;
    d.firstCountItem = 17;
    d.pauseAfterPoints = 50;
    d.pauseAfterExtension = 50;
    d.pauseAfterCount = 10;
    build(d);
}
