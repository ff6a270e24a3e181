#pragma once
// The small windows around the main window.
#include "link/PortInfo.h"

#include <QDialog>
#include <QTimer>
#include <QVector>

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
    // The option selected, 1..8.
    int selectedPort() const;
    // Lists the system's ports again when they changed (the timer does this every PortsRefreshMs);
    // what the person typed or picked stays.
    void refreshPorts();
    static constexpr int PortsRefreshMs = 1000;

    QGroupBox *Frame1;
    QVector<QRadioButton *> optCom;   // index k is COMk; element 0 unused
    QVector<QComboBox *> cmbDevice;   // index k: the device COMk opens; element 0 unused
    QPushButton *btnExit;
    QTimer tmrPorts;

private:
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

private:
    void choose(int points);
};

class frmNotice : public QDialog {
    Q_OBJECT
public:
    explicit frmNotice(QWidget *parent = nullptr);
    void OKButton_Click();
    QLabel *Label1, *Label2;
    QPushButton *OKButton;
};

class frmVersion : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *ProgramVersion = "0.44";
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

// Opens the progress window: 0 .. ChCount + 1.
void ShowProgress(const QString &caption);
void AdvanceProgress();
void UnloadProgress();
frmLoading *LoadingForm(); // null while no page operation runs

// Closes the progress window on every way out of a page operation.
struct ProgressScope {
    explicit ProgressScope(const QString &caption) { ShowProgress(caption); }
    ~ProgressScope() { UnloadProgress(); }
    ProgressScope(const ProgressScope &) = delete;
    ProgressScope &operator=(const ProgressScope &) = delete;
};
