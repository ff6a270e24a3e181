#include "pages/frmHLSGZ2.h"
#include "pages/Record.h"

frmHLSGZ2::frmHLSGZ2(QWidget *parent) : LoadCellPage("frmHLSGZ2", 22, parent) {
    Decl d = LoadCellDecl();
    d.channelItems = {readInto("42", &LoadCellPage::txtAdjscale), readInto("44", &LoadCellPage::txtAdjGain)};
    buildLoadCell(d, false);
    setViewButtonsVisible(false);
}

co::Task<> frmHLSGZ2::frmHLSGZ2_Init() {
    co_await PageStep("Initializing", [this]() -> co::Task<> {
        co_await beginInit();
        txt_able2(false);
        co_await readChannels();
        // The view buttons stay as they are, and so does the new-firmware group.
        txt_able(true);
    });
}

// The page's record in configuration files.
const cfg::Record *frmHLSGZ2::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = ScaleLines5(2), .view = ViewReset::Full, .typeCaption = true};
    return &r;
}
