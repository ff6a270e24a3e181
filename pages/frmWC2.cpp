#include "pages/frmWC2.h"

frmWC2::frmWC2(QWidget *parent)
    : AnalogOutputPage("frmWC2", 4, {2, 1, Place::View1, SwitchRange::None, {}, {}, nullptr, "mA"},
                       [](Decl &d) { d.framesBelow = true; }, parent) {}
