#pragma once
// The differences between the page and the unit, and what to do about them.
#include "core/Session.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

class frmCompare : public QDialog {
    Q_OBJECT
public:
    explicit frmCompare(const Session::Comparison &comparison, QWidget *parent = nullptr);
    Session::CompareChoice choice() const { return m_choice; }

    QLabel *lblSummary;
    QTableWidget *tblDifferences;
    QPushButton *cmdDownload, *cmdUpload, *cmdClose;

private:
    void choose(Session::CompareChoice c);
    Session::CompareChoice m_choice = Session::CompareChoice::Close;
};
