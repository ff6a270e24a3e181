#include "pages/frmQW4.h"
#include "pages/Record.h"

const QStringList frmQW4::TypeList = {"Pt100(JIS'97)", "Pt100(JIS'89)", "JPt100(JIS'89)", "Pt50(JIS'81)", "Ni100",
                                      "Cu10", "-------------", "-------------", "Cu50"};

// The channel reads are inquired in the group slot 1 selected, and the second view is open
// while Init runs.
frmQW4::frmQW4(QWidget *parent)
    : TemperaturePage("frmQW4", 2,
                      {TypeList, &RtdRange, "lblRtdType", "Rtd type", "RTD Type", /*selectChannelReads*/ false,
                       /*typeAndUnitFirst*/ false, /*viewsOpenInInit*/ true},
                      parent) {}

// The page's record in configuration files.
const cfg::Record *frmQW4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(4, TypeList) + UnitLine(RtdRange) + HoldLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
