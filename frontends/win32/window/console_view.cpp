#include "frontends/win32/window/console_view.h"

#include <windowsx.h>

#include <algorithm>

#include "frontends/win32/window/outline.h"
#include "frontends/win32/window/panel_painter.h"

namespace vorlak {
namespace {

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
constexpr WPARAM kSystemMove = SC_MOVE | HTCAPTION;  // 0xF012: move as a title-bar drag would

// The window's DPI where the system tells it per window (Windows 10 1607
// on), else the screen's.
int dpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// Whole multiples only, rounded down: LCD pixels stay square.
int scaleOfDpi(int dpi) { return std::max(1, dpi / 96); }

int floorDiv(int value, int by) { return value >= 0 ? value / by : -((-value + by - 1) / by); }

}  // namespace

ConsoleView::ConsoleView(const ConsolePictures& pictures) : pictures_(pictures) {}

PlatformTraits ConsoleView::platformTraits() {
    PlatformTraits traits;
    // The keyboard's repeat as the player set it: a delay of 0 to 3 quarter
    // seconds after the first, and a speed of 0 (2.5 a second) to 31 (30).
    int delay = 1;
    DWORD speed = 31;
    SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
    SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
    traits.keyboard.repeatDelayMs = 250 * (std::clamp(delay, 0, 3) + 1);
    traits.keyboard.repeatIntervalMs = static_cast<int>(1000.0 / (2.5 + 27.5 * std::min<DWORD>(speed, 31) / 31.0));
    traits.keyboard.systemRepeatsControl = true;  // Windows repeats every key, CTRL too
    traits.placesWindows = false;                 // the drag is the system's move
    return traits;
}

void ConsoleView::attach(Handheld* handheld) {
    handheld_ = handheld;
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

ConsoleView::~ConsoleView() {
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (buffer_) {
        SelectObject(buffer_, bufferOriginal_);
        DeleteDC(buffer_);
    }
    if (bufferBitmap_) DeleteObject(bufferBitmap_);
}

bool ConsoleView::create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    // The console, a frameless window with only the system menu, waits off
    // the screen until it is placed.
    window_ = CreateWindowExW(WS_EX_APPWINDOW, kClassName, L"Vorlak Simulator", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                              -500, -1, kWidth, kCreatedHeight, nullptr, nullptr, instance, this);
    if (!window_) return false;

    HDC screen = GetDC(window_);
    buffer_ = CreateCompatibleDC(screen);
    bufferBitmap_ = CreateCompatibleBitmap(screen, kWidth, kWindowRect.height);
    ReleaseDC(window_, screen);
    if (!buffer_ || !bufferBitmap_) return false;
    bufferOriginal_ = SelectObject(buffer_, bufferBitmap_);

    const auto block = programResource(L"CoolForm1_Mask2");
    if (auto data = outlineRegionData(block)) outline_ = std::move(*data);
    applyScale(scaleOfDpi(dpiOf(window_)));
    return true;
}

void ConsoleView::applyScale(int scale) {
    scale_ = scale;
    SetWindowPos(window_, nullptr, 0, 0, kWidth * scale_, clientHeight_ * scale_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    applyOutline();
    InvalidateRect(window_, nullptr, FALSE);
}

void ConsoleView::applyOutline() {
    outlined_ = false;
    if (outline_.empty()) return;
    HRGN region = createOutlineRegion(outline_, scale_);
    if (!region) return;
    // From here on the window owns the region.
    if (SetWindowRgn(window_, region, TRUE))
        outlined_ = true;
    else
        DeleteObject(region);
}

void ConsoleView::show() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void ConsoleView::placeAtScreenCentre() {
    const HMONITOR monitor = MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& screen = info.rcMonitor;
    const int width = kWidth * scale_, height = clientHeight_ * scale_;
    SetWindowPos(window_, nullptr, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

std::optional<Point> ConsoleView::windowPosition() const {
    RECT r;
    if (!window_ || !GetWindowRect(window_, &r)) return std::nullopt;
    return Point{floorDiv(r.left, scale_), floorDiv(r.top, scale_)};
}

void ConsoleView::moveTo(int left, int top) {
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConsoleView::moveWindowBy(int dx, int dy) {
    RECT r;
    GetWindowRect(window_, &r);
    moveTo(r.left + dx * scale_, r.top + dy * scale_);
}

// The system moves the window with the pointer until the button is
// released; the press ends there.
bool ConsoleView::startSystemMove() {
    ReleaseCapture();
    SendMessageW(window_, WM_SYSCOMMAND, kSystemMove, 0);
    return true;
}

void ConsoleView::openMenu(Point at) {
    if (requests_.openMenu) requests_.openMenu(at);
}

void ConsoleView::showLauncher() {
    if (requests_.showLauncher) requests_.showLauncher();
}

void ConsoleView::setClientHeight(int height) {
    clientHeight_ = height;
    SetWindowPos(window_, nullptr, 0, 0, kWidth * scale_, clientHeight_ * scale_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConsoleView::invalidate(const Rect& area) {
    dirty_ = unite(dirty_, area);
    if (!window_) return;
    RECT r{area.left * scale_, area.top * scale_, area.right() * scale_, area.bottom() * scale_};
    InvalidateRect(window_, &r, FALSE);
}

// Everything that changed since the last paint, and what the system asks
// for, is drawn into the buffer as one rectangle and shown from there.
void ConsoleView::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    const Rect asked{floorDiv(ps.rcPaint.left, scale_), floorDiv(ps.rcPaint.top, scale_),
                     floorDiv(ps.rcPaint.right + scale_ - 1, scale_) - floorDiv(ps.rcPaint.left, scale_),
                     floorDiv(ps.rcPaint.bottom + scale_ - 1, scale_) - floorDiv(ps.rcPaint.top, scale_)};
    const Rect area = intersect(unite(dirty_, asked), kWindowRect);
    dirty_ = {};
    if (area.width > 0 && handheld_) {
        paintPanel(buffer_, handheld_->panel(), pictures_, area);
        if (scale_ == 1) {
            BitBlt(dc, area.left, area.top, area.width, area.height, buffer_, area.left, area.top, SRCCOPY);
        } else {
            SetStretchBltMode(dc, COLORONCOLOR);  // each pixel repeated, never blended
            StretchBlt(dc, area.left * scale_, area.top * scale_, area.width * scale_, area.height * scale_, buffer_,
                       area.left, area.top, area.width, area.height, SRCCOPY);
        }
        lastPaintArea_ = area;
        ++paintCount_;
    }
    EndPaint(window_, &ps);
}

Point ConsoleView::consolePoint(LPARAM at) const {
    return {floorDiv(GET_X_LPARAM(at), scale_), floorDiv(GET_Y_LPARAM(at), scale_)};
}

void ConsoleView::mousePress(MouseButton button, LPARAM at, bool doubleClick) {
    if (!handheld_) return;
    SetCapture(window_);  // the console's system move, if it starts one, takes it back
    if (doubleClick)
        handheld_->mouseDoubleClick(button, consolePoint(at));
    else
        handheld_->mousePress(button, consolePoint(at));
}

void ConsoleView::mouseRelease(MouseButton button, LPARAM at) {
    if (handheld_) handheld_->mouseRelease(button, consolePoint(at));
    if (GetCapture() == window_ && !(GetKeyState(VK_LBUTTON) & 0x8000) && !(GetKeyState(VK_RBUTTON) & 0x8000) &&
        !(GetKeyState(VK_MBUTTON) & 0x8000))
        ReleaseCapture();
}

bool ConsoleView::setCursorForPointer() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window_, &p);
    const Cursor cursor =
        handheld_ ? handheld_->cursorAt({floorDiv(p.x, scale_), floorDiv(p.y, scale_)}) : Cursor::Arrow;
    const wchar_t* shape = cursor == Cursor::Hand ? IDC_HAND : cursor == Cursor::Help ? IDC_HELP : IDC_ARROW;
    SetCursor(LoadCursorW(nullptr, shape));
    return true;
}

LRESULT CALLBACK ConsoleView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<ConsoleView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
        view->window_ = window;
    }
    auto* view = reinterpret_cast<ConsoleView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return view ? view->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ConsoleView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // the paint covers everything
        case WM_PAINT: paint(); return 0;
        case WM_LBUTTONDOWN: mousePress(MouseButton::Left, lParam, false); return 0;
        case WM_LBUTTONDBLCLK: mousePress(MouseButton::Left, lParam, true); return 0;
        case WM_RBUTTONDOWN: mousePress(MouseButton::Right, lParam, false); return 0;
        case WM_RBUTTONDBLCLK: mousePress(MouseButton::Right, lParam, true); return 0;
        case WM_MBUTTONDOWN: mousePress(MouseButton::Middle, lParam, false); return 0;
        case WM_LBUTTONUP: mouseRelease(MouseButton::Left, lParam); return 0;
        case WM_RBUTTONUP: mouseRelease(MouseButton::Right, lParam); return 0;
        case WM_MBUTTONUP: mouseRelease(MouseButton::Middle, lParam); return 0;
        case WM_MOUSEMOVE:
            if (handheld_) handheld_->mouseMove(consolePoint(lParam), (wParam & MK_LBUTTON) != 0);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) return setCursorForPointer();
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            // The system's repeat flag: the key was already down.
            if (handheld_) {
                const auto key = static_cast<std::uint16_t>(wParam);
                const auto time = static_cast<std::uint64_t>(GetMessageTime());
                if (message == WM_KEYDOWN)
                    handheld_->keyDown(key, (lParam & (1 << 30)) != 0, time);
                else
                    handheld_->keyUp(key, false, time);
            }
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (handheld_) handheld_->focusChanged(message == WM_SETFOCUS);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && handheld_) handheld_->activated();
            break;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            moveTo(suggested->left, suggested->top);
            applyScale(scaleOfDpi(LOWORD(wParam)));
            return 0;
        }
        case WM_CLOSE:
            if (handheld_) handheld_->close();  // the sound released
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace vorlak
