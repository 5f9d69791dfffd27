// The multiple the console is drawn at: whole, so that LCD pixels stay
// square, and no larger than fits the screen, so that every key is in reach.
//
// The toolkit fixes its scale factor when the application object is made
// (the desktop's factor, rounded down, times QT_SCALE_FACTOR), and a window
// cannot have a factor of its own. So the program reads the screen and the
// factor once the application exists, and where the console does not fit or
// the factor is not whole, it starts itself again, before any window is
// shown, with the QT_SCALE_FACTOR that gives the multiple that fits. The
// restarted program puts the player's own QT_SCALE_FACTOR back in its
// environment, for the programs it starts (a text viewer for the side
// documents).
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <optional>

namespace vorlak {

// The largest whole multiple at which every window of `windows` (sizes in
// console pixels) fits `available` (device pixels), at most the desktop's
// factor rounded down and at least 1.
int fittingMultiple(QSizeF available, double desktopFactor, std::initializer_list<QSizeF> windows);

// The QT_SCALE_FACTOR that turns `desktopFactor` (what the toolkit chose,
// `scaleFactor` included) into `multiple`.
double correctiveScaleFactor(double desktopFactor, double scaleFactor, int multiple);

// With the application object made: the multiple wanted on the primary
// screen for the console and the launcher, and the QT_SCALE_FACTOR value to
// restart with when the toolkit's factor is not that multiple. Nothing in a
// program that has already been restarted so.
std::optional<QByteArray> scaleFactorToRestartWith();

// Starts the program again in this process with QT_SCALE_FACTOR set to
// `factor`; returns only when that fails (the program then goes on at the
// factor it has).
void restartWithScaleFactor(char* const* argv, const QByteArray& factor);

}  // namespace vorlak
