// What the window system lets the program do with its own windows.
#pragma once

namespace vorlak {

// True on Wayland: the compositor alone places windows and moves them, a
// program learns no global positions, and a window's mask sets only where it
// takes the mouse, not what is drawn. Elsewhere (X11) a program places and
// shapes its windows itself.
bool compositorPlacesWindows();

}  // namespace vorlak
