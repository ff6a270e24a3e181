#include "pages/frmQX4M.h"
#include "core/Globals.h"
#include "pages/Widgets.h"
#include "pages/Record.h"

#include <QGridLayout>
#include <QLineEdit>

const QStringList frmQX4M::RangeList = {"0-600A", "0-400A", "0-200A", "0-100A", "0-50A", "0-5A"};

frmQX4M::frmQX4M(QWidget *parent) : ScalingPage("frmQX4M", 8, parent) {
    Decl d;
    d.switchRange = SwitchRange::Used;
    d.hold = Place::View2;
    d.columns = SlotColumns();
    for (Column &c : d.columns)
        if (c.slot == 1 || c.slot == 2) {
            c.hint = "0 to 60000";
            c.check = {true, Bound{0, 60000}, std::nullopt};
        }
    d.columns << RangeColumn(Place::View2, "Range", RangeList);
    Column dropout = ExtraColumn("txtDropout", "Drop out", "Label9", Place::View2);
    dropout.width = 60;
    dropout.check = {true, Bound{5, 50}, std::nullopt};
    for (int k = 0; k < 4; ++k) {
        dropout.hintNames << QStringLiteral("Label%1").arg(13 + k);
        dropout.unitNames << QStringLiteral("Label%1").arg(5 + k);
    }
    dropout.hint = "5 to 50";
    dropout.unitText = "x 0.1%";
    d.columns << dropout;
    d.unitTable = &UnitTblQX4M;
    ChannelItem drop = ChannelRead("12", true, EndSilently);
    drop.show = [this](int k, const QString &v) { txtDropout[k]->setText(v); };
    drop.data = [this](int k) -> std::optional<QString> { return txtDropout[k]->text(); };
    drop.control = "txtDropout";
    d.channelItems = {drop, rangeItem(true, EndSilently)};
    d.writeOrder = {"09", "12"};
    ModuleItem startup = ModuleRead("01", "11", EndSilently);
    startup.show = [this](const QString &v) { txtStartup->setText(v); };
    startup.data = [this]() -> std::optional<QString> { return txtStartup->text(); };
    startup.control = "txtStartup";
    d.moduleItems = {startup};
    build(d);
    for (QWidget *w : column("txtDropout")) txtDropout.append(qobject_cast<QLineEdit *>(w));

    Frame3 = addFrame("Frame3", "Startup timer", Place::View2);
    auto *grid = new QGridLayout(Frame3);
    txtStartup = MakeText(Frame3, "txtStartup", "Startup timer", 60);
    txtStartup->setAlignment(Qt::AlignRight);
    grid->addWidget(txtStartup, 0, 0);
    grid->addWidget(MakeLabel(Frame3, "Label10", "x 0.1sec"), 0, 1);
    grid->addWidget(MakeHint(Frame3, "Label11", "0 to 600"), 1, 0);
    addModuleControl(txtStartup, Access::Edit, {true, Bound{0, 600}, std::nullopt});
}

// The page's record in configuration files. A loaded file shows the ranges in texts of its
// own, not those of the page's list.
const cfg::Record *frmQX4M::configRecord() const {
    using namespace cfg;
    static const QStringList ranges = {"0A to 600A", "0A to 400A", "0A to 200A",
                                       "0A to 100A", "0A to 50A",  "0A to 5A"};
    static const Record r{.lines = RangeLine(4, ranges) + DropoutLine() + StartupLine() + ScaleLines6(4),
                          .view = ViewReset::Full,
                          .typeCaption = true,
                          .baseUnit = "A"};
    return &r;
}
