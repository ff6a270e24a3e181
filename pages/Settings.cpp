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
#include <QRegularExpression>

namespace {
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
} // namespace

Settings SettingsOf(const cfg::Record &record, const QWidget *page, const cfg::Context &ctx, int channels) {
    Settings out;
    for (const cfg::Line &line : record.lines) {
        if (line.when && !line.when(ctx)) continue;
        if (channels >= 0 && line.channel >= channels) continue;
        QList<const QAbstractButton *> options;
        for (const cfg::Field &f : line.fields) {
            if (f.target == cfg::Field::Target::SubTyp) continue;
            if (channels >= 0 && f.index >= channels && line.channel < 0) continue;
            QWidget *c = Control(page, f.control);
            if (!c) continue;
            SettingValue s;
            s.key = f.control;
            switch (f.target) {
            case cfg::Field::Target::Box: {
                const auto *box = qobject_cast<const QLineEdit *>(c);
                if (!box) continue;
                s.value = s.shown = box->text();
                s.number = true;
                name(s, spokenName(c, f.control));
                break;
            }
            case cfg::Field::Target::List: {
                const auto *list = qobject_cast<const QComboBox *>(c);
                if (!list) continue;
                // What a Download writes for it: the entry selected, or the one the unit reported.
                s.value = IndexForUnit(list);
                s.written = !s.value.isEmpty();
                s.shown = list->currentIndex() >= 0 || s.value.isEmpty() ? list->currentText()
                                                                         : QStringLiteral("entry %1").arg(s.value);
                name(s, spokenName(c, f.control));
                break;
            }
            case cfg::Field::Target::Option:
                if (auto *b = qobject_cast<const QAbstractButton *>(c)) options << b;
                continue;
            case cfg::Field::Target::SubTyp:
                continue;
            }
            out << s;
        }
        // The option buttons of a line are one setting: which of them is selected, named by
        // the frame around them.
        if (options.isEmpty()) continue;
        SettingValue s;
        s.key = options.first()->objectName();
        QStringList chosen;
        for (const QAbstractButton *b : options)
            if (b->isChecked()) chosen << b->text();
        s.value = s.shown = chosen.join(", ");
        const auto *frame = qobject_cast<const QGroupBox *>(options.first()->parentWidget());
        name(s, frame && !frame->title().isEmpty() ? frame->title() : spokenName(options.first(), s.key));
        out << s;
    }
    return out;
}

Settings SettingsOf(const cfg::Record &record, const QWidget *page, int channels) {
    return SettingsOf(record, page, {g.UnitModel, AfterColon(g.VersionText)}, channels);
}
