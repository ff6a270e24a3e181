#include "pages/frmWB4.h"
#include "pages/Record.h"
#include "core/Globals.h"

const QStringList frmWB4::RangeList = {"-10V to 10V", "-5V to 5V", "0V to 10V", "0V to 5V", "1V to 5V"};

frmWB4::frmWB4(QWidget *parent)
    : AnalogOutputPage("frmWB4", 12,
                       {4, 2, Place::View2, SwitchRange::Used, RangeList, "Selected Range", &UnitTblWB4, {}}, {},
                       parent) {}

// The page's record in configuration files.
const cfg::Record *frmWB4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(4, RangeList) + HoldLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
