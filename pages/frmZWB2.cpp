#include "pages/frmZWB2.h"
#include "pages/Record.h"

// The switch range is read (the unit must answer) and not used; the unit labels keep their
// design text.
frmZWB2::frmZWB2(QWidget *parent)
    : AnalogOutputPage("frmZWB2", 15, {2, 1, std::nullopt, SwitchRange::Unused, {}, {}, nullptr, {}}, {}, parent) {}

// The page's record in configuration files.
const cfg::Record *frmZWB2::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = ScaleLines6(2), .typeCaption = true};
    return &r;
}
