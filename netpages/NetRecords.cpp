#include "netpages/NetRecords.h"
#include "pages/Record.h"

using namespace cfg;

namespace {
// Ports are the unit's own 16-bit unsigned numbers; every other integer is a 16-bit signed one.
constexpr int PortMax = 65535;

const Record cclink{{Line{EmptyIsZero(NumberBox("txtTimeout"))}}};
const Record deviceNet{{Line{Identifier(TextBox("txtSerial")), ListIndex("cmbStatus"), NumberBox("txtTimeout")}}};
const Record modbus{{Line{ListIndex("cmbMode"), ListIndex("cmbParity"), NumberBox("txtTimeout")}}};
const Record mechatro{{Line{NumberBox("txtTimeout")}}};
// The boxes of an address run from its last octet (index 0) to its first (index 3).
// clang-format off
const Record ethernet{Lines{Line{NumberBox("txtTimeout(0)")},
                            Line(AsText(NumberBoxes("txtIP", 0, 3))),
                            Line(AsText(NumberBoxes("txtSNM", 0, 3)))} +
                      // A 1.x unit past 1.0 has no gateway to show: its boxes save as 0.
                      When(VersionSeries1, {Line(EmptyIsZero(AsText(NumberBoxes("txtDGW", 0, 3))))}) +
                      Lines{Line(AsText(NumberBoxes("txtPort", 1, 4, 0, PortMax))),
                            Line(AsText(NumberBoxes("txtTimeout", 1, 4)))}};
// clang-format on
const Record flRemote{{Line{NumberBox("Text1"), NumberBox("Text2")}}};
const Record flexnet{{Line{NumberBox("txtAve")}, Line{SubTypField()}}};

// Indexed by NetTyp; HLS and FLEX NETWORK share one page and one record.
const Record *const records[] = {&cclink,   &deviceNet, &modbus,  &mechatro,
                                 &ethernet, &flRemote,  &flexnet, &flexnet};
} // namespace

const Record *NetRecord(int NetTyp) {
    return NetTyp >= 0 && NetTyp < int(std::size(records)) ? records[NetTyp] : nullptr;
}
