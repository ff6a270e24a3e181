#include "pages/frmHM8.h"
#include "pages/Record.h"
#include "pages/Colors.h"
#include "core/Globals.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

frmHM8::frmHM8(QWidget *parent) : DiscretePage("frmHM8", 16, parent) {
    build({.extension = true, .hold = true, .stateFrame = "HM8", .channelCaption = "CH %1"});
}

// The reply's last character is the input, its first the output; "1" is on.
co::Task<> frmHM8::readState(int i) {
    const QString r = co_await InquireItemRetry(3, QString::number(20 + i));
    if (r.isEmpty()) co_return;
    const QString s = AfterColon(r);
    showState(i, s.right(1) == "1", s.left(1) == "1", Colors::TextGreen, Colors::TextRed);
}

co::Task<> frmHM8::frmHM8_Init() {
    txt_able(false);
    co_await PageStep([this]() -> co::Task<> {
        co_await showModel();
        co_await readHold();
        for (int i = 1; i <= ChannelRows(StateRows); ++i) co_await readState(i);
        txt_able(true);
    });
}

co::Task<> frmHM8::ReadingData() {
    co_await WriteItemRetry(3, "00", "01", "F");
    co_await readExtension();
    // All eight channels, whatever the unit's channel count.
    for (int i = 1; i <= StateRows; ++i) co_await readState(i);
}

// The page's record in configuration files.
const cfg::Record *frmHM8::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine(), .typeCaption = true};
    return &r;
}
