#include "pages/frmWC4.h"
#include "pages/Record.h"

frmWC4::frmWC4(QWidget *parent)
    : AnalogOutputPage("frmWC4", 13, {4, 2, Place::View2, SwitchRange::None, {}, {}, nullptr, "mA"},
                       [](Decl &d) { d.framesBelow = true; }, parent) {}

// The page's record in configuration files.
const cfg::Record *frmWC4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true,
                          .baseUnit = "mA"};
    return &r;
}
