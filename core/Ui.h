#pragma once
// The one seam for everything that waits on a person, shows progress or ends the program.
// The window's side shows Qt's boxes and dialogs; tests install a scripted double; the
// command-line program prints and answers from its options. Every box and dialog is awaited:
// opened, and the command goes on once it has closed; the main loop runs meanwhile.
#include "link/Task.h"

#include <QString>

class QDialog;
class QWidget;

enum class MsgIcon { Critical, Information, None };

class UiSeam {
public:
    virtual ~UiSeam() = default;
    virtual co::Task<> message(QString text, QString title, MsgIcon icon) = 0;
    // A question with Yes and No, No the default; true for Yes. A seam that cannot ask says No.
    virtual co::Task<bool> question(QString text, QString title);
    // Shows one of the windows' own dialogs modally; its result code once it has closed.
    virtual co::Task<int> showDialog(QDialog *dialog) = 0;
    // A view that opens beside whatever runs (Version, About): shown, not waited for.
    virtual void showBeside(QDialog *dialog);
    // The chosen path, or an empty text when the person cancels.
    virtual co::Task<QString> openFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) = 0;
    virtual co::Task<QString> saveFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) = 0;
    // Which extension module is fitted, for a unit whose extension kind is `extName` ("DI", "DO",
    // or another text): 16 or 8 points, or 0 when nothing was chosen.
    virtual co::Task<int> chooseExtension(QString extName) = 0;
    // The notice after the network page: true when the person confirmed it (which disconnects).
    virtual co::Task<bool> notice() = 0;
    // The progress of a page's Init or Download, 0 to maximum.
    virtual void showProgress(const QString &, int) {}
    virtual void setProgress(int) {}
    virtual void closeProgress() {}
    // Ends the program: the command under way unwinds without further dialogs.
    virtual void endProgram() = 0;
};

UiSeam &ui();
// nullptr restores the one that answers nothing (messages go to standard error).
void setUi(UiSeam *seam);

// The program's own title, used where a message has no caption of its own.
inline const char *AppTitle = "VIREO";

// Each is awaited; once the program is ending, none opens and the await unwinds the command.
co::Task<> MsgBox(QString text, QString title, MsgIcon icon);
// A message that nobody waits for (a check of what was typed): shown, the caller goes on.
void ShowMessage(const QString &text, const QString &title, MsgIcon icon);
co::Task<bool> AskYesNo(QString text, QString title);
co::Task<QString> AskOpenFileName(QWidget *parent, QString filter, int filterIndex, QString lastName);
co::Task<QString> AskSaveFileName(QWidget *parent, QString filter, int filterIndex, QString lastName);
co::Task<int> AskExtension(QString extName);
co::Task<bool> ShowNotice();

// The progress window of the page operations: 0 .. ChCount + 1.
void ShowProgress(const QString &caption);
void AdvanceProgress();
void UnloadProgress();
bool ProgressOpen();

// Closes the progress window on every way out of a page operation.
struct ProgressScope {
    explicit ProgressScope(const QString &caption) { ShowProgress(caption); }
    ~ProgressScope() { UnloadProgress(); }
    ProgressScope(const ProgressScope &) = delete;
    ProgressScope &operator=(const ProgressScope &) = delete;
};
