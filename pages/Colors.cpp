#include "pages/Colors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor Colors::ButtonFace() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
QColor Colors::Window() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
QColor Colors::ToolTip() { return QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase); }

void SetBackColor(QWidget *w, const QColor &c) {
    // Cells are repainted on every monitoring pass; leave them alone when nothing changed.
    if (!w || (w->autoFillBackground() && BackColor(w) == c &&
               w->palette().color(QPalette::Disabled, QPalette::Base) == c))
        return;
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, c);
        p.setColor(group, QPalette::Window, c);
    }
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QColor BackColor(const QWidget *w) { return w ? w->palette().color(QPalette::Active, QPalette::Base) : QColor(); }

void SetForeColor(QWidget *w, const QColor &c) {
    if (!w || (ForeColor(w) == c && w->palette().color(QPalette::Disabled, QPalette::Text) == c)) return;
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) p.setColor(group, QPalette::Text, c);
    w->setPalette(p);
}

QColor ForeColor(const QWidget *w) { return w ? w->palette().color(QPalette::Active, QPalette::Text) : QColor(); }
