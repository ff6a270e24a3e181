#include "tools/frmAbout.h"
#include "vireo_version.h"
#include "pages/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

QString frmAbout::versionLine() {
    return QStringLiteral("VIREO %1, Qt %2").arg(VireoVersion, qVersion());
}

frmAbout::frmAbout(QWidget *parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About VIREO");
    auto *top = new QVBoxLayout(this);
    auto *title = MakeLabel(this, "lblTitle", "VIREO");
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    top->addWidget(title);
    top->addWidget(MakeLabel(this, "lblWhat", "Configurator for K5 remote I/O units"));
    lblProgram = MakeLabel(this, "lblProgram", QStringLiteral("Version %1").arg(VireoVersion));
    // The Qt found at run time can be newer than the one the program was built with.
    const QString qt = QString::fromLatin1(qVersion()) == QLatin1String(QT_VERSION_STR)
                           ? QStringLiteral("Qt %1").arg(qVersion())
                           : QStringLiteral("Qt %1 (built with %2)").arg(qVersion(), QT_VERSION_STR);
    lblQt = MakeLabel(this, "lblQt", qt);
    top->addWidget(lblProgram);
    top->addWidget(lblQt);
    cmdOK = MakeButton(this, "cmdOK", "OK");
    cmdOK->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdOK);
    top->addLayout(row);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}
