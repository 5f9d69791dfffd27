// The console's right-click menu and its shortcut keys: F1 the about window,
// F2 and F3 the side documents, F4 the manual (disabled, it does nothing),
// Esc the end of the program. The keys act in the console's window before
// its own key handling sees them.
#pragma once

#include <windows.h>

namespace vorlak {

enum MenuCommand : UINT {
    kCommandAbout = 101,
    kCommandReadme,
    kCommandWhatsnew,
    kCommandManual,
    kCommandExit,
};

// A pop-up menu with the items in order, their shortcut keys in the right
// column; "About..." is the default item (drawn bold). The caller owns it.
HMENU createConsoleMenu();
// The keys of the menu's items. The caller owns the table.
HACCEL createConsoleAccelerators();

}  // namespace vorlak
