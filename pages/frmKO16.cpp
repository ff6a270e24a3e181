#include "pages/frmKO16.h"
#include "pages/Record.h"
#include "pages/frmKI16.h"
#include "core/Globals.h"
#include "pages/InputChecks.h"
#include "core/Ui.h"
#include "pages/Widgets.h"
#include "link/TextRoutines.h"

#include <QHBoxLayout>

frmKO16::frmKO16(QWidget *parent) : DiscretePage("frmKO16", 5, parent) {
    build(frmKI16::Points);
    Frame3 = MakeFrame(this, "Frame3", "Reply Delay Timer");
    auto *h = new QHBoxLayout(Frame3);
    Text1 = MakeText(Frame3, "Text1", "Reply delay time", 60);
    Text1->setAlignment(Qt::AlignRight);
    Label1 = MakeLabel(Frame3, "Label1", "msec ( 0 to 100 )");
    h->addWidget(Text1);
    h->addWidget(Label1);
    settingsRow()->insertWidget(1, Frame3, 0, Qt::AlignTop);
    Frame3->setVisible(false);
    addEditable(Text1);
    connect(Text1, &QLineEdit::textChanged, this, &frmKO16::Text1_Change);
}

void frmKO16::showDelay(const QString &reply) {
    Frame3->setVisible(true);
    Text1->setText(AfterColon(reply));
}

co::Task<> frmKO16::frmKO16_Init() {
    co_await PageStep([this]() -> co::Task<> {
        co_await showModel();
        co_await readHold();
        if (g.UnitModel != DelayModel) co_return Frame3->setVisible(false);
        const QString r = co_await Read(NoBranch, "00", "58");
        if (!r.isEmpty()) showDelay(r);
    });
}

co::Task<> frmKO16::frmKO16_Download() {
    co_await PageStep([this]() -> co::Task<> {
        co_await writeHold(EndSilently);
        if (g.UnitModel != DelayModel) co_return Frame3->setVisible(false);
        const QString r = co_await Write(NoBranch, "00", "58", Text1->text(), Text1);
        if (!r.isEmpty()) showDelay(r);
    });
}

void frmKO16::Text1_Change() {
    // CheckInteger has its own message for what is not a whole number; 0 is never questioned.
    const int v = CheckInteger(Text1->text());
    if (v != 0 && (v > 100 || v < 0)) ShowMessage("Please enter 0 to 100.", AppTitle, MsgIcon::Information);
}

// The page's record in configuration files: the delay only for the model that has one, and its
// frame shown exactly then. Loading the delay runs Text1's own check on it.
const cfg::Record *frmKO16::configRecord() const {
    using namespace cfg;
    static const Record r{.lines = HoldLine() + When(ModelIs(DelayModel), IntegerLine({"Text1"}), "Frame3"),
                          .typeCaption = true};
    return &r;
}
