#include "frontends/qt/window/desktop_keyboard.h"

#include <QGuiApplication>
#include <QStyleHints>

#ifdef VORLAK_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace vorlak {

KeyRepeatSettings desktopKeyRepeat() {
    KeyRepeatSettings settings;
    const int rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate();
    if (rate > 0) settings.intervalMs = 1000 / rate;
#ifdef VORLAK_HAVE_X11
    // On X11 the server holds the user's settings (xset r rate DELAY RATE).
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        unsigned int delay = 0, interval = 0;
        if (x11->display() && XkbGetAutoRepeatRate(x11->display(), XkbUseCoreKbd, &delay, &interval) &&
            delay > 0 && interval > 0) {
            settings.delayMs = static_cast<int>(delay);
            settings.intervalMs = static_cast<int>(interval);
        }
    }
#endif
    return settings;
}

}  // namespace vorlak
