#include "app/frmVireo.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("VIREO");
    frmVireo w;
    w.show();
    return app.exec();
}
