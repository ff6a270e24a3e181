// The main window and the page are whole on a scaled screen: no caption is cut.
// Run with QT_SCALE_FACTOR, or with scaling off and a large QT_FONT_DPI (see CMakeLists.txt).
#include "app/frmVireo.h"
#include "tests/TestKit.h"
#include "tools/Display.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QtTest>

class DisplayTest : public QObject {
    Q_OBJECT
  private slots:
    void nothingIsClipped() {
        sim::UnitConfig c;
        c.animate = false;
        AppRig r(c);
        r.connectViaSetting();
        r.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(r.w));
        const double factor = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                  ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                  : 1.0;
        QStringList cut;
        for (QWidget *w : r.w->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(r.w)) continue;
            QString text;
            if (auto *l = qobject_cast<QLabel *>(w))
                text = l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                text = b->text();
            else
                continue;
            if (text.isEmpty()) continue;
            const QSize need = w->minimumSizeHint();
            // Two pixels for the hinting of small fonts, which differs a little from one DPI to another.
            if (w->width() + 2 < need.width() || w->height() + 2 < need.height())
                cut << QStringLiteral("%1 \"%2\" %3x%4 < %5x%6")
                           .arg(w->objectName(), text)
                           .arg(w->width())
                           .arg(w->height())
                           .arg(need.width())
                           .arg(need.height());
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        QCOMPARE(r.w->devicePixelRatioF(), factor);
        // The layout keeps its size in device-independent pixels; the screen shows it factor times larger.
        QCOMPARE(r.w->size(), QSize(frmVireo::WindowWidth, frmVireo::WindowHeight));
        QCOMPARE(r.w->grab().size(), QSize(frmVireo::WindowWidth, frmVireo::WindowHeight) * factor);
        QVERIFY2(r.ui.problems().isEmpty(), qPrintable(r.ui.problems()));
    }
};

int main(int argc, char **argv) {
    SetDisplayScalingPolicy();
    QApplication app(argc, argv);
    FitFontsToLayout(app);
    DisplayTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_display.moc"
