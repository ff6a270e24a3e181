#include "pages/frmQJ4.h"
#include "pages/Record.h"
#include "link/Protocol.h"

frmQJ4::frmQJ4(QWidget *parent) : ScalingPage("frmQJ4", 7, parent) {
    Decl d;
    d.hold = Place::View2;
    Column percent = BiasColumn();
    percent.head = "Percent";
    percent.hint.clear();
    percent.hintName.clear();
    percent.access = Access::Display;
    percent.written = false;
    percent.check = {true, Bound{-32000, 32000}, std::nullopt};
    Column zeroBase = ZeroBase();
    Column fullBase = FullBase();
    for (Column *c : {&zeroBase, &fullBase}) {
        c->access = Access::Edit;
        c->hint = "0 to 10000";
        c->check = {true, Bound{-32000, 32000}, Bound{0, 10000}};
    }
    zeroBase.hintName = "lblZBase";
    fullBase.hintName = "lblFBase";
    // Slot 4 has no column: it is read (its reply only has to come) and never shown or written.
    d.columns = {ZeroScale(), FullScale(), percent, zeroBase, fullBase};
    build(d);
}

co::Task<> frmQJ4::ReadingData() {
    co_await ScalingPage::ReadingData();
    // The percent groups carry a leading zero.
    for (int k = 0; k < 4; ++k) ShowLive(this, txtBias.value(k), -1, co_await ReadItemRetry(3, ChannelGroup(k + 1, true), "34"));
}

// The page's record in configuration files.
const cfg::Record *frmQJ4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + ScaleLines4(4), .view = ViewReset::Full, .typeCaption = true};
    return &r;
}
