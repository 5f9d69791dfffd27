// How this desktop behaves, as the console's core needs to know it: the
// keyboard's repeat settings and quirks, and whether the program may place
// its own windows.
#pragma once

#include "game/handheld.h"

namespace vorlak {

PlatformTraits desktopTraits();

}  // namespace vorlak
