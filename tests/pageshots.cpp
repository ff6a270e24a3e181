// Screenshots of the main window after an Upload from the simulated unit, one per view of
// the page: pageshots <model> <output prefix> [channels] [ext] [version]; or of the page a
// configuration file places with no unit connected: pageshots --file <path> <output prefix>; or of
// a failed Download verification and the Compare table: pageshots --verification <output prefix>.
// Not a test: a tool for looking at pages (QT_QPA_PLATFORM=offscreen renders them without a display).
#include "app/frmVireo.h"
#include "config/ConfigFile.h"
#include "tests/TestKit.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include "pages/Page.h"
#include "pages/Widgets.h"
#include <QPushButton>
#include <QTextStream>

namespace {
// A QK4 unit that keeps one written value: the verification's box, then Compare's table for a
// page edited in three places.
int verificationShots(const QString &prefix) {
    AppRig rig(StillUnit("K5A-QK4"));
    rig.w->show();
    rig.connectViaSetting();
    rig.ui.recordOnly();
    Page *p = rig.page(1);
    Control<QLineEdit>(p, "txtFScale(2)")->setText("9000");
    rig.unit().addFault({sim::FaultKind::Keep, "3", "21", -1, 0});
    rig.press("btnDownload");
    QMessageBox box(rig.w); // as the program's own seam shows it
    box.setWindowTitle(rig.ui.messages.value(0).title);
    box.setText(rig.ui.messages.value(0).text);
    box.setIcon(QMessageBox::Critical);
    box.show();
    QApplication::processEvents();
    box.grab().save(prefix + "-verification.png");
    Control<QLineEdit>(p, "txtZScale(0)")->setText("-500");
    Control<QLineEdit>(p, "txtGain(3)")->setText("1.5000");
    Control<QComboBox>(p, "cmbUserUnit(1)")->setCurrentIndex(2);
    rig.ui.onDialog("frmCompare", [&](QDialog *d) {
        d->show();
        QApplication::processEvents();
        d->grab().save(prefix + "-compare.png");
        return int(QDialog::Rejected);
    });
    rig.press("mnuFilesCompare");
    QTextStream(stdout) << prefix << "-verification.png\n" << prefix << "-compare.png\n";
    return 0;
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc == 3 && QString(argv[1]) == "--verification") return verificationShots(argv[2]);
    if (argc < 3) {
        QTextStream(stderr) << "usage: pageshots <model> <prefix> [channels] [ext] [version]\n";
        return 2;
    }
    const bool fromFile = QString(argv[1]) == "--file";
    if (fromFile && argc < 4) {
        QTextStream(stderr) << "usage: pageshots --file <path> <prefix>\n";
        return 2;
    }
    sim::UnitConfig cfg;
    cfg.model = fromFile ? "K5A-QB4" : argv[1];
    cfg.channels = argc > 3 ? QString(argv[3]).toInt() : 0;
    cfg.ext = argc > 4 ? QString(argv[4]) : QStringLiteral("DI");
    if (argc > 5) cfg.version = argv[5];
    cfg.animate = false;
    AppRig rig(cfg);
    rig.w->show();
    if (fromFile)
        Await(rig.session().openFile(QString::fromLocal8Bit(argv[2])));
    else
        rig.connectViaSetting();
    const QString prefix = argv[fromFile ? 3 : 2];
    QStringList saved;
    auto shot = [&](const QString &suffix) {
        QApplication::processEvents();
        const QString path = prefix + suffix + ".png";
        rig.w->grab().save(path);
        saved << path;
    };
    shot("");
    int n = 0;
    auto views = [&] {
        for (const char *name : {"cmdSet2", "cmdSet3", "cmdSet4", "cmdSet1"}) {
            auto *b = rig.w->findChild<QPushButton *>(name);
            if (!b || !b->isVisible() || !b->isEnabled()) continue;
            Click(b);
            shot(QStringLiteral("-%1").arg(++n));
        }
    };
    views();
    // A page with a second display mode (the positioning page's Command9): every view again in it.
    if (auto *mode = rig.w->findChild<QPushButton *>("Command9"); mode && mode->isVisible()) {
        Click(mode);
        shot(QStringLiteral("-%1").arg(++n));
        views();
    }
    QTextStream(stdout) << saved.join('\n') << '\n';
    if (!rig.ui.problems().isEmpty()) QTextStream(stdout) << "problems: " << rig.ui.problems() << '\n';
    return 0;
}
