#pragma once
// The seam for a program without windows: messages become lines on standard error with their
// titles, the extension question is answered from the command line, progress is a line that
// updates itself on a terminal.
#include "core/Ui.h"

#include <QList>
#include <QString>
#include <functional>

class QString;

class TextUi : public UiSeam {
public:
    struct Message {
        QString text, title;
        MsgIcon icon;
    };

    // label: what each line of progress starts with (the port); quiet: no progress at all.
    TextUi(const QString &label, bool quiet, int extensionPoints);

    co::Task<> message(QString text, QString title, MsgIcon icon) override;
    co::Task<bool> question(QString text, QString title) override;
    co::Task<int> showDialog(QDialog *) override { return co::Ready(0); }
    co::Task<QString> openFileName(QWidget *, QString, int, QString) override { return co::Ready(QString()); }
    co::Task<QString> saveFileName(QWidget *, QString, int, QString) override { return co::Ready(QString()); }
    co::Task<int> chooseExtension(QString extName) override;
    co::Task<bool> notice() override { return co::Ready(false); }
    void showProgress(const QString &caption, int maximum) override;
    void setProgress(int value) override;
    void closeProgress() override;
    void endProgram() override { m_ended = true; }

    // Questions are answered Yes (the command's options have decided them already).
    void answerYes(bool yes) { m_yes = yes; }
    // The progress line's step ("identify", "upload" ...).
    void setStep(const QString &step) { m_step = step; }

    QList<Message> messages;
    // The unit has an extension module and no --ext said which; then this runs.
    bool extensionUnanswered = false;
    std::function<void()> onExtensionUnanswered;
    // Progress for someone else to show (a parent process): the step and the percentage.
    std::function<void(const QString &step, int percent)> onProgress;
    bool ended() const { return m_ended; }

private:
    void progressLine(int percent);

    QString m_label;
    bool m_progress;
    int m_points;
    bool m_yes = false;
    bool m_ended = false;
    QString m_step, m_caption;
    int m_maximum = 0;
    bool m_lineOpen = false;
};
