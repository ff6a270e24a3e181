#include "pages/frmQZ4U.h"
#include "pages/Record.h"
#include "core/Globals.h"

frmQZ4U::frmQZ4U(QWidget *parent) : ScalingPage("frmQZ4U", 24, parent) {
    Decl d;
    // The switch range is read (the unit must answer) but every channel shows mA.
    d.switchRange = SwitchRange::Unused;
    d.hold = Place::View2;
    d.columns = SlotColumns();
    d.fixedUnit = UnitTblQZ4U.first();
    // The channel's range is asked for and its answer not used.
    ChannelItem range = ChannelRead("09", false, NoBranch);
    range.show = [](int, const QString &) {};
    d.channelItems = {range};
    build(d);
}

// The page's record in configuration files.
const cfg::Record *frmQZ4U::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + ScaleLines6(4), .view = ViewReset::Full, .typeCaption = true};
    return &r;
}
