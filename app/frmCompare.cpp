#include "app/frmCompare.h"
#include "pages/Widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

frmCompare::frmCompare(const Session::Comparison &c, QWidget *parent) : QDialog(parent) {
    setObjectName("frmCompare");
    setWindowTitle("Compare with Unit");
    auto *top = new QVBoxLayout(this);
    const int n = int(c.rows.size());
    lblSummary = MakeLabel(this, "lblSummary",
                           n == 0 ? QStringLiteral("No differences")
                                  : QStringLiteral("%1 of %2 settings differ between the page and the unit (%3).")
                                        .arg(n)
                                        .arg(c.values)
                                        .arg(c.unitModel));
    top->addWidget(lblSummary);
    tblDifferences = new QTableWidget(n, 4, this);
    tblDifferences->setObjectName("tblDifferences");
    tblDifferences->setHorizontalHeaderLabels({"Setting", "Channel", "On the page", "In the unit"});
    tblDifferences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblDifferences->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblDifferences->verticalHeader()->setVisible(false);
    tblDifferences->setFocusPolicy(Qt::NoFocus);
    tblDifferences->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < n; ++r) {
        const Difference &d = c.rows[r];
        const QStringList cells = {d.caption, d.channel, d.page, d.unit};
        for (int col = 0; col < 4; ++col) tblDifferences->setItem(r, col, new QTableWidgetItem(cells[col]));
    }
    tblDifferences->resizeColumnsToContents();
    tblDifferences->setVisible(n > 0);
    tblDifferences->setMinimumSize(520, n > 0 ? 220 : 0);
    top->addWidget(tblDifferences);

    auto *row = new QHBoxLayout;
    cmdDownload = MakeButton(this, "cmdDownload", "Download (the page's values)");
    cmdUpload = MakeButton(this, "cmdUpload", "Upload (the unit's values)");
    cmdClose = MakeButton(this, "cmdClose", "Close");
    cmdClose->setDefault(true);
    row->addWidget(cmdDownload);
    row->addWidget(cmdUpload);
    row->addStretch();
    row->addWidget(cmdClose);
    top->addLayout(row);
    connect(cmdDownload, &QPushButton::clicked, this, [this] { choose(Session::CompareChoice::Download); });
    connect(cmdUpload, &QPushButton::clicked, this, [this] { choose(Session::CompareChoice::Upload); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { choose(Session::CompareChoice::Close); });
}

void frmCompare::choose(Session::CompareChoice c) {
    m_choice = c;
    accept();
}
