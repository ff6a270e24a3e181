#include "pages/TemperaturePage.h"
#include "pages/Colors.h"
#include "pages/ExtCells.h"
#include "pages/Widgets.h"
#include "link/Protocol.h"
#include "link/TextRoutines.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

const QStringList TemperaturePage::UnitList = {"C", "F", "K"};

TemperaturePage::TemperaturePage(const QString &name, int modelnum, const Sensor &sensor, QWidget *parent)
    : ScalingPage(name, modelnum, parent), m_sensor(sensor) {
    Decl d;
    d.switchRange = SwitchRange::Used;
    d.hold = Place::View2;
    d.viewsOpenInInit = sensor.viewsOpenInInit;
    d.itemsBeforeSlots = sensor.typeAndUnitFirst;
    d.columns = SlotColumns();
    // Slots 5 and 6 are the zero and full temperatures: edited, written, only tested for a number.
    for (Column &c : d.columns) {
        if (c.slot < 5) {
            c.width = 60;
            continue;
        }
        c.head = c.slot == 5 ? "Zero temp" : "Full temp";
        c.hintName = c.slot == 5 ? "lblZTemp" : "lblFTemp";
        c.access = Access::Edit;
        c.check = {true, std::nullopt, std::nullopt};
        c.width = 50;
    }
    Column type = ExtraColumn(sensor.typeLabel, sensor.typeHead, "Label6", Place::View1, Kind::Label);
    type.access = Access::Fixed;
    type.width = 90; // the longest type texts ("JPt100(JIS'89)")
    Column burnout = ExtraColumn("Text1", "Burnout", QString(), Place::Value);
    burnout.access = Access::Fixed;
    burnout.readOnly = true;
    burnout.width = 84;
    Column unit = ExtraColumn("cmbUserUnit", "Temp Unit", "Label5", Place::View2, Kind::List);
    unit.items = UnitList;
    unit.width = 70;
    d.columns << type << burnout << RangeColumn(Place::View2, sensor.listHead, sensor.types) << unit;

    ModuleItem direction = ModuleRead("01", "05", UploadError);
    direction.show = [this](const QString &v) { txtUserBout[0]->setText(v); };
    d.moduleItems = {direction};

    const bool select = sensor.selectChannelReads;
    ChannelItem copyDirection;
    copyDirection.show = [this](int k, const QString &) { Text1[k]->setText(txtUserBout[0]->text()); };
    ChannelItem range = rangeItem(select, EndSilently);
    range.writeSelect = sensor.typeAndUnitFirst;
    ChannelItem typeText = ChannelRead("03", select, EndSilently);
    typeText.show = [this](int k, const QString &v) { cell<QLabel>(m_sensor.typeLabel, k)->setText(v); };
    ChannelItem hints;
    hints.show = [this](int k, const QString &) { showRangeHints(k); };
    d.channelItems = {copyDirection, unitItem(), range, typeText, hints};
    d.writeOrder = {"09", "04"};
    build(d);

    Frame3 = addFrame("Frame3", "Burnout Direction", Place::View2);
    auto *grid = new QGridLayout(Frame3);
    QLineEdit *bout = MakeText(Frame3, IndexedName("txtUserBout", 0), "Burnout direction", 100);
    grid->addWidget(bout, 0, 0);
    addModuleControl(bout, Access::Display);
    txtUserBout = {bout};

    Text1 = columnOf<QLineEdit>("Text1");
    (sensor.typeLabel == "lblTcType" ? lblTcType : lblRtdType) = columnOf<QLabel>(sensor.typeLabel);
    lblZTemp = columnOf<QLabel>("lblZTemp");
    lblFTemp = columnOf<QLabel>("lblFTemp");
    cmbUserUnit = columnOf<QComboBox>("cmbUserUnit");
    Label5 = findChild<QLabel *>("Label5");
    Label6 = findChild<QLabel *>("Label6");
    tighten();
}

// Seven columns, two with units and the type text, fill the first view: the scaling hints
// break after " to " rather than widen their columns, and the units never give way ("deg C").
void TemperaturePage::tighten() {
    for (const char *hints : {"lblZScale", "lblFScale", "lblBias", "lblGain"})
        for (QLabel *h : columnOf<QLabel>(hints)) h->setWordWrap(true);
    for (QVector<QLabel *> *units : {&lblZBase_Unit, &lblFBase_Unit})
        for (QLabel *u : *units) u->setMinimumWidth(u->fontMetrics().horizontalAdvance("deg C") + 2);
}

// Item "04" of the channel: "C", "F" or "K" first; any other answer keeps the unit of the
// channel before (deg C for the first).
ScalingPage::ChannelItem TemperaturePage::unitItem() {
    ChannelItem c = ChannelRead("04", m_sensor.selectChannelReads, EndSilently);
    c.show = [this](int k, const QString &v) {
        const int index = int(UnitList.indexOf(v.left(1)));
        if (k == 0) m_unitIndex = 0;
        if (!v.isEmpty() && index >= 0) m_unitIndex = index;
        setUnitLabels(k, (*m_sensor.ranges)[size_t(m_unitIndex)].UnitName);
        SelectFromUnit(cmbUserUnit[k], m_unitIndex);
    };
    c.control = "cmbUserUnit";
    c.data = [this](int k) -> std::optional<QString> {
        const QString index = IndexForUnit(cmbUserUnit[k]);
        if (index.isEmpty()) return std::nullopt;
        return index;
    };
    return c;
}

// The hints of the channel's type in its unit: the type of the switch range, or the channel's
// own where the switch says so (15). A type the table has no limits for shows no hint.
void TemperaturePage::showRangeHints(int k) {
    const int type = switchRange() == 15 ? IndexForUnit(cmbUserRange[k]).toInt() : switchRange();
    const int unit = std::max(0, int(cmbUserUnit[k]->currentIndex()));
    const RangeRec &r = (*m_sensor.ranges)[size_t(unit)];
    QString hint;
    if (type >= 0 && type < r.MinList.size() && type < r.MaxList.size())
        hint = QStringLiteral("%1 to %2").arg(r.MinList[type]).arg(r.MaxList[type]);
    lblZTemp[k]->setText(hint);
    lblFTemp[k]->setText(hint);
}

// A file carries types and units but not the unit's switch range: with a unit connected the
// hints follow the loaded units; without one they would be a guess, so they go.
void TemperaturePage::configLoaded() {
    for (int k = 0; k < lblZTemp.size(); ++k) {
        if (g.Connected) {
            showRangeHints(k);
        } else {
            lblZTemp[k]->clear();
            lblFTemp[k]->clear();
        }
    }
}

co::Task<> TemperaturePage::paintBurnout() {
    const QString r = co_await ReadItemRetry(3, "00", "04");
    // A refusal is no status: its text must not be read as burnout bits ("NEEDLESS" has an E).
    if (r.isEmpty() || r == "CNG" || r == "NEEDLESS") co_return;
    PaintHexCells(QList<QLineEdit *>(Text1.begin(), Text1.end()), AfterColon(r).mid(5, 1), 1, QColor(255, 0, 0),
                  Colors::ToolTip());
}

co::Task<> TemperaturePage::ReadingData() {
    co_await readLiveValues();
    co_await paintBurnout();
    co_await readExtension();
}
