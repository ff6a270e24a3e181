#pragma once
// The record of a page in a configuration file, as a declaration: its lines, and per line its
// fields, each with the kind it has in the file and the control it comes from and goes to.
// Controls are named as the pages name them ("txtZScale(0)", "cmbUserRange(3)", "optKeepOn"),
// so a record does not depend on how a page is built. A page declares its record next to
// itself and hands it over through the page contract; the file code does the rest.
#include "core/Globals.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace cfg {

// What a line's condition looks at: the model text and the version suffix (the version text
// after its first colon) of the file being read, or of the unit's globals being saved.
struct Context {
    QString model;
    QString suffix;
};

struct Field {
    enum class Kind { Text, Integer, Boolean };      // how the field stands in the file
    enum class Target { Box, List, Option, SubTyp }; // a text box, a list, an option button, the global
    Kind kind = Kind::Text;
    Target target = Target::Box;
    QString control; // object name; empty for SubTyp
    int index = -1;  // element of the control array, for the captions that follow it
    // Integer from a box: the whole numbers it may hold. List: the selections a file may carry
    // (-1 for none); both 0 means "as many as the list holds".
    int lo = -32768, hi = 32767;
    bool emptyIsZero = false; // an empty box saves as 0
    bool readAsText = false;  // the loader puts the field into the box as it stands
    QStringList list;         // the loader's own entries, put into the list before the selection
    // A temperature unit: the row's base unit captions show UnitName of this entry.
    const std::array<RangeRec, 3> *unitTable = nullptr;
    bool heldBack = false; // set after the record's other fields (selections of refilled lists)
    bool identifier = false; // a text compared as text, not as a number (a serial ID)
};

struct Line {
    Line() = default;
    Line(std::initializer_list<Field> f) : fields(f) {}
    explicit Line(const QList<Field> &f) : fields(f) {}
    QList<Field> fields;
    std::function<bool(const Context &)> when; // null: always there
    QString frame;                             // a frame shown exactly when the line is there
    int channel = -1;                          // a scale line: the channel whose row it fills
};
using Lines = QList<Line>;

// The settings view a read step leaves: untouched, the first view made visible, or the state
// the first view button leaves (its button off, the other on, the second view hidden).
enum class ViewReset { None, Set1, Full };

struct Record {
    Lines lines{};
    ViewReset view = ViewReset::None;
    bool typeCaption = false; // lblV_Unit shows the module type (the model text after its dash)
    QString baseUnit{};       // unit captions of the base values on every scale line's row
};

// Fields.
Field TextBox(const QString &control);
Field NumberBox(const QString &control, int lo = -32768, int hi = 32767);
Field ListIndex(const QString &control);
Field Option(const QString &control);
Field SubTypField();
Field EmptyIsZero(Field f);
QList<Field> EmptyIsZero(QList<Field> fields);
Field AsText(Field f);
Field Identifier(Field f);
// Controls base(first) .. base(last) of an array.
QList<Field> NumberBoxes(const QString &base, int first, int last, int lo = -32768, int hi = 32767);
QList<Field> TextBoxes(const QStringList &controls);
QList<Field> AsText(QList<Field> fields);

// Lines as the I/O records name them.
Lines RangeLine(int n, const QStringList &list);
Lines UnitLine(const std::array<RangeRec, 3> &table);
Lines HoldLine();
// Channel lines: line i holds element i of each array, channel 0 first.
Lines ChannelLines(int n, const QStringList &arrays);
// The one line of channel k: element k of each array.
Lines ChannelLine(int k, const QStringList &arrays);
Lines ScaleLines6(int n);
Lines ScaleLines5(int n);
Lines ScaleLines4(int n);
Lines DropoutLine();
Lines StartupLine();
Lines OptionLine(const QString &first, const QString &second);
Lines TextLine(const QStringList &controls);
Lines IntegerLine(const QStringList &controls);

// A line that is there only when the condition holds; the frame, if named, follows it.
Lines When(std::function<bool(const Context &)> condition, Lines lines, const QString &frame = {});
std::function<bool(const Context &)> ModelIs(const QString &model);
// The version suffix begins with " 1." (the 1.x series of the network base unit).
bool VersionSeries1(const Context &c);

} // namespace cfg
