#pragma once
// The one seam for everything that blocks on a person or ends the program.
// Production shows Qt's dialogs; tests install a scripted double.
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
    // Shows a dialog modally; returns its result code.
    virtual int execDialog(QDialog *dialog) = 0;
    // Returns the chosen path, or an empty text when the person cancels.
    virtual QString openFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName) = 0;
    // Ends the program: long sequences still running must unwind without further dialogs.
    virtual void endProgram() = 0;
};

UiSeam &ui();
void setUi(UiSeam *seam); // nullptr restores the production seam

// The program's own title, used where a message has no caption of its own.
inline const char *AppTitle = "VIREO";

// Message box through the seam; silent once the program is ending.
void MsgBox(const QString &text, const QString &title, MsgIcon icon);
// Question through the seam; No once the program is ending.
bool AskYesNo(const QString &text, const QString &title);
// Modal dialog through the seam; rejected at once once the program is ending.
int ShowModal(QDialog *dialog);
// The file dialogs through the seam; the empty text when the person cancels or the program is ending.
QString AskOpenFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName);
QString AskSaveFileName(QWidget *parent, const QString &filter, int filterIndex, const QString &lastName);
// Each of these is a modal window: clicks held from before it wait until it has closed.
