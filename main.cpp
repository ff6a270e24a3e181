#include "app/Dialogs.h"
#include "app/frmVireo.h"
#include "tools/Display.h"
#include "tools/frmAbout.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    // The one option: what a package manager or a person asks of any installed program.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", qPrintable(frmAbout::versionLine()));
            return 0;
        }
    }
    SetDisplayScalingPolicy();
    QApplication app(argc, argv);
    FitFontsToLayout(app);
    QApplication::setApplicationName("VIREO");
    QApplication::setApplicationVersion(frmVersion::ProgramVersion);
    QApplication::setWindowIcon(QIcon(":/vireo.png"));
    QGuiApplication::setDesktopFileName("vireo");
    QtUi qtUi;
    setUi(&qtUi);
    frmVireo w;
    w.show();
    return app.exec();
}
