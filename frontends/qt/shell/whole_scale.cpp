#include "frontends/qt/shell/whole_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "frontends/qt/shell/splash_form.h"
#include "frontends/qt/window/window_system.h"
#include "game/panel.h"

namespace vorlak {
namespace {

// Set in the restarted program's environment: the player's own
// QT_SCALE_FACTOR ("=" and its value), or "-" when there was none.
constexpr const char* kRestartedFrom = "VORLAK_PLAYER_QT_SCALE_FACTOR";
// Factors this close to a whole number count as that number.
constexpr double kTolerance = 1e-6;

int wholePart(double factor) { return static_cast<int>(std::floor(factor + kTolerance)); }

// The player's QT_SCALE_FACTOR back where it was.
void restorePlayerScaleFactor(const char* was) {
    if (was[0] == '=')
        setenv("QT_SCALE_FACTOR", was + 1, 1);
    else
        unsetenv("QT_SCALE_FACTOR");
    unsetenv(kRestartedFrom);
}

}  // namespace

int fittingMultiple(QSizeF available, double desktopFactor, std::initializer_list<QSizeF> windows) {
    int multiple = wholePart(desktopFactor);
    for (const QSizeF& window : windows) {
        if (window.isEmpty()) continue;
        multiple = std::min({multiple, wholePart(available.width() / window.width()),
                             wholePart(available.height() / window.height())});
    }
    return std::max(multiple, 1);
}

double correctiveScaleFactor(double desktopFactor, double scaleFactor, int multiple) {
    return scaleFactor * multiple / desktopFactor;
}

std::optional<QByteArray> scaleFactorToRestartWith() {
    bool set = false;
    double scaleFactor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&set);
    if (!set || scaleFactor <= 0) scaleFactor = 1;
    noteToolkitScaleFactor(scaleFactor);
    if (const char* was = std::getenv(kRestartedFrom)) {
        restorePlayerScaleFactor(was);
        return std::nullopt;  // restarted once already: never again
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    // The toolkit's factor for this screen, QT_SCALE_FACTOR included, and
    // the area windows may take (without panels where the desktop says so),
    // in device pixels.
    const double factor = screen->devicePixelRatio();
    const QSizeF available = QSizeF(screen->availableGeometry().size()) * factor;
    const QSizeF launcher(246 + 2 * TSplashForm::kBorderWidth, 358 + TSplashForm::kTitleBarHeight + TSplashForm::kBorderWidth);
    const int multiple = fittingMultiple(available, factor, {QSizeF(kConsoleWidth, kConsoleHeight), launcher});
    if (std::abs(factor - multiple) < kTolerance) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", correctiveScaleFactor(factor, scaleFactor, multiple));
    return QByteArray(text);
}

void restartWithScaleFactor(char* const* argv, const QByteArray& factor) {
    const char* player = std::getenv("QT_SCALE_FACTOR");
    const std::string was = player ? std::string("=") + player : std::string("-");
    setenv(kRestartedFrom, was.c_str(), 1);
    setenv("QT_SCALE_FACTOR", factor.constData(), 1);
    execv("/proc/self/exe", argv);
    // Not restarted: go on as the toolkit has it.
    std::fprintf(stderr, "vorlak-simulator: could not restart at a scale factor of %s\n", factor.constData());
    restorePlayerScaleFactor(was.c_str());
}

}  // namespace vorlak
