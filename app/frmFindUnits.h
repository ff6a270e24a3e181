#pragma once
// Find Units: every serial port of the computer and the network ports the person lists, tried
// at once; the units appear as they answer, and Connect hands the chosen port back.
#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class UnitScan;
struct ScanRow;

class frmFindUnits : public QDialog {
    Q_OBJECT
public:
    // suggested: ports worth trying beside the system's (the COM options' network ports and
    // pseudo-terminals); accept: the caption of the button that takes a unit.
    explicit frmFindUnits(const QStringList &suggested, const QString &accept = QStringLiteral("Connect"),
                          QWidget *parent = nullptr);
    ~frmFindUnits() override;
    // The port of the unit chosen; empty when the dialog was closed otherwise.
    QString chosenPort() const { return m_chosen; }
    // Tries every port again (the Find button).
    void findUnits();
    bool finding() const;
    // The ports of the COM options that the system does not list: network ports and typed paths.
    static QStringList suggestedPorts(const QStringList &devices);

    QLabel *lblFindNote, *lblFindStatus;
    QLineEdit *txtNetPorts;
    QTableWidget *tblUnits;
    QPushButton *btnFindAgain, *btnConnect, *btnClose;

private:
    void addRow(const ScanRow &row);
    void takeSelected();
    UnitScan *m_scan;
    QString m_chosen;
    int m_ports = 0;
};
