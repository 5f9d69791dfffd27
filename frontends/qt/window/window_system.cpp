#include "frontends/qt/window/window_system.h"

#include <QGuiApplication>
#include <cmath>

namespace vorlak {
namespace {

double toolkitScaleFactor = 1;

}  // namespace

bool compositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void noteToolkitScaleFactor(double factor) { toolkitScaleFactor = factor > 0 ? factor : 1; }

int compositorUnit() {
    if (!compositorPlacesWindows()) return 1;  // X11 draws in the window's own pixels
    for (int pixels = 1; pixels <= 8; ++pixels) {
        const double units = pixels * toolkitScaleFactor;
        if (std::abs(units - std::round(units)) < 1e-6) return pixels;
    }
    return 1;
}

}  // namespace vorlak
