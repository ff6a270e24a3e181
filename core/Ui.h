#pragma once
// The one seam for everything that blocks on a person, shows progress or ends the program.
// The window's side shows Qt's boxes and dialogs; tests install a scripted double; the
// command-line program prints and answers from its options.
#include <QString>

class QDialog;
class QWidget;

enum class MsgIcon { Critical, Information, None };

class UiSeam {
public:
    virtual ~UiSeam() = default;
    virtual void message(const QString &text, const QString &title, MsgIcon icon) = 0;
    // A question with Yes and No, No the default; true for Yes. A seam that cannot ask says No.
    virtual bool question(const QString &, const QString &) { return false; }
    // Shows one of the windows' own dialogs modally; returns its result code.
    virtual int execDialog(QDialog *dialog) = 0;
    // Returns the chosen path, or an empty text when the person cancels.
    virtual QString openFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) = 0;
    // Which extension module is fitted, for a unit whose extension kind is `extName` ("DI", "DO",
    // or another text): 16 or 8 points, or 0 when nothing was chosen.
    virtual int chooseExtension(const QString &extName) = 0;
    // The notice after the network page: true when the person confirmed it (which disconnects).
    virtual bool notice() = 0;
    // The progress of a page's Init or Download, 0 to maximum.
    virtual void showProgress(const QString &, int) {}
    virtual void setProgress(int) {}
    virtual void closeProgress() {}
    // Ends the program: long sequences still running must unwind without further dialogs.
    virtual void endProgram() = 0;
};

UiSeam &ui();
// nullptr restores the one that answers nothing (messages go to standard error).
void setUi(UiSeam *seam);

// The program's own title, used where a message has no caption of its own.
inline const char *AppTitle = "VIREO";

// Each of these is a modal window: clicks held from before it wait until it has closed.
// Message box through the seam; silent once the program is ending.
void MsgBox(const QString &text, const QString &title, MsgIcon icon);
// Question through the seam; No once the program is ending.
bool AskYesNo(const QString &text, const QString &title);
// The file dialogs through the seam; the empty text when the person cancels or the program is ending.
QString AskOpenFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName);
QString AskSaveFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName);
int AskExtension(const QString &extName);
bool ShowNotice();

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
