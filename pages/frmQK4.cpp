#include "pages/frmQK4.h"

const QStringList frmQK4::TypeList = {"K(CA)", "E(CRC)", "J(IC)", "T(CC)", "B(RH)", "R", "S",
                                      "C(WRe 5-26)", "N", "U", "L", "P", "PR"};

frmQK4::frmQK4(QWidget *parent)
    : TemperaturePage("frmQK4", 1, {TypeList, &TcRange, "lblTcType", "Tc type", "TC Type"}, parent) {}
