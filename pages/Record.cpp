#include "pages/Record.h"
#include "pages/Widgets.h"

namespace cfg {

Field TextBox(const QString &control) {
    Field f;
    f.control = control;
    return f;
}

Field NumberBox(const QString &control, int lo, int hi) {
    Field f;
    f.kind = Field::Kind::Integer;
    f.control = control;
    f.lo = lo;
    f.hi = hi;
    return f;
}

Field ListIndex(const QString &control) {
    Field f;
    f.kind = Field::Kind::Integer;
    f.target = Field::Target::List;
    f.control = control;
    f.lo = f.hi = 0;
    return f;
}

Field Option(const QString &control) {
    Field f;
    f.kind = Field::Kind::Boolean;
    f.target = Field::Target::Option;
    f.control = control;
    return f;
}

Field SubTypField() {
    Field f;
    f.kind = Field::Kind::Integer;
    f.target = Field::Target::SubTyp;
    return f;
}

Field EmptyIsZero(Field f) {
    f.emptyIsZero = true;
    return f;
}

QList<Field> EmptyIsZero(QList<Field> fields) {
    for (Field &f : fields) f.emptyIsZero = true;
    return fields;
}

Field AsText(Field f) {
    f.readAsText = true;
    return f;
}

Field Identifier(Field f) {
    f.identifier = true;
    return f;
}

QList<Field> AsText(QList<Field> fields) {
    for (Field &f : fields)
        f.readAsText = true;
    return fields;
}

QList<Field> NumberBoxes(const QString &base, int first, int last, int lo, int hi) {
    QList<Field> l;
    for (int i = first; i <= last; ++i) {
        l << NumberBox(IndexedName(base, i), lo, hi);
        l.last().index = i;
    }
    return l;
}

QList<Field> TextBoxes(const QStringList &controls) {
    QList<Field> l;
    for (const QString &c : controls)
        l << TextBox(c);
    return l;
}

namespace {
Field indexed(Field f, int i) {
    f.index = i;
    return f;
}

} // namespace

Lines ChannelLine(int k, const QStringList &arrays) {
    Line l;
    for (const QString &a : arrays)
        l.fields << indexed(TextBox(IndexedName(a, k)), k);
    l.channel = k;
    return {l};
}

Lines ChannelLines(int n, const QStringList &arrays) {
    Lines lines;
    for (int i = 0; i < n; ++i)
        lines += ChannelLine(i, arrays);
    return lines;
}

Lines RangeLine(int n, const QStringList &list) {
    Line l;
    for (int i = 0; i < n; ++i) {
        Field f = indexed(ListIndex(IndexedName("cmbUserRange", i)), i);
        f.list = list;
        f.lo = -1;
        f.hi = int(list.size()) - 1;
        f.heldBack = true;
        l.fields << f;
    }
    return {l};
}

Lines UnitLine(const std::array<RangeRec, 3> &table) {
    Line l;
    for (int i = 0; i < 4; ++i) {
        Field f = indexed(ListIndex(IndexedName("cmbUserUnit", i)), i);
        f.list = {"C", "F", "K"};
        // The captions need a unit: no selection is refused as well.
        f.lo = 0;
        f.hi = 2;
        f.unitTable = &table;
        f.heldBack = true;
        l.fields << f;
    }
    return {l};
}

Lines HoldLine() {
    return OptionLine("optKeepOn", "optKeepOff");
}

Lines ScaleLines6(int n) {
    return ChannelLines(n, {"txtZScale", "txtFScale", "txtBias", "txtGain", "txtZBase", "txtFBase"});
}
Lines ScaleLines5(int n) {
    return ChannelLines(n, {"txtZScale", "txtFScale", "txtBias", "txtGain", "txtZBase"});
}
Lines ScaleLines4(int n) {
    return ChannelLines(n, {"txtZScale", "txtFScale", "txtZBase", "txtFBase"});
}

Lines DropoutLine() {
    Line l(NumberBoxes("txtDropout", 0, 3));
    for (Field &f : l.fields)
        f.heldBack = true;
    return {l};
}

Lines StartupLine() {
    return {Line{NumberBox("txtStartup"), Option("optKeepOn"), Option("optKeepOff")}};
}

Lines OptionLine(const QString &first, const QString &second) {
    return {Line{Option(first), Option(second)}};
}

Lines TextLine(const QStringList &controls) {
    return {Line(TextBoxes(controls))};
}

Lines IntegerLine(const QStringList &controls) {
    Line l;
    for (const QString &c : controls)
        l.fields << NumberBox(c);
    return {l};
}

Lines When(std::function<bool(const Context &)> condition, Lines lines, const QString &frame) {
    for (Line &l : lines) {
        l.when = condition;
        l.frame = frame;
    }
    return lines;
}

std::function<bool(const Context &)> ModelIs(const QString &model) {
    return [model](const Context &c) { return c.model == model; };
}

bool VersionSeries1(const Context &c) {
    return c.suffix.startsWith(" 1.");
}

} // namespace cfg
