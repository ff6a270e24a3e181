#include "tools/Display.h"

#include <QApplication>
#include <QFont>
#include <QScreen>

namespace {
// The layout's sizes are for text at this many dots per (device-independent) inch.
constexpr double DesignDpi = 96.0;
} // namespace

void SetDisplayScalingPolicy() {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

void FitFontsToLayout(QApplication &app) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const double dpi = screen->logicalDotsPerInch();
    if (dpi <= DesignDpi * 1.02) return;
    QFont f = QApplication::font();
    if (f.pointSizeF() <= 0) return;
    f.setPointSizeF(f.pointSizeF() * DesignDpi / dpi);
    app.setFont(f);
}
