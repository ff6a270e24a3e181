#include "pages/frmGZ2.h"
#include "pages/Record.h"
#include "core/Globals.h"

#include <QLabel>

frmGZ2::frmGZ2(QWidget *parent) : LoadCellPage("frmGZ2", 21, parent) {
    Decl d = LoadCellDecl();
    d.hold = Place::View2;
    // One label for both channels: the last channel read decides.
    ChannelItem mode = ChannelRead("09", true, UploadError);
    mode.show = [this](int, const QString &v) {
        lblMode->setText(v == "1" ? "Mode : First order lag filter Mode" : "Mode : Moving average filter Mode");
    };
    d.channelItems = {readInto("38", &LoadCellPage::txtAdjscale), mode, readInto("40", &LoadCellPage::txtAdjGain)};
    for (ChannelItem &c : d.channelItems) c.applies = [] { return g.NewFirmware; };
    buildLoadCell(d, true);
}

co::Task<> frmGZ2::frmGZ2_Init() {
    co_await PageStep("Initializing", [this]() -> co::Task<> {
        co_await beginInit();
        txt_able2(false);
        // Without the new group and without the output hold "Setting 2" has nothing to show.
        setViewButtonsVisible(g.NewFirmware || m_hold->applies());
        txt_visible2(g.NewFirmware);
        co_await readModuleItems();
        co_await readChannels();
        endInit();
        txt_able2(true);
    });
}

// The page's record in configuration files.
const cfg::Record *frmGZ2::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + ScaleLines5(2), .view = ViewReset::Full, .typeCaption = true};
    return &r;
}

// A file says nothing of the new-firmware group's values but its version decides whether it shows.
void frmGZ2::configLoaded() {
    txt_visible2(g.NewFirmware);
}
