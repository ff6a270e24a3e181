#include "pages/Widgets.h"
#include "core/Commands.h"
#include "core/Globals.h"
#include "core/Ui.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>

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
    auto *f = new QGroupBox(caption, parent);
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

void ConnectCommand(QAbstractButton *button, std::function<void()> command) {
    QObject::connect(button, &QAbstractButton::clicked, button, [button, command] {
        const QPointer<QAbstractButton> b(button);
        RunClick({command, [b] { return stillThere(b.data()); }, static_cast<const QWidget *>(button->window()),
                  button});
    });
}

int ShowModal(QDialog *dialog) {
    if (g.ProgramEnding) return QDialog::Rejected;
    IdleScope modal(IdleScope::Modal, static_cast<const QWidget *>(dialog));
    return ui().execDialog(dialog);
}
