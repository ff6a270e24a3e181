#include "config/ConfigFile.h"
#include "pages/ExtCells.h"
#include "core/Globals.h"
#include "core/Identify.h"
#include "core/PageContract.h"
#include "core/Ui.h"
#include "pages/Widgets.h"
#include "config/FieldStream.h"
#include "pages/Record.h"
#include "link/Numbers.h"
#include "link/TextRoutines.h"
#include "netpages/NetPage.h"
#include "netpages/NetRecords.h"
#include "pages/Page.h"
#include "pages/PageParts.h"
#include "pages/PageRegistry.h"
#include "config/PageStore.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <cerrno>

namespace cfg {
namespace {

QString pageName(int modelnum) {
    const PageKind *k = FindPageKind(modelnum);
    return k ? QString::fromLatin1(k->name) : QString::number(modelnum);
}

QString nameOf(const Field &f) {
    return f.target == Field::Target::SubTyp ? QStringLiteral("SubTyp") : f.control;
}

// "CH 0 Zero scale (txtZScale(0))": what the person sees, and the name the file code uses.
QString describe(const QWidget *c, const QString &name) {
    const QString a = c ? c->accessibleName() : QString();
    return a.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(a, name);
}

// A field's contents in a message, cut short: a damaged file can hold anything.
QString shown(const QString &s) {
    return s.size() > 40 ? s.left(40) + QStringLiteral("...") : s;
}

Context currentContext() {
    return {g.UnitModel, AfterColon(g.VersionText)};
}

// The control a field is about, of the type the field needs; null when the page lacks it.
QWidget *controlFor(const QWidget *page, const Field &f) {
    switch (f.target) {
    case Field::Target::Box:
        return Control<QLineEdit>(page, f.control);
    case Field::Target::List:
        return Control<QComboBox>(page, f.control);
    case Field::Target::Option:
        return Control<QAbstractButton>(page, f.control);
    case Field::Target::SubTyp:
        return nullptr;
    }
    return nullptr;
}

// ---- saving

struct Writer {
    FieldWriter out;
    QString error;

    bool text(const QString &t, const QString &what) {
        const QString problem = TextProblem(t);
        if (!problem.isEmpty()) {
            error = QStringLiteral("The text of %1 %2. Change it and save again.").arg(what, problem);
            return false;
        }
        out.text(t);
        return true;
    }

    bool field(const QWidget *page, const Field &f) {
        if (f.target == Field::Target::SubTyp) {
            out.integer(g.SubTyp);
            return true;
        }
        QWidget *c = controlFor(page, f);
        if (!c) {
            error = QStringLiteral("%1 has no control %2 to save.").arg(page->objectName(), f.control);
            return false;
        }
        const QString what = describe(c, f.control);
        switch (f.target) {
        case Field::Target::Box: {
            const QString t = static_cast<QLineEdit *>(c)->text();
            if (f.kind == Field::Kind::Text) return text(t, what);
            if (f.emptyIsZero && t.isEmpty()) {
                out.integer(0);
                return true;
            }
            const std::optional<int> v = WholeNumber(t, f.lo, f.hi);
            if (!v) {
                error = QStringLiteral("The text of %1, \"%2\", is not a whole number from %3 to %4.")
                            .arg(what, shown(t))
                            .arg(f.lo)
                            .arg(f.hi);
                return false;
            }
            out.integer(*v);
            return true;
        }
        case Field::Target::List: {
            // A selection the loader would refuse is not saved: the file must open again.
            int index = static_cast<QComboBox *>(c)->currentIndex();
            // A temperature unit of a channel the unit does not have was never read and cannot be
            // chosen; it goes as the first unit so that the file opens everywhere.
            if (index < 0 && f.unitTable && f.index >= std::max(0, g.ChCount)) index = 0;
            if ((f.lo != 0 || f.hi != 0) && (index < f.lo || index > f.hi)) {
                error = index < 0 ? QStringLiteral("%1 has nothing selected. Choose an entry and save again.").arg(what)
                                  : QStringLiteral("The selection of %1, entry %2, is outside what a configuration "
                                                   "file carries (%3 to %4).")
                                        .arg(what)
                                        .arg(index)
                                        .arg(f.lo)
                                        .arg(f.hi);
                return false;
            }
            out.integer(index);
            return true;
        }
        case Field::Target::Option:
            out.boolean(static_cast<QAbstractButton *>(c)->isChecked());
            return true;
        case Field::Target::SubTyp:
            break;
        }
        return true;
    }

    bool record(const Record &rec, const QWidget *page, const Context &ctx) {
        for (const Line &line : rec.lines) {
            if (line.when && !line.when(ctx)) continue;
            for (const Field &f : line.fields)
                if (!field(page, f)) return false;
            out.endLine();
        }
        return true;
    }
};

// ---- loading

// A field read and checked, waiting to be put into its control.
struct Value {
    const Field *field;
    QWidget *control;
    QString text;
    int number = 0;
    bool flag = false;
};

struct RecordValues {
    const Record *record = nullptr;
    QWidget *page = nullptr;
    QList<Value> values;
    QList<std::pair<const Line *, bool>> lines; // each line and whether the file has it
};

class Reader {
  public:
    explicit Reader(const QByteArray &bytes) : m_in(bytes) {}
    QString error;

    std::optional<QString> next(const QString &name) {
        std::optional<QString> s = m_in.next();
        if (!s)
            error =
                QStringLiteral("Line %1: the file ends where %2 was due.").arg(m_in.lineAhead()).arg(name);
        return s;
    }

    void fail(const QString &name, const QString &what) {
        error =
            QStringLiteral("Line %1, field %2 (%3): %4").arg(m_in.line()).arg(m_in.field()).arg(name, what);
    }

    // An integer field within lo..hi; `range` names what the range is ("a list entry").
    std::optional<int> integer(const QString &s, const QString &name, int lo, int hi,
                               const QString &range = {}) {
        const std::optional<qint64> v = ParseInteger(s);
        if (!v) {
            fail(name, QStringLiteral("\"%1\" is not a whole number.").arg(shown(s)));
            return std::nullopt;
        }
        if (*v < lo || *v > hi) {
            fail(name,
                 QStringLiteral("%1 is outside %2 (%3 to %4).")
                     .arg(shown(s.trimmed()), range.isEmpty() ? QStringLiteral("the field's range") : range)
                     .arg(lo)
                     .arg(hi));
            return std::nullopt;
        }
        return int(*v);
    }

    bool field(QWidget *page, const Field &f, RecordValues &out) {
        const QString name = nameOf(f);
        Value v{&f, controlFor(page, f), {}};
        if (f.target != Field::Target::SubTyp && !v.control) {
            error = QStringLiteral("%1 has no control %2 to load.").arg(page->objectName(), f.control);
            return false;
        }
        const std::optional<QString> s = next(name);
        if (!s) return false;
        switch (f.kind) {
        case Field::Kind::Text:
            v.text = *s;
            break;
        case Field::Kind::Boolean: {
            const std::optional<bool> b = ParseBoolean(*s);
            if (!b) {
                fail(name, QStringLiteral("\"%1\" is neither #TRUE# nor #FALSE#.").arg(shown(*s)));
                return false;
            }
            v.flag = *b;
            break;
        }
        case Field::Kind::Integer: {
            if (f.target == Field::Target::Box && f.readAsText) {
                v.text = *s;
                break;
            }
            int lo = f.lo, hi = f.hi;
            QString range;
            if (f.target == Field::Target::List) {
                if (lo == 0 && hi == 0) {
                    lo = -1;
                    hi = static_cast<QComboBox *>(v.control)->count() - 1;
                }
                range = f.unitTable ? QStringLiteral("the temperature units") : QStringLiteral("the list");
            } else if (f.target == Field::Target::SubTyp) {
                lo = -32768;
                hi = 32767;
            }
            const std::optional<int> n = integer(*s, name, lo, hi, range);
            if (!n) return false;
            v.number = *n;
            v.text = QString::number(*n);
            break;
        }
        }
        out.values << v;
        return true;
    }

    bool record(const Record &rec, QWidget *page, const Context &ctx, RecordValues &out) {
        out.record = &rec;
        out.page = page;
        for (const Line &line : rec.lines) {
            const bool present = !line.when || line.when(ctx);
            out.lines.append({&line, present});
            if (!present) continue;
            for (const Field &f : line.fields)
                if (!field(page, f, out)) return false;
        }
        return true;
    }

  private:
    FieldReader m_in;
};

void setOption(QAbstractButton *b, bool on) {
    if (on || !b->isChecked()) {
        b->setChecked(on);
        return;
    }
    // An exclusive option button does not clear itself; a file may leave both buttons clear.
    QButtonGroup *group = b->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = b->autoExclusive();
    if (group) group->setExclusive(false);
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(autoExclusive);
    if (group) group->setExclusive(groupExclusive);
}

void setLabel(const QWidget *page, const QString &name, const QString &text) {
    if (QLabel *l = Control<QLabel>(page, name)) l->setText(text);
}

void apply(const Value &v) {
    switch (v.field->target) {
    case Field::Target::Box:
        static_cast<QLineEdit *>(v.control)->setText(v.text);
        break;
    case Field::Target::List:
        SelectFromFile(static_cast<QComboBox *>(v.control), v.number);
        break;
    case Field::Target::Option:
        setOption(static_cast<QAbstractButton *>(v.control), v.flag);
        break;
    case Field::Target::SubTyp:
        // Identity: the session applies it (FileIdentity::recordSubTyp).
        break;
    }
}

// Puts a checked record into its page, in the order the read steps have always used: the
// view, the values read straight in, the refilled lists with their held-back selections, the captions.
void applyRecord(const RecordValues &rv) {
    const Record &rec = *rv.record;
    QWidget *w = rv.page;
    if (rec.view == ViewReset::Full)
        if (auto *page = qobject_cast<Page *>(w)) page->cmdSet1_Click();
    if (rec.view == ViewReset::Set1)
        if (QWidget *set1 = Control(w, "frmSet1")) set1->setVisible(true);
    for (const auto &[line, present] : rv.lines)
        if (!line->frame.isEmpty())
            if (QWidget *frame = Control(w, line->frame)) frame->setVisible(present);
    for (const Value &v : rv.values)
        if (!v.field->heldBack) apply(v);
    for (const Value &v : rv.values) {
        if (v.field->list.isEmpty()) continue;
        RefillList(static_cast<QComboBox *>(v.control), v.field->list);
    }
    if (!rec.baseUnit.isEmpty())
        for (const auto &[line, present] : rv.lines)
            if (present && line->channel >= 0) {
                setLabel(w, IndexedName("lblZBase_Unit", line->channel), rec.baseUnit);
                setLabel(w, IndexedName("lblFBase_Unit", line->channel), rec.baseUnit);
            }
    for (const Value &v : rv.values) {
        if (!v.field->heldBack) continue;
        apply(v);
        if (const auto *table = v.field->unitTable) {
            const QString unit = (*table)[size_t(v.number)].UnitName;
            setLabel(w, IndexedName("lblZBase_Unit", v.field->index), unit);
            setLabel(w, IndexedName("lblFBase_Unit", v.field->index), unit);
        }
    }
    if (rec.typeCaption) setLabel(w, "lblV_Unit", AfterDash(g.UnitModel));
}

} // namespace

std::optional<QByteArray> SaveRecord(const Record &rec, const QWidget *page, const Context &ctx,
                                     QString *error) {
    Writer wr;
    if (wr.record(rec, page, ctx)) return wr.out.bytes();
    if (error) *error = wr.error;
    return std::nullopt;
}

bool LoadRecord(const Record &rec, QWidget *page, const QByteArray &bytes, const Context &ctx,
                QString *error) {
    Reader rd(bytes);
    RecordValues values;
    if (!rd.record(rec, page, ctx, values)) {
        if (error) *error = rd.error;
        return false;
    }
    applyRecord(values);
    return true;
}

std::optional<QByteArray> BuildConfig(PageStore &pages, QString *error) {
    auto failed = [&](const QString &e) -> std::optional<QByteArray> {
        if (error) *error = e;
        return std::nullopt;
    };
    Writer wr;
    if (!wr.text(g.UnitModel, QStringLiteral("the model"))) return failed(wr.error);
    wr.out.integer(g.modelnum);
    if (!wr.text(g.VersionText, QStringLiteral("the version"))) return failed(wr.error);
    wr.out.integer(g.ChCount);
    wr.out.integer(g.NetTyp);
    wr.out.endLine();
    const Context ctx = currentContext();
    if (g.modelnum >= 0 && g.modelnum <= 25) {
        Page *p = pages.page(g.modelnum);
        const Record *rec = p ? p->configRecord() : nullptr;
        if (!rec)
            return failed(
                QStringLiteral("This version cannot save the settings of %1.").arg(pageName(g.modelnum)));
        if (!wr.record(*rec, p, ctx)) return failed(wr.error);
    }
    if (const Record *rec = NetRecord(g.NetTyp)) {
        NetPage *n = pages.netPage(g.NetTyp);
        if (!n || !wr.record(*rec, n, ctx)) return failed(wr.error);
    }
    return wr.out.bytes();
}

namespace {
// A file read and checked whole: what the session applies.
class CheckedConfig : public LoadedConfig {
  public:
    RecordValues io, net;
    Page *page = nullptr;

    bool hasPage() const override { return io.record != nullptr; }
    void applyPage() override {
        if (!io.record) return;
        applyRecord(io);
        // The extension module is forgotten: the page shows none either.
        HideExtCells(page);
        page->configLoaded();
    }
    void applyNetwork() override {
        if (net.record) applyRecord(net);
    }
};
} // namespace

std::unique_ptr<LoadedConfig> ReadConfig(const QByteArray &bytes, PageStore &pages, QString *error) {
    Reader rd(bytes);
    auto fail = [&]() -> std::unique_ptr<LoadedConfig> {
        if (error) *error = rd.error;
        return nullptr;
    };

    // The header, all five fields read as text.
    std::optional<QString> h[5];
    const char *names[5] = {"model text", "modelnum", "version text", "ChCount", "NetTyp"};
    int numbers[5] = {};
    for (int i = 0; i < 5; ++i) {
        h[i] = rd.next(QString::fromLatin1(names[i]));
        if (!h[i]) return fail();
        if (i == 1 || i == 3 || i == 4) {
            const std::optional<int> n = rd.integer(*h[i], QString::fromLatin1(names[i]), -32768, 32767);
            if (!n) return fail();
            numbers[i] = *n;
        }
    }
    auto loaded = std::make_unique<CheckedConfig>();
    FileIdentity &id = loaded->identity;
    id.model = *h[0];
    id.versionText = *h[2];
    id.chCount = numbers[3];
    // The page kind follows the model text; the number in the file stands only where that says nothing.
    const ModelKind kind = KindOfModel(id.model, numbers[1]);
    id.modelnum = kind.modelnum;
    id.subTyp = kind.subTyp;
    const int netTyp = NetKindOf(id.model).netTyp;
    const Context ctx{id.model, AfterColon(id.versionText)};

    // Both records are read and checked before anything changes.
    if (id.modelnum >= 0 && id.modelnum <= 25) {
        loaded->page = pages.page(id.modelnum);
        const Record *rec = loaded->page ? loaded->page->configRecord() : nullptr;
        if (!rec) {
            rd.error = QStringLiteral("This version cannot open the settings of %1 (the file is for %2).")
                           .arg(pageName(id.modelnum), id.model);
            return fail();
        }
        if (!rd.record(*rec, loaded->page, ctx, loaded->io)) return fail();
    }
    if (const Record *rec = NetRecord(netTyp)) {
        NetPage *n = pages.netPage(netTyp);
        if (!n || !rd.record(*rec, n, ctx, loaded->net)) return fail();
        for (const Value &v : loaded->net.values)
            if (v.field->target == Field::Target::SubTyp) id.recordSubTyp = v.number;
    }
    return loaded;
}

} // namespace cfg
