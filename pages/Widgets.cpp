#include "pages/Widgets.h"
#include "core/Commands.h"
#include "core/Globals.h"
#include "core/Ui.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>

#include <QPainter>
#include <QPixmap>
#include <QStyleOptionGroupBox>

namespace {
// Live values sit inside frames: each changed value repaints the frame behind it, and the style
// draws a frame from a scaled pixmap every time. Drawn once per size and state, then copied.
class CachedFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *e) override {
        if (isCheckable()) return QGroupBox::paintEvent(e);
        QStyleOptionGroupBox opt;
        initStyleOption(&opt);
        const qreal dpr = devicePixelRatio();
        const Key key{opt.rect.size(), int(opt.state), opt.text, palette().cacheKey(), font().key(), dpr, style()};
        if (m_cache.isNull() || !(key == m_key)) {
            m_key = key;
            m_cache = QPixmap(opt.rect.size() * dpr);
            m_cache.setDevicePixelRatio(dpr);
            m_cache.fill(Qt::transparent);
            QPainter p(&m_cache);
            style()->drawComplexControl(QStyle::CC_GroupBox, &opt, &p, this);
        }
        QPainter p(this);
        p.drawPixmap(0, 0, m_cache);
    }
    // A page not shown keeps no picture of its frames.
    void hideEvent(QHideEvent *e) override {
        m_cache = QPixmap();
        QGroupBox::hideEvent(e);
    }

private:
    struct Key {
        QSize size;
        int state = 0;
        QString title;
        qint64 palette = 0;
        QString font;
        qreal dpr = 1;
        const QStyle *style = nullptr;
        bool operator==(const Key &) const = default;
    };
    Key m_key;
    QPixmap m_cache;
};
} // namespace

QString IndexedName(const QString &base, int index) { return QStringLiteral("%1(%2)").arg(base).arg(index); }

QPushButton *MakeButton(QWidget *parent, const QString &name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &caption) {
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

QLineEdit *MakeText(QWidget *parent, const QString &name, const QString &accessible, int width) {
    auto *t = new QLineEdit(parent);
    t->setObjectName(name);
    t->setAccessibleName(accessible);
    if (width > 0) t->setFixedWidth(width);
    return t;
}

QComboBox *MakeCombo(QWidget *parent, const QString &name, const QString &accessible, int width) {
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setAccessibleName(accessible);
    if (width > 0) c->setFixedWidth(width);
    return c;
}

QGroupBox *MakeFrame(QWidget *parent, const QString &name, const QString &caption) {
    auto *f = new CachedFrame(caption, parent);
    f->setObjectName(name);
    return f;
}

QRadioButton *MakeOption(QWidget *parent, const QString &name, const QString &caption) {
    auto *o = new QRadioButton(caption, parent);
    o->setObjectName(name);
    return o;
}

QLineEdit *MakeCell(QWidget *parent, const QString &name, const QString &accessible) {
    auto *c = MakeText(parent, name, accessible);
    c->setReadOnly(true);
    c->setFocusPolicy(Qt::NoFocus);
    c->setFixedSize(14, 16);
    c->setFrame(true);
    return c;
}

// ---- commands from buttons

namespace {
// A held click stands only while its button is enabled and on the window or the page shown: a
// page replaced by another one, or a dialog gone, takes its clicks along. Within the page a view
// may have changed meanwhile (an Upload shows the first one): the click was the person's all the same.
bool stillThere(const QAbstractButton *b) {
    if (!b || !b->isEnabled()) return false;
    const QWidget *scope = b;
    while (!scope->isWindow() && !scope->property(HeldClickScope).toBool()) scope = scope->parentWidget();
    const QWidget *w = b->window();
    return scope == w || scope->isVisibleTo(w);
}
} // namespace

void ConnectCommand(QAbstractButton *button, std::function<co::Task<>()> command) {
    QObject::connect(button, &QAbstractButton::clicked, button, [button, command] {
        const QPointer<QAbstractButton> b(button);
        Runner().click({command, [b] { return stillThere(b.data()); }, static_cast<const QWidget *>(button->window()),
                        button});
    });
}

co::Task<int> ShowModal(QDialog *dialog) {
    if (g.ProgramEnding) throw co::Cancelled{};
    // The dialog's own buttons run their commands while the command that opened it waits.
    CommandRunner::Place modal(Runner(), CommandRunner::Place::Modal, static_cast<const QWidget *>(dialog));
    const int result = co_await ui().showDialog(dialog);
    if (g.ProgramEnding) throw co::Cancelled{};
    co_return result;
}
