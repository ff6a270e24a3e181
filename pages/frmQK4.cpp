#include "pages/frmQK4.h"
#include "pages/Record.h"

const QStringList frmQK4::TypeList = {"K(CA)", "E(CRC)", "J(IC)", "T(CC)", "B(RH)", "R", "S",
                                      "C(WRe 5-26)", "N", "U", "L", "P", "PR"};

frmQK4::frmQK4(QWidget *parent)
    : TemperaturePage("frmQK4", 1, {TypeList, &TcRange, "lblTcType", "Tc type", "TC Type"}, parent) {}

// The page's record in configuration files.
const cfg::Record *frmQK4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(4, TypeList) + UnitLine(TcRange) + HoldLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
