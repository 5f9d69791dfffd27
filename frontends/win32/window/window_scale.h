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
// The window's client area made this size, its frame whatever the system
// draws around it (measured, not assumed), its place kept.
void setClientSize(HWND window, int width, int height);
// WM_DPICHANGED: the window moved to the place the system suggests; the
// scale of the new DPI.
int followDpiChange(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace vorlak
