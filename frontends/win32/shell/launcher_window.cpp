#include "frontends/win32/shell/launcher_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "frontends/win32/window/win32_text.h"
#include "frontends/win32/window/window_object.h"
#include "frontends/win32/window/window_scale.h"

namespace vorlak {
namespace {

constexpr UINT kShowMessage = WM_APP + 1;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // a single border and a title bar with no buttons at all
constexpr int kSoundListId = 11, kSystemListId = 12, kPlayButtonId = 13;
constexpr Place kSoundListPlace{128, 264, 97, 21};
constexpr Place kSystemListPlace{128, 292, 97, 21};
constexpr Place kPlayButtonPlace{90, 325, 65, 25};
constexpr Place kPicturePlace{80, 56, 86, 136};
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kAqua = RGB(0, 255, 255);

// Drawn by the launcher (a fixed owner-drawn list holding its strings): a
// list the system draws keeps the font's height for its entries.
HWND makeList(HWND parent, int id, HINSTANCE instance) {
    return CreateWindowExW(0, WC_COMBOBOXW, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                           0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

int heightOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

// A list's place at the scale, its entries kListItemHeight high, its
// selection field as high as makes the closed list as high as its place
// (what the field's height adds to is the system's: measured).
void placeList(HWND list, const Place& place, int scale) {
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    const RECT r = place.scaled(scale);
    SetWindowPos(list, nullptr, r.left, r.top, r.right - r.left,
                 (place.height + count * LauncherWindow::kListItemHeight + 4) * scale, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(list, CB_SETITEMHEIGHT, 0, LauncherWindow::kListItemHeight * scale);
    const int wanted = place.height * scale;
    int field = wanted - 6;
    for (int attempt = 0; attempt < 3 && field > 0; ++attempt) {
        SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        const int closed = heightOf(list);
        if (closed == wanted) break;
        field += wanted - closed;
    }
}

// An entry: black Arial on white, the chosen one in the system's highlight.
void drawListEntry(const DRAWITEMSTRUCT& item, HFONT font, int scale) {
    const bool chosen = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF back = chosen ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255);
    SetBkColor(item.hDC, back);
    SetTextColor(item.hDC, chosen ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
    ExtTextOutW(item.hDC, 0, 0, ETO_OPAQUE, &item.rcItem, nullptr, 0, nullptr);
    if (item.itemID != static_cast<UINT>(-1)) {
        wchar_t text[64] = {};
        if (SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0) < 64)
            SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
        RECT r = item.rcItem;
        r.left += 2 * scale;
        const HGDIOBJ old = SelectObject(item.hDC, font);
        DrawTextW(item.hDC, text, -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(item.hDC, old);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace

LauncherWindow::LauncherWindow(Handheld& handheld, Desktop desktop)
    : handheld_(handheld), desktop_(std::move(desktop)) {
    const FontStyle arial11{FontFace::Arial, 11};
    const FontStyle arial12Bold{FontFace::Arial, 12, true};
    const FontStyle arial12Link{FontFace::Arial, 12, false, true};
    labels_[La_Title] = {{42, 16, 161, 15}, L"Vorlak Simulator", arial12Bold, kWhite, Align::Centre};
    labels_[La_Version] = {{42, 32, 161, 15}, L"Version S3/2.03", arial12Bold, kWhite, Align::Centre};
    labels_[La_Released] = {{7, 200, 233, 14}, L"Released by _Selvane_ on June 8th, 2001", arial11, kWhite,
                            Align::Centre};
    labels_[La_Http] = {{30, 220, 187, 15}, kMakerWebAddress, arial12Link, kAqua, Align::Centre};
    labels_[La_Email] = {{21, 242, 204, 15}, kMakerEmailLink, arial12Link, kAqua, Align::Centre};
    labels_[La_Sound] = {{21, 267, 100, 14}, L"Select sound mode:", arial11, kWhite, Align::Left};
    labels_[La_System] = {{21, 295, 100, 14}, L" Windows version:", arial11, kWhite, Align::Left};
}

LauncherWindow::~LauncherWindow() {
    releaseObjectWindow(window_);
    for (HFONT font : labelFonts_)
        if (font) DeleteObject(font);
    if (listFont_) DeleteObject(listFont_);
    if (buttonFont_) DeleteObject(buttonFont_);
}

bool LauncherWindow::create(HINSTANCE instance, HWND owner, SettingsStore* settings) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = objectWindowProc<LauncherWindow>;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    window_ = CreateWindowExW(0, kClassName, L"About Vorlak...", kStyle, 0, 0, kClientWidth, kClientHeight, owner,
                              nullptr, instance, this);
    if (!window_) return false;

    picture_ = std::make_unique<DrawnPicture>(L"Im_Piccina", kPicturePlace);
    soundList_ = makeList(window_, kSoundListId, instance);
    systemList_ = makeList(window_, kSystemListId, instance);
    for (std::string_view entry : kSoundEntries)
        SendMessageW(soundList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(entry).c_str()));
    for (std::string_view entry : kSystemEntries)
        SendMessageW(systemList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(entry).c_str()));
    playButton_ = CreateWindowExW(0, WC_BUTTONW, L"- PLAY -", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0,
                                  window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPlayButtonId)), instance,
                                  nullptr);
    if (!soundList_ || !systemList_ || !playButton_) return false;
    layout(windowScale(window_));

    // Centred on the main screen, frame and all.
    RECT outer;
    GetWindowRect(window_, &outer);
    const HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(monitor, &info)) screen = info.rcMonitor;
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowPos(window_, nullptr, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const std::optional<std::string> error = handheld_.startLauncher(settings);
    showChoices();
    if (error && desktop_.showError) desktop_.showError(*error);
    return true;
}

// Everything at the scale: the client area, the fonts, the controls.
void LauncherWindow::layout(int scale) {
    scale_ = scale;
    setClientSize(window_, kClientWidth * scale, kClientHeight * scale);

    for (int i = 0; i < LabelCount; ++i) {
        if (labelFonts_[i]) DeleteObject(labelFonts_[i]);
        labelFonts_[i] = createPixelFont(labels_[i].font, scale);
    }
    if (listFont_) DeleteObject(listFont_);
    if (buttonFont_) DeleteObject(buttonFont_);
    listFont_ = createPixelFont({FontFace::Arial, 11}, scale);
    buttonFont_ = createPixelFont({FontFace::MsSansSerif, 11, true}, scale);
    placeList(soundList_, kSoundListPlace, scale);
    placeList(systemList_, kSystemListPlace, scale);
    SendMessageW(playButton_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_), FALSE);
    const RECT play = kPlayButtonPlace.scaled(scale);
    SetWindowPos(playButton_, nullptr, play.left, play.top, play.right - play.left, play.bottom - play.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void LauncherWindow::show() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void LauncherWindow::showSoon() { PostMessageW(window_, kShowMessage, 0, 0); }

// The lists and the button as the launcher's rules have them.
void LauncherWindow::showChoices() {
    const Launcher& launcher = handheld_.launcher();
    SendMessageW(soundList_, CB_SETCURSEL, static_cast<WPARAM>(launcher.soundChoice()), 0);
    SendMessageW(systemList_, CB_SETCURSEL, static_cast<WPARAM>(launcher.systemChoice()), 0);
    EnableWindow(playButton_, launcher.playEnabled());
}

void LauncherWindow::CB_SoundChange() {
    handheld_.chooseSound(static_cast<int>(SendMessageW(soundList_, CB_GETCURSEL, 0, 0)));
    showChoices();
}

void LauncherWindow::CB_SystemChange() {
    handheld_.chooseSystem(static_cast<int>(SendMessageW(systemList_, CB_GETCURSEL, 0, 0)));
    showChoices();
}

void LauncherWindow::Puls_PlayClick() {
    if (played_) return;
    const PlayOutcome outcome = handheld_.play(desktop_.workArea ? desktop_.workArea() : ScreenArea{});
    if (outcome.next == PlayOutcome::Next::BrokenSoundFolder) {
        if (desktop_.brokenSoundFolder) desktop_.brokenSoundFolder(window_);
        return;  // the program is ending
    }
    if (!outcome.soundProblem.empty() && desktop_.showError) desktop_.showError(outcome.soundProblem);
    // The console comes and takes the keyboard before the launcher goes for
    // good: hidden first, the launcher would hand the activation to the
    // console while it still waits off the screen.
    played_ = true;
    if (desktop_.showConsole) desktop_.showConsole(outcome.place);
    ShowWindow(window_, SW_HIDE);
}

void LauncherWindow::La_HttpClick() {
    if (desktop_.open) desktop_.open(window_, kMakerWebAddress);
}

void LauncherWindow::La_EmailClick() {
    if (desktop_.open) desktop_.open(window_, kMakerEmailLink);
}

void LauncherWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (picture_) picture_->draw(dc, scale_);
    for (int i = 0; i < LabelCount; ++i) drawLabel(dc, labels_[i], labelFonts_[i], scale_);
    EndPaint(window_, &ps);
}

std::optional<LauncherWindow::LabelId> LauncherWindow::linkAt(LPARAM at) const {
    for (LabelId link : {La_Http, La_Email})
        if (labels_[link].place.holds(GET_X_LPARAM(at), GET_Y_LPARAM(at), scale_)) return link;
    return std::nullopt;
}

LRESULT LauncherWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: paint(); return 0;
        case kShowMessage: show(); return 0;
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item->CtlType != ODT_COMBOBOX) break;
            item->itemHeight = static_cast<UINT>((item->itemID == static_cast<UINT>(-1) ? 15 : kListItemHeight) * scale_);
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlType != ODT_COMBOBOX) break;
            drawListEntry(*item, listFont_, scale_);
            return TRUE;
        }
        case WM_CTLCOLORBTN: return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));  // round the button
        case WM_COMMAND:
            if (LOWORD(wParam) == kSoundListId && HIWORD(wParam) == CBN_SELCHANGE) CB_SoundChange();
            if (LOWORD(wParam) == kSystemListId && HIWORD(wParam) == CBN_SELCHANGE) CB_SystemChange();
            if (LOWORD(wParam) == kPlayButtonId && HIWORD(wParam) == BN_CLICKED) Puls_PlayClick();
            return 0;
        // A link acts when the button is released over the link it was pressed on.
        case WM_LBUTTONDOWN:
            pressedLink_ = linkAt(lParam);
            if (pressedLink_) SetCapture(window_);
            return 0;
        case WM_LBUTTONUP: {
            const auto pressed = pressedLink_;
            pressedLink_.reset();
            if (GetCapture() == window_) ReleaseCapture();
            if (pressed && linkAt(lParam) == pressed) {
                if (*pressed == La_Http)
                    La_HttpClick();
                else
                    La_EmailClick();
            }
            return 0;
        }
        case WM_SETCURSOR: {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(window_, &p);
            const bool overLink = reinterpret_cast<HWND>(wParam) == window_ && linkAt(MAKELPARAM(p.x, p.y));
            if (overLink || reinterpret_cast<HWND>(wParam) == playButton_) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        case WM_DPICHANGED: layout(followDpiChange(window_, wParam, lParam)); return 0;
        // Closing it before PLAY would leave the console out of reach: the
        // program ends instead.
        case WM_CLOSE:
            if (!played_ && desktop_.exitProgram) desktop_.exitProgram();
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace vorlak
