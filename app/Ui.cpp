#include "app/Ui.h"
#include "app/Commands.h"
#include "app/Globals.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

namespace {
class QtUi : public UiSeam {
public:
    void message(const QString &text, const QString &title, MsgIcon icon) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title);
        box.setText(text);
        box.setIcon(icon == MsgIcon::Critical      ? QMessageBox::Critical
                    : icon == MsgIcon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
    bool question(const QString &text, const QString &title) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title);
        box.setText(text);
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    int execDialog(QDialog *dialog) override { return dialog->exec(); }
    QString openFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) override {
        return run(parent, QFileDialog::AcceptOpen, filter, filterIndex, lastName);
    }
    QString saveFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) override {
        return run(parent, QFileDialog::AcceptSave, filter, filterIndex, lastName);
    }
    void endProgram() override {
        // Nested waits see the flag and the closed port and return; the main loop then ends.
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    }

private:
    static QString run(QWidget *parent, QFileDialog::AcceptMode mode, const QString &filter, int filterIndex,
                       const QString &lastName) {
        QFileDialog dlg(parent);
        dlg.setAcceptMode(mode);
        dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        const QStringList filters = filter.split(";;");
        dlg.setNameFilters(filters);
        if (filterIndex >= 1 && filterIndex <= filters.size()) dlg.selectNameFilter(filters.at(filterIndex - 1));
        if (!lastName.isEmpty()) dlg.selectFile(lastName);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
        return dlg.selectedFiles().first();
    }
};

QtUi productionUi;
UiSeam *current = &productionUi;
} // namespace

UiSeam &ui() { return *current; }
void setUi(UiSeam *seam) { current = seam ? seam : &productionUi; }

void MsgBox(const QString &text, const QString &title, MsgIcon icon) {
    if (g.ProgramEnding) return;
    IdleScope modal(IdleScope::Modal);
    ui().message(text, title, icon);
}

bool AskYesNo(const QString &text, const QString &title) {
    if (g.ProgramEnding) return false;
    IdleScope modal(IdleScope::Modal);
    return ui().question(text, title);
}

int ShowModal(QDialog *dialog) {
    if (g.ProgramEnding) return QDialog::Rejected;
    IdleScope modal(IdleScope::Modal, dialog);
    return ui().execDialog(dialog);
}

QString AskOpenFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) {
    if (g.ProgramEnding) return {};
    IdleScope modal(IdleScope::Modal);
    return ui().openFileName(parent, filter, filterIndex, lastName);
}

QString AskSaveFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) {
    if (g.ProgramEnding) return {};
    IdleScope modal(IdleScope::Modal);
    return ui().saveFileName(parent, filter, filterIndex, lastName);
}
