#include "pages/AnalogOutputPage.h"

AnalogOutputPage::AnalogOutputPage(const QString &name, int modelnum, const Member &m,
                                   const std::function<void(Decl &)> &adjust, QWidget *parent)
    : ScalingPage(name, modelnum, parent) {
    Decl d;
    d.rows = m.rows;
    d.views = m.views;
    d.hold = m.hold;
    d.switchRange = m.switchRange;
    d.columns = SlotColumns();
    if (!m.ranges.isEmpty()) {
        d.columns << RangeColumn(Place::View2, m.rangeHead, m.ranges);
        d.channelItems = {rangeItem(false, EndSilently)};
    }
    d.unitTable = m.unitTable;
    d.fixedUnit = m.fixedUnit;
    if (adjust) adjust(d);
    build(d);
}
