#include "pages/frmWC2.h"
#include "pages/Record.h"

frmWC2::frmWC2(QWidget *parent)
    : AnalogOutputPage("frmWC2", 4, {2, 1, Place::View1, SwitchRange::None, {}, {}, nullptr, "mA"},
                       [](Decl &d) { d.framesBelow = true; }, parent) {}

// The page's record in configuration files.
const cfg::Record *frmWC2::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + ScaleLines6(2),
                          .view = ViewReset::Set1,
                          .typeCaption = true,
                          .baseUnit = "mA"};
    return &r;
}
