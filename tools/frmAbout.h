#pragma once
// Help / About: this program's version and the Qt it was built with and runs on.
#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget *parent = nullptr);
    // "VIREO 0.44, Qt 6.4.2": the line --version prints too.
    static QString versionLine();
    QLabel *lblProgram, *lblQt;
    QPushButton *cmdOK;
};
