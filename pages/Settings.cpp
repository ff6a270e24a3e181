#include "pages/Settings.h"
#include "core/Globals.h"
#include "link/TextRoutines.h"
#include "pages/PageParts.h"
#include "pages/Record.h"
#include "pages/Widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>

namespace {
const char *const IdentifierProperty = "vireoIdentifier";
const char *const NotExchangedProperty = "vireoNotExchanged";
const char *const NotWrittenProperty = "vireoNotWritten";

// "CH 2 Range" reads as the channel and the caption.
void name(SettingValue &s, const QString &spoken) {
    static const QRegularExpression channel(QStringLiteral("^(CH [0-9A-F/]+) (.+)$"));
    const QRegularExpressionMatch m = channel.match(spoken);
    s.channel = m.hasMatch() ? m.captured(1) : QString();
    s.caption = m.hasMatch() ? m.captured(2) : spoken;
}

QString spokenName(const QWidget *w, const QString &fallback) {
    const QString a = w->accessibleName();
    return a.isEmpty() ? fallback : a;
}

bool exchanged(const QWidget *w) { return w && !w->property(NotExchangedProperty).toBool(); }

// What the page does with a control besides showing it.
void exchange(SettingValue &s, const QWidget *w) {
    s.exchanged = exchanged(w);
    if (w->property(NotWrittenProperty).toBool()) s.written = false;
}

SettingValue ofBox(const QLineEdit *box) {
    SettingValue s;
    s.key = box->objectName();
    s.value = s.shown = box->text();
    s.number = !box->property(IdentifierProperty).toBool();
    name(s, spokenName(box, s.key));
    exchange(s, box);
    return s;
}

QString listShown(const QComboBox *list, const QString &index) {
    if (index.isEmpty()) return list->currentText();
    const int i = index.toInt();
    if (i == list->currentIndex() || (i >= 0 && i < list->count())) return list->itemText(i);
    return QStringLiteral("entry %1").arg(index);
}

SettingValue ofList(const QComboBox *list) {
    SettingValue s;
    s.key = list->objectName();
    // What a Download writes for it: the entry selected, or the one the unit reported.
    s.value = IndexForUnit(list);
    s.written = !s.value.isEmpty();
    s.shown = listShown(list, s.value);
    name(s, spokenName(list, s.key));
    exchange(s, list);
    return s;
}

// The options of one setting: the option buttons that share the parent.
QList<const QAbstractButton *> optionGroup(const QAbstractButton *option) {
    QList<const QAbstractButton *> group;
    if (const QWidget *p = option->parentWidget())
        for (const QAbstractButton *b : p->findChildren<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
            if (b->isCheckable() && b->autoExclusive()) group << b;
    if (group.isEmpty()) group << option;
    return group;
}

SettingValue ofOptions(const QList<const QAbstractButton *> &options) {
    SettingValue s;
    s.key = options.first()->objectName();
    QStringList chosen;
    for (const QAbstractButton *b : options)
        if (b->isChecked()) chosen << b->text();
    s.value = s.shown = chosen.join(", ");
    const auto *frame = qobject_cast<const QGroupBox *>(options.first()->parentWidget());
    name(s, frame && !frame->title().isEmpty() ? frame->title() : spokenName(options.first(), s.key));
    exchange(s, options.first());
    return s;
}

const QWidget *controlOf(const QWidget *page, const cfg::Field &f) { return Control(page, f.control); }
} // namespace

SettingValue SettingOfControl(const QWidget *control) {
    if (const auto *box = qobject_cast<const QLineEdit *>(control)) return ofBox(box);
    if (const auto *list = qobject_cast<const QComboBox *>(control)) return ofList(list);
    if (const auto *option = qobject_cast<const QAbstractButton *>(control)) return ofOptions(optionGroup(option));
    SettingValue s;
    if (control) s.key = control->objectName();
    return s;
}

Settings SettingsOf(const cfg::Record &record, const QWidget *page, const cfg::Context &ctx, int channels) {
    Settings out;
    for (const cfg::Line &line : record.lines) {
        if (line.when && !line.when(ctx)) continue;
        if (channels >= 0 && line.channel >= channels) continue;
        QList<const QAbstractButton *> options;
        for (const cfg::Field &f : line.fields) {
            if (f.target == cfg::Field::Target::SubTyp) continue;
            if (channels >= 0 && f.index >= channels && line.channel < 0) continue;
            const QWidget *c = controlOf(page, f);
            if (!c) continue;
            switch (f.target) {
            case cfg::Field::Target::Box:
                if (const auto *box = qobject_cast<const QLineEdit *>(c)) out << ofBox(box);
                break;
            case cfg::Field::Target::List:
                if (const auto *list = qobject_cast<const QComboBox *>(c)) out << ofList(list);
                break;
            case cfg::Field::Target::Option:
                if (auto *b = qobject_cast<const QAbstractButton *>(c)) options << b;
                break;
            case cfg::Field::Target::SubTyp:
                break;
            }
        }
        // The option buttons of a line are one setting: which of them is selected, named by
        // the frame around them.
        if (!options.isEmpty()) out << ofOptions(options);
    }
    return out;
}

Settings SettingsOf(const cfg::Record &record, const QWidget *page, int channels) {
    return SettingsOf(record, page, {g.UnitModel, AfterColon(g.VersionText)}, channels);
}

void ExpectSent(const QWidget *control, const QString &data) {
    if (!exchanged(control) || !SendRecord::recording()) return;
    SentValue v;
    v.setting = SettingOfControl(control);
    v.setting.value = data;
    if (const auto *list = qobject_cast<const QComboBox *>(control)) v.setting.shown = listShown(list, data);
    else if (!qobject_cast<const QAbstractButton *>(control)) v.setting.shown = data;
    QPointer<const QWidget> c(control);
    v.now = [c] { return c ? SettingOfControl(c) : SettingValue(); };
    SendRecord::expect(std::move(v));
}

void ExpectSentOption(const QAbstractButton *chosen) {
    if (!chosen || !SendRecord::recording()) return;
    SentValue v;
    v.setting = SettingOfControl(chosen);
    // What the data chooses, whatever the options show (a file may check neither).
    v.setting.value = v.setting.shown = chosen->text();
    QPointer<const QAbstractButton> c(chosen);
    v.now = [c] { return c ? SettingOfControl(c) : SettingValue(); };
    SendRecord::expect(std::move(v));
}

void ExpectSentJoined(const QString &key, const QString &spoken, const QString &data, std::function<QString()> now) {
    if (!SendRecord::recording()) return;
    SentValue v;
    v.setting.key = key;
    v.setting.value = v.setting.shown = data;
    name(v.setting, spoken);
    v.now = [base = v.setting, now = std::move(now)] {
        SettingValue s = base;
        s.value = s.shown = now();
        return s;
    };
    SendRecord::expect(std::move(v));
}

void MarkIdentifiers(const cfg::Record &record, QWidget *page) {
    for (const cfg::Line &line : record.lines)
        for (const cfg::Field &f : line.fields)
            if (f.identifier)
                if (QWidget *c = Control(page, f.control)) c->setProperty(IdentifierProperty, true);
}

void SetExchanged(QWidget *control, bool exchanged) {
    if (control) control->setProperty(NotExchangedProperty, !exchanged);
}

void RefuseCheck(const QWidget *control, const QString &range) {
    if (!control) return;
    const SettingValue s = SettingOfControl(control);
    NoteCheckRefusal({s.channel.isEmpty() ? s.caption : s.channel + ' ' + s.caption, s.shown, range});
}

QString RangeText(double lo, double hi) {
    return QStringLiteral("%1 to %2").arg(QString::number(lo, 'g', 12), QString::number(hi, 'g', 12));
}

void SetNeverWritten(QWidget *control) {
    if (control) control->setProperty(NotWrittenProperty, true);
}
