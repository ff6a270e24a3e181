#pragma once
// Small helpers that build named controls, so every page is laid out the same way and
// every control can be found by its name ("txtZScale(0)") by tests and the file code.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QVector>
#include <functional>

#include "link/Task.h"

// "txtZScale" and 2 give "txtZScale(2)".
QString IndexedName(const QString &base, int index);

QPushButton *MakeButton(QWidget *parent, const QString &name, const QString &caption);
QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &caption);
// accessible: what a screen reader says, e.g. "CH 0 Zero scale".
QLineEdit *MakeText(QWidget *parent, const QString &name, const QString &accessible, int width = 0);
QComboBox *MakeCombo(QWidget *parent, const QString &name, const QString &accessible, int width = 0);
QGroupBox *MakeFrame(QWidget *parent, const QString &name, const QString &caption);
QRadioButton *MakeOption(QWidget *parent, const QString &name, const QString &caption);
// A small coloured point cell (read-only, no focus).
QLineEdit *MakeCell(QWidget *parent, const QString &name, const QString &accessible);

class QAbstractButton;
class QDialog;

// Connects a button's click to a command by the command rule (core/Commands.h): clicked while a
// command runs, it runs after that command, and only if the button is still enabled and on the
// window or page shown (the nearest ancestor that carries the property HeldClickScope, else the
// window).
void ConnectCommand(QAbstractButton *button, std::function<co::Task<>()> command);
inline constexpr const char *HeldClickScope = "heldClickScope";

// A window's own dialog shown modally through the seam; rejected at once once the program is
// ending. Clicks held from before it wait until it has closed; its own buttons run in it.
co::Task<int> ShowModal(QDialog *dialog);

// Finds a named control of a page; null when the page has none.
template <class T = QWidget> T *Control(const QWidget *page, const QString &name) {
    return page ? page->findChild<T *>(name) : nullptr;
}
