#include "frontends/qt/window/window_system.h"

#include <QGuiApplication>

namespace vorlak {

bool compositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace vorlak
