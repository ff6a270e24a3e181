#include "pages/frmQH4.h"
#include "pages/Record.h"

const QStringList frmQH4::TypeList = {"TH_502AT"};

// As the RTD page, but a Download sends type and unit of a channel before its scaling values.
frmQH4::frmQH4(QWidget *parent)
    : TemperaturePage("frmQH4", 11,
                      {TypeList, &RtRange, "lblRtdType", "Rtd type", "RTD Type", /*selectChannelReads*/ false,
                       /*typeAndUnitFirst*/ true, /*viewsOpenInInit*/ true},
                      parent) {}

// The page's record in configuration files.
const cfg::Record *frmQH4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(4, TypeList) + UnitLine(RtRange) + HoldLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
