// The whole multiple the program's windows are drawn at, from the monitor's
// DPI (the screen's before Windows 10 1607): up to 199 % draws at 1x, 200 %
// to 299 % at 2x, and so on, so that the LCD's pixels stay square.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace vorlak {

int scaleOfDpi(int dpi);
int windowScale(HWND window);

}  // namespace vorlak
