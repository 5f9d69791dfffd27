// The floor for the package's size: the least Windows program with a window,
// built and linked as the real one is (static, the same flags), which paints
// a console-sized white window and waits for its close. With --tick MS (any
// number of them) it also repaints a 40 x 30 patch on a window timer of that
// interval: the floor for the CPU of a race, which repaints at its timers'.
//
// Usage: bench-win32-bare-window [--tick MS]...
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

constexpr RECT kPatch{200, 150, 240, 180};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            PatBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, WHITENESS);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_TIMER: InvalidateRect(window, &kPatch, FALSE); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"BareWindow", L"Bare window", WS_POPUP | WS_SYSMENU, 100, 100, 461, 738, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; args && i + 1 < count; i += 2)
        if (std::wcscmp(args[i], L"--tick") == 0)
            SetTimer(window, static_cast<UINT_PTR>(i), static_cast<UINT>(_wtoi(args[i + 1])), nullptr);
    if (args) LocalFree(args);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
