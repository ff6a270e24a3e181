#include "pages/frmZWB2.h"

// The switch range is read (the unit must answer) and not used; the unit labels keep their
// design text.
frmZWB2::frmZWB2(QWidget *parent)
    : AnalogOutputPage("frmZWB2", 15, {2, 1, std::nullopt, SwitchRange::Unused, {}, {}, nullptr, {}}, {}, parent) {}
