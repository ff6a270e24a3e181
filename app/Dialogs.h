#pragma once
// The small windows around the main window.
#include "core/Session.h"
#include "core/Ui.h"
#include "link/PortInfo.h"
#include "vireo_version.h"

#include <QDialog>
#include <QTimer>
#include <QVector>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

// Picks the COM port; beside each option, the device that option opens.
class frmComPort : public QDialog {
    Q_OBJECT
public:
    explicit frmComPort(QWidget *parent = nullptr);
    void Form_Load();
    void btnExit_Click();
    // Find Units; the port chosen becomes the device of the option selected.
    co::Task<> btnFind_Click();
    // The option selected, 1..8.
    int selectedPort() const;
    // What OK chose; nothing when the dialog was closed otherwise.
    std::optional<Session::PortChoice> choice() const { return m_choice; }
    // Lists the system's ports again when they changed (the timer does this every PortsRefreshMs);
    // what the person typed or picked stays.
    void refreshPorts();
    static constexpr int PortsRefreshMs = 1000;

    QGroupBox *Frame1;
    QVector<QRadioButton *> optCom;   // index k is COMk; element 0 unused
    QVector<QComboBox *> cmbDevice;   // index k: the device COMk opens; element 0 unused
    QPushButton *btnExit, *btnFind;
    QTimer tmrPorts;

private:
    std::optional<Session::PortChoice> m_choice;
    // The device COMk opens and the system's ports; the edit field shows keep.
    void fillDevices(int k, const QString &keep);
    QList<PortDescription> m_ports;
    QString m_portsStamp;
    QVector<bool> m_stale = QVector<bool>(9, false);
};

class frmExtSelect : public QDialog {
    Q_OBJECT
public:
    explicit frmExtSelect(QWidget *parent = nullptr);
    void ExtName_Select();
    void Command1_Click();
    void Command2_Click();

    QLabel *Label1, *Label2;
    QPushButton *Command1, *Command2;
    // 16 or 8 for the button pressed; 0 while none was.
    int points() const { return m_points; }

private:
    void choose(int points);
    int m_points = 0;
};

class frmNotice : public QDialog {
    Q_OBJECT
public:
    explicit frmNotice(QWidget *parent = nullptr);
    // Accepts: the one who showed it disconnects.
    void OKButton_Click();
    QLabel *Label1, *Label2;
    QPushButton *OKButton;
};

class frmVersion : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *ProgramVersion = VireoVersion;
    explicit frmVersion(QWidget *parent = nullptr);
    void Form_Load();
    void cmdOK_Click();
    QVector<QLabel *> lblTitle;
    QVector<QLabel *> lblName; // element 1 shows the program version
    QPushButton *cmdOK;
};

// Stands in for the page of a model this version does not know.
class frmNONE : public QWidget {
    Q_OBJECT
public:
    explicit frmNONE(QWidget *parent = nullptr);
    QGroupBox *Frame;
    QLabel *Label1, *Label2;
};

class frmLoading : public QDialog {
    Q_OBJECT
public:
    explicit frmLoading(QWidget *parent = nullptr);
    QProgressBar *pgBarLoading;
    QLabel *lblLoading;
};

// The seam's side for the programs with windows: the extension question, the notice and the
// progress window are these dialogs, shown through execDialog (which a script may answer).
class WidgetUi : public UiSeam {
public:
    co::Task<int> chooseExtension(QString extName) override;
    co::Task<bool> notice() override;
    void showProgress(const QString &caption, int maximum) override;
    void setProgress(int value) override;
    void closeProgress() override;
};

// The production seam: Qt's message boxes, dialogs and file dialogs.
class QtUi : public WidgetUi {
public:
    co::Task<> message(QString text, QString title, MsgIcon icon) override;
    co::Task<bool> question(QString text, QString title) override;
    co::Task<int> showDialog(QDialog *dialog) override;
    void showBeside(QDialog *dialog) override;
    co::Task<QString> openFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) override;
    co::Task<QString> saveFileName(QWidget *parent, QString filter, int filterIndex, QString lastName) override;
    void endProgram() override;
};

// The window the dialogs and the progress window belong to (the main window).
void SetDialogOwner(QWidget *owner);
QWidget *DialogOwner();
frmLoading *LoadingForm(); // null while no page operation runs
