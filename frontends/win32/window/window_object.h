// The window procedure of a class whose windows each belong to one object:
// the object passed to CreateWindowEx is kept with its window, is told its
// window (adopt) as soon as it exists and again, as none, once it is gone,
// and handles every message in between (handle).
#pragma once

#include <windows.h>

namespace vorlak {

template <typename Object>
LRESULT CALLBACK objectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<Object*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        object->adopt(window);
    }
    auto* object = reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!object) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = object->handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        object->adopt(nullptr);
    }
    return result;
}

// A window that belongs to an object gives it up, without the object
// hearing of its end (the object is going first).
inline void releaseObjectWindow(HWND window) {
    if (!window) return;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

}  // namespace vorlak
