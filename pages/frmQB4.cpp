#include "pages/frmQB4.h"
#include "app/Dialogs.h"
#include "app/Globals.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QComboBox>
#include <QLineEdit>

const QStringList frmQB4::RangeList = {"-10V to 10V",  "-5V to 5V",     "-1V to 1V",     "0V to 10V",
                                       "0V to 5V",     "1V to 5V",      "0V to 1V",      "-0.5V to 0.5V",
                                       "-------------", "-20mA to 20mA", "4mA to 20mA", "0mA to 20mA"};

namespace {
ScalingPage::Layout qb4Layout() {
    ScalingPage::Layout l;
    l.rangeList = frmQB4::RangeList;
    return l;
}
} // namespace

frmQB4::frmQB4(QWidget *parent) : ScalingPage("frmQB4", 0, qb4Layout(), parent) {}

void frmQB4::frmQB4_Init() {
    ProgressScope progress("Initializing");
    beginInit();
    const std::optional<int> sw = readSwitchRange();
    if (!sw || !readOutputHold()) return;
    for (int i = 1; i <= channelRows(); ++i) {
        const int k = i - 1;
        fillRangeList(k);
        if (!readSlots(i)) return uploadError();
        showSlots(k);
        setUnitLabels(k, UnitAt(UnitTblQB4, *sw));
        const QString r = InquireItemRetry(3, "09");
        if (r.isEmpty()) return;
        const int chRange = rangeIndexOf(r, 2);
        selectRange(cmbUserRange[k], chRange);
        if (*sw == 15) setUnitLabels(k, UnitAt(UnitTblQB4, chRange));
        AdvanceProgress();
    }
    endInit();
}

void frmQB4::ReadingData() {
    readLiveValues(21, 4);
    readExtension();
}

bool frmQB4::CheckData() {
    if (!allNumeric({&txtZScale, &txtFScale, &txtGain, &txtBias})) return false;
    return checkBounds({{&txtZScale, -32000, 32000, true},
                        {&txtFScale, -32000, 32000, true},
                        {&txtBias, -320, 320},
                        {&txtGain, -3.2, 3.2}});
}

void frmQB4::frmQB4_Download() {
    beginDownload();
    ProgressScope progress("Downloading");
    for (int i = 1; i <= channelRows(); ++i) {
        writeSlots(i, {1, 2, 3, 4, 5, 6});
        WriteDataRetry(3, "09", QString::number(cmbUserRange[i - 1]->currentIndex()));
        AdvanceProgress();
    }
    writeOutputHold();
}

void frmQB4::txt_able(bool enable) {
    setEditable({&txtZScale, &txtFScale, &txtBias, &txtGain}, enable);
    setEditable({&txtZBase, &txtFBase}, false);
    setComboEditable(cmbUserRange, enable);
    setHoldEditable(enable);
}

// The page's record in configuration files.
#include "config/Record.h"

const cfg::Record *frmQB4::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = RangeLine(4, RangeList) + HoldLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true};
    return &r;
}
