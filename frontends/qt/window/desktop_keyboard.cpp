#include "frontends/qt/window/desktop_keyboard.h"

#include "frontends/qt/window/window_system.h"

#include <QGuiApplication>
#include <QStyleHints>

#ifdef VORLAK_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace vorlak {

PlatformTraits desktopTraits() {
    PlatformTraits traits;
    traits.placesWindows = !compositorPlacesWindows();
    KeyboardTraits& settings = traits.keyboard;
    // X11 reports some repeats as unmarked release/press pairs.
    settings.unmarkedRepeatPairs = QGuiApplication::platformName() == QLatin1String("xcb");
    const int rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate();
    if (rate > 0) settings.repeatIntervalMs = 1000 / rate;
#ifdef VORLAK_HAVE_X11
    // On X11 the server holds the user's settings (xset r rate DELAY RATE).
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        unsigned int delay = 0, interval = 0;
        if (x11->display() && XkbGetAutoRepeatRate(x11->display(), XkbUseCoreKbd, &delay, &interval) &&
            delay > 0 && interval > 0) {
            settings.repeatDelayMs = static_cast<int>(delay);
            settings.repeatIntervalMs = static_cast<int>(interval);
        }
    }
#endif
    return traits;
}

}  // namespace vorlak
