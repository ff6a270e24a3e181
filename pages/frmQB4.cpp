#include "pages/frmQB4.h"
#include "core/Globals.h"

const QStringList frmQB4::RangeList = {"-10V to 10V",  "-5V to 5V",     "-1V to 1V",     "0V to 10V",
                                       "0V to 5V",     "1V to 5V",      "0V to 1V",      "-0.5V to 0.5V",
                                       "-------------", "-20mA to 20mA", "4mA to 20mA", "0mA to 20mA"};

frmQB4::frmQB4(QWidget *parent) : ScalingPage("frmQB4", 0, parent) {
    Decl d;
    d.switchRange = SwitchRange::Used;
    d.hold = Place::View2;
    d.columns = SlotColumns() << RangeColumn(Place::View2, "Range", RangeList);
    d.unitTable = &UnitTblQB4;
    d.channelItems = {rangeItem(false, EndSilently)};
    build(d);
}

// The page's record in configuration files.
#include "pages/Record.h"

const cfg::Record *frmQB4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(4, RangeList) + HoldLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
