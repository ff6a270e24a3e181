#include "pages/frmWC4.h"

frmWC4::frmWC4(QWidget *parent)
    : AnalogOutputPage("frmWC4", 13, {4, 2, Place::View2, SwitchRange::None, {}, {}, nullptr, "mA"},
                       [](Decl &d) { d.framesBelow = true; }, parent) {}
