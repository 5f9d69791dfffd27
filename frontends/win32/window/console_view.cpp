#include "frontends/win32/window/console_view.h"

#include <windowsx.h>

#include <algorithm>

#include "frontends/win32/window/outline.h"
#include "frontends/win32/window/panel_painter.h"
#include "frontends/win32/window/window_object.h"
#include "frontends/win32/window/window_scale.h"

namespace vorlak {
namespace {

constexpr WPARAM kSystemMove = SC_MOVE | HTCAPTION;  // 0xF012: move as a title-bar drag would

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
    releaseObjectWindow(window_);
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
    windowClass.lpfnWndProc = objectWindowProc<ConsoleView>;
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

    createHints();
    const auto block = programResource(L"CoolForm1_Mask2");
    if (auto data = outlineRegionData(block)) outline_ = std::move(*data);
    applyScale(windowScale(window_));
    return true;
}

void ConsoleView::applyScale(int scale) {
    scale_ = scale;
    SetWindowPos(window_, nullptr, 0, 0, kWidth * scale_, clientHeight_ * scale_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    applyOutline();
    updateHints(TTM_NEWTOOLRECTW);
    InvalidateRect(window_, nullptr, FALSE);
}

void ConsoleView::applyOutline() {
    outlined_ = false;
    if (unseen_) {
        HRGN nothing = CreateRectRgn(0, 0, 0, 0);
        if (nothing && !SetWindowRgn(window_, nothing, TRUE)) DeleteObject(nothing);
        return;
    }
    if (outline_.empty()) {
        SetWindowRgn(window_, nullptr, TRUE);  // rectangular
        return;
    }
    HRGN region = createOutlineRegion(outline_, scale_);
    if (!region) return;
    // From here on the window owns the region.
    if (SetWindowRgn(window_, region, TRUE))
        outlined_ = true;
    else
        DeleteObject(region);
}

void ConsoleView::showUnseen() {
    unseen_ = true;
    applyOutline();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void ConsoleView::showAt(const WindowPlace& place) {
    unseen_ = false;
    applyOutline();
    RECT r;
    GetWindowRect(window_, &r);
    moveTo(place.left * scale_, place.top ? *place.top * scale_ : r.top);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
}

ScreenArea ConsoleView::workArea() const {
    const HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(monitor, &info)) area = info.rcWork;
    return {floorDiv(area.left, scale_), floorDiv(area.top, scale_), (area.right - area.left) / scale_,
            (area.bottom - area.top) / scale_};
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

// At the pointer's place on the window, kept within the work area by the
// system; an item chosen comes back as WM_COMMAND.
void ConsoleView::openMenu(Point at) {
    if (!menu_) return;
    POINT p{at.x * scale_, at.y * scale_};
    ClientToScreen(window_, &p);
    SetForegroundWindow(window_);
    TrackPopupMenuEx(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, p.x, p.y, window_, nullptr);
    PostMessageW(window_, WM_NULL, 0, 0);
}

void ConsoleView::showLauncher() {
    if (requests_.showLauncher) requests_.showLauncher();
}

void ConsoleView::stopPads() {
    if (requests_.stopPads) requests_.stopPads();
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

// The hints: one tool per element that has a hint, whose text is asked of
// the console when it is about to show, for the point under the pointer (a
// pressed key is hidden and hints nothing). The system's delays apply.
void ConsoleView::createHints() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    updateHints(TTM_ADDTOOLW);
}

// Each hinted element's tool, added or given its rectangle at the scale.
void ConsoleView::updateHints(UINT request) {
    if (!hints_) return;
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const ElementInfo& info = elementInfo(static_cast<Element>(i));
        if (info.hint.empty()) continue;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = static_cast<UINT_PTR>(i);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        const Rect& r = info.rect;
        tool.rect = {r.left * scale_, r.top * scale_, r.right() * scale_, r.bottom() * scale_};
        SendMessageW(hints_, request, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ConsoleView::hintText(NMTTDISPINFOW& info) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window_, &p);
    const std::string_view hint = handheld_ ? handheld_->hintAt({floorDiv(p.x, scale_), floorDiv(p.y, scale_)})
                                            : std::string_view();
    hint_.assign(hint.begin(), hint.end());
    info.lpszText = hint_.data();  // empty: no tip shows
    info.hinst = nullptr;
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
            if (requests_.focusChanged) requests_.focusChanged(message == WM_SETFOCUS);
            break;
        case WM_COMMAND:
            if (requests_.command && HIWORD(wParam) <= 1) requests_.command(LOWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == hints_ && header->code == TTN_GETDISPINFOW) {
                hintText(*reinterpret_cast<NMTTDISPINFOW*>(lParam));
                return 0;
            }
            break;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && handheld_) handheld_->activated();
            break;
        case WM_DPICHANGED: applyScale(followDpiChange(window_, wParam, lParam)); return 0;
        case WM_CLOSE:
            if (handheld_) handheld_->close();  // the sound released
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace vorlak
