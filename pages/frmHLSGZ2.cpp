#include "pages/frmHLSGZ2.h"

frmHLSGZ2::frmHLSGZ2(QWidget *parent) : LoadCellPage("frmHLSGZ2", 22, parent) {
    Decl d = LoadCellDecl();
    d.channelItems = {readInto("42", &LoadCellPage::txtAdjscale), readInto("44", &LoadCellPage::txtAdjGain)};
    buildLoadCell(d, false);
    setViewButtonsVisible(false);
}

void frmHLSGZ2::frmHLSGZ2_Init() {
    PageStep("Initializing", [this] {
        beginInit();
        txt_able2(false);
        readChannels();
        // The view buttons stay as they are, and so does the new-firmware group.
        txt_able(true);
    });
}
