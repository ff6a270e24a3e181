#include "pages/frmWB4M.h"
#include "pages/Record.h"
#include "core/Globals.h"

const QStringList frmWB4M::RangeList = {"-10V to 10V", "-5V to 5V", "-----------", "0V to 10V", "0V to 5V", "1V to 5V"};

frmWB4M::frmWB4M(QWidget *parent)
    : AnalogOutputPage("frmWB4M", 19,
                       {4, 1, std::nullopt, SwitchRange::Used, RangeList,
                        "Range ( PC Configurator setting. SW1-3:ON  SW1-4:ON  SW1-5:ON  SW1-6:ON )", &UnitTblWB4M, {}},
                       [](Decl &d) {
                           // The scales are shown and written back as read, never edited nor checked.
                           for (Column &c : d.columns) {
                               c.width = c.slot > 0 ? 52 : 112;
                               if (c.slot == 1 || c.slot == 2) {
                                   c.access = Access::Display;
                                   c.check = {};
                                   c.hint.clear();
                                   c.hintName.clear();
                               }
                           }
                           d.liveFollowsChCount = true;
                           d.readExtension = false; // the points stay as Init read them
                       },
                       parent) {}

// The page's record in configuration files.
const cfg::Record *frmWB4M::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(4, RangeList) + ScaleLines6(4), .typeCaption = true};
    return &r;
}
