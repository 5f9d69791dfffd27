#include "frontends/win32/window/window_scale.h"

#include <algorithm>

namespace vorlak {

int scaleOfDpi(int dpi) { return std::max(1, dpi / 96); }

// The window's DPI where the system tells it per window (Windows 10 1607
// on), else the screen's.
int windowScale(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return scaleOfDpi(static_cast<int>(dpi));
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return scaleOfDpi(dpi > 0 ? dpi : 96);
}

}  // namespace vorlak
