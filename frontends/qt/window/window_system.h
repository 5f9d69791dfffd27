// What the window system lets the program do with its own windows.
#pragma once

namespace vorlak {

// True on Wayland: the compositor alone places windows and moves them, a
// program learns no global positions, and a window's mask sets only where it
// takes the mouse, not what is drawn. Elsewhere (X11) a program places and
// shapes its windows itself.
bool compositorPlacesWindows();

// The toolkit's own scale factor, QT_SCALE_FACTOR as it read it at start
// (1 unless noted).
void noteToolkitScaleFactor(double factor);

// How many of a window's pixels make one unit of the compositor's: more than
// 1 where the toolkit draws below the output's scale (Wayland, an output at a
// scale of 2 drawn at 1x, a toolkit factor of 0.5). The toolkit clears and
// sends whole units, so a repaint must cover whole units too.
int compositorUnit();

}  // namespace vorlak
