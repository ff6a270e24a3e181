#include "core/Ui.h"
#include "core/Globals.h"

#include <cstdio>

namespace {
// Without a window or a script: messages go to standard error, every question is No.
class QuietUi : public UiSeam {
public:
    co::Task<> message(QString text, QString title, MsgIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        co_return;
    }
    co::Task<int> showDialog(QDialog *) override { co_return 0; }
    co::Task<QString> openFileName(QWidget *, QString, int, QString) override { co_return QString(); }
    co::Task<QString> saveFileName(QWidget *, QString, int, QString) override { co_return QString(); }
    co::Task<int> chooseExtension(QString) override { co_return 0; }
    co::Task<bool> notice() override { co_return false; }
    void endProgram() override {}
};
QuietUi quietUi;
UiSeam *current = &quietUi;
int progressValue = -1; // -1: closed

// After the program was told to end nothing more opens: the command unwinds from here.
void unlessEnding() {
    if (g.ProgramEnding) throw co::Cancelled{};
}
} // namespace

co::Task<bool> UiSeam::question(QString, QString) { co_return false; }
void UiSeam::showBeside(QDialog *) {}

UiSeam &ui() { return *current; }
void setUi(UiSeam *seam) { current = seam ? seam : &quietUi; }

co::Task<> MsgBox(QString text, QString title, MsgIcon icon) {
    unlessEnding();
    co_await ui().message(text, title, icon);
    unlessEnding();
}

void ShowMessage(const QString &text, const QString &title, MsgIcon icon) {
    if (!g.ProgramEnding) co::Start(ui().message(text, title, icon));
}

co::Task<bool> AskYesNo(QString text, QString title) {
    unlessEnding();
    const bool yes = co_await ui().question(text, title);
    unlessEnding();
    co_return yes;
}

co::Task<QString> AskOpenFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) {
    unlessEnding();
    const QString path = co_await ui().openFileName(parent, filter, filterIndex, lastName);
    unlessEnding();
    co_return path;
}

co::Task<QString> AskSaveFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) {
    unlessEnding();
    const QString path = co_await ui().saveFileName(parent, filter, filterIndex, lastName);
    unlessEnding();
    co_return path;
}

co::Task<int> AskExtension(QString extName) {
    unlessEnding();
    const int points = co_await ui().chooseExtension(extName);
    unlessEnding();
    co_return points;
}

co::Task<bool> ShowNotice() {
    unlessEnding();
    const bool ok = co_await ui().notice();
    unlessEnding();
    co_return ok;
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
