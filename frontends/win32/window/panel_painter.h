// Painting the console's panel with GDI.
#pragma once

#include <windows.h>

#include "frontends/win32/window/console_pictures.h"
#include "game/panel.h"

namespace vorlak {

// Paints `area` of the panel (console pixels) into `target`, which shows the
// console at 1x: white, then every shown element that overlaps the area in
// catalogue order, colour pictures as they are and two-colour pictures of
// transparent elements by their black pixels alone (an AND with white
// leaves what lies beneath).
void paintPanel(HDC target, const Panel& panel, const ConsolePictures& pictures, const Rect& area);

// The smallest rectangle holding both (an empty one holds nothing).
Rect unite(const Rect& a, const Rect& b);
Rect intersect(const Rect& a, const Rect& b);

}  // namespace vorlak
