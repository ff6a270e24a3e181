#include "app/Widgets.h"

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
