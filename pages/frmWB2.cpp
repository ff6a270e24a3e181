#include "pages/frmWB2.h"
#include "pages/Record.h"
#include "core/Globals.h"

const QStringList frmWB2::RangeList = {"-10V to 10V", "-5V to 5V", "-1V to 1V", "0V to 10V",
                                       "0V to 5V",    "1V to 5V",  "0V to 1V",  "-0.5V to 0.5V"};

frmWB2::frmWB2(QWidget *parent)
    : AnalogOutputPage("frmWB2", 3,
                       {2, 2, Place::View2, SwitchRange::Used, RangeList, "Selected Range", &UnitTblWB2, {}}, {},
                       parent) {}

// The page's record in configuration files.
const cfg::Record *frmWB2::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(2, RangeList) + HoldLine() + ScaleLines6(2),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
