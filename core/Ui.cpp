#include "core/Ui.h"
#include "core/Commands.h"
#include "core/Globals.h"

#include <cstdio>

namespace {
// Without a window or a script: messages go to standard error, every question is No.
class QuietUi : public UiSeam {
public:
    void message(const QString &text, const QString &title, MsgIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    int execDialog(QDialog *) override { return 0; }
    QString openFileName(QWidget *, const QString &, int, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, int, const QString &) override { return {}; }
    int chooseExtension(const QString &) override { return 0; }
    bool notice() override { return false; }
    void endProgram() override {}
};

QuietUi quietUi;
UiSeam *current = &quietUi;

int progressValue = -1; // -1: closed
} // namespace

UiSeam &ui() { return *current; }
void setUi(UiSeam *seam) { current = seam ? seam : &quietUi; }

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

int AskExtension(const QString &extName) {
    if (g.ProgramEnding) return 0;
    IdleScope modal(IdleScope::Modal);
    return ui().chooseExtension(extName);
}

bool ShowNotice() {
    if (g.ProgramEnding) return false;
    IdleScope modal(IdleScope::Modal);
    return ui().notice();
}

void ShowProgress(const QString &caption) {
    progressValue = 0;
    if (!g.ProgramEnding) ui().showProgress(caption, g.ChCount + 1);
}

void AdvanceProgress() {
    if (progressValue < 0) return;
    ui().setProgress(++progressValue);
}

void UnloadProgress() {
    if (progressValue < 0) return;
    progressValue = -1;
    ui().closeProgress();
}

bool ProgressOpen() { return progressValue >= 0; }
