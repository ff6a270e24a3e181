#include "pages/frmQB8.h"
#include "pages/Record.h"
#include "core/Globals.h"

const QStringList frmQB8::RangeList = {"-10V to 10V", "-5V to 5V", "-------------", "0V to 10V", "0V to 5V", "1V to 5V"};

frmQB8::frmQB8(QWidget *parent) : ScalingPage("frmQB8", 18, parent) {
    Decl d;
    d.rows = 8;
    d.rowsPerView = 4;
    d.set1Caption = "CH 0 to CH 3";
    d.set2Caption = "CH 4 to CH 7";
    d.extDisplay = false;
    d.switchRange = SwitchRange::Used;
    d.liveFollowsChCount = true;
    d.columns = SlotColumns()
                << RangeColumn(Place::RowView, "Range ( PC Configurator setting. SW1-3:ON  SW1-4:ON  SW1-5:ON  SW1-6:ON )",
                               RangeList);
    // Scales and bases are shown as read and never checked or written.
    for (Column &c : d.columns) {
        c.place = Place::RowView;
        c.width = 52;
        if (c.slot == 1 || c.slot == 2 || c.slot == 5 || c.slot == 6) {
            c.access = Access::Display;
            c.written = false;
            c.check = {};
            c.hint.clear();
            c.hintName.clear();
        }
    }
    d.columns.last().width = 112;
    d.unitTable = &UnitTblQB8;
    d.channelItems = {rangeItem(false, EndSilently)};
    build(d);
}

// The page's record in configuration files.
const cfg::Record *frmQB8::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(8, RangeList) + ScaleLines6(8), .view = ViewReset::Full, .typeCaption = true};
    return &r;
}
