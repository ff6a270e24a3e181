#include "pages/frmKOR16.h"
#include "pages/Record.h"
#include "pages/Colors.h"
#include "core/Globals.h"
#include "pages/Settings.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
// The output mode of each channel pair: "0" is "Mainteined", anything else "Momentary".
struct ModePair {
    const char *caption;
    const char *item;
};
constexpr ModePair Modes[] = {
    {"CH 0/1 Output Mode", "16"},
    {"CH 2/3 Output Mode", "17"},
    {"CH 4/5 Output Mode", "18"},
    {"CH 6/7 Output Mode", "19"},
};
} // namespace

frmKOR16::frmKOR16(QWidget *parent) : DiscretePage("frmKOR16", 20, parent) {
    build({.extension = true, .hold = true, .stateFrame = "Value", .channelCaption = "CH: %1"});
    auto *grid = new QGridLayout;
    grid->setSpacing(8);
    for (int p = 0; p < 4; ++p) {
        QGroupBox *f = MakeFrame(this, IndexedName("fraOutMode", p), Modes[p].caption);
        auto *v = new QVBoxLayout(f);
        for (const char *caption : {"Mainteined", "Momentary"}) {
            QRadioButton *o = MakeOption(f, QStringLiteral("optOut%1").arg(optOut.size() + 1), caption);
            o->setAccessibleName(QStringLiteral("CH %1/%2 %3").arg(2 * p).arg(2 * p + 1).arg(caption));
            v->addWidget(o);
            optOut.append(o);
            addEditable(o);
        }
        grid->addWidget(f, p / 2, p % 2);
        fraOutMode.append(f);
    }
    settingsRow()->insertLayout(1, grid);
}

co::Task<> frmKOR16::frmKOR16_Init() {
    co_await PageStep([this]() -> co::Task<> {
        co_await showModel();
        co_await readHold();
        for (int p = 0; p < 4; ++p) {
            const bool mainteined = AfterColon(co_await Read(EndSilently, "00", Modes[p].item)) == "0";
            optOut[2 * p]->setChecked(mainteined);
            optOut[2 * p + 1]->setChecked(!mainteined);
        }
    });
}

co::Task<> frmKOR16::frmKOR16_Download() {
    co_await PageStep([this]() -> co::Task<> {
        co_await writeHold(EndSilently);
        for (int p = 0; p < 4; ++p) {
            const bool mainteined = optOut[2 * p]->isChecked();
            ExpectSentOption(optOut[2 * p + (mainteined ? 0 : 1)]);
            const QString data = mainteined ? "0" : "1";
            co_await Write(EndSilently, "00", Modes[p].item, data);
        }
    });
}

co::Task<> frmKOR16::ReadingData() {
    co_await WriteItemRetry(3, "00", "01", "F");
    for (int i = 1; i <= StateRows; ++i) {
        const QString r = co_await InquireItemRetry(3, QString::number(20 + i));
        if (r.isEmpty()) {
            if (g.Connected) co_await FailAndDisconnect("Uploading incomplete", "Uploading");
            co_return;
        }
        const QStringList parts = AfterColon(r).split(';');
        if (parts.size() != 2) co_return;
        // Here "ON" is red and "OFF" green.
        showState(i, parts[0] == "1", parts[1] == "1", Colors::TextRed, Colors::TextGreen, true);
    }
}

// The page's record in configuration files: the hold pair, then each channel pair's mode pair.
const cfg::Record *frmKOR16::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + OptionLine("optOut1", "optOut2") + OptionLine("optOut3", "optOut4") +
                                   OptionLine("optOut5", "optOut6") + OptionLine("optOut7", "optOut8"),
                          .typeCaption = true};
    return &r;
}
