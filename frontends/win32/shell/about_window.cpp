#include "frontends/win32/shell/about_window.h"

#include "frontends/win32/window/window_object.h"
#include "frontends/win32/window/window_scale.h"

namespace vorlak {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // the close button alone
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;                // a dialog's border, no icon
constexpr Place kPhotoPlace{9, 9, 252, 84};
constexpr Place kBevelPlace{9, 9, 256, 84};
constexpr FontStyle kCaptionFont{FontFace::Arial, 11};
constexpr FontStyle kValueFont{FontFace::Arial, 11, true};

}  // namespace

AboutWindow::~AboutWindow() {
    releaseObjectWindow(window_);
    if (captionFont_) DeleteObject(captionFont_);
    if (valueFont_) DeleteObject(valueFont_);
}

bool AboutWindow::create(HINSTANCE instance, HWND owner) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = objectWindowProc<AboutWindow>;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    window_ = CreateWindowExW(kExStyle, kClassName, L"About the author...", kStyle, 0, 0, kClientWidth,
                              kClientHeight, owner, nullptr, instance, this);
    if (!window_) return false;

    photo_ = std::make_unique<DrawnPicture>(L"Im_Foto", kPhotoPlace);
    struct Row {
        const wchar_t* caption;
        const wchar_t* value;
    };
    const Row rows[kRows] = {
        {L"My real name:", L"Ivo Selvane"},
        {L"My birthplace:", L"Exampleton"},
        {L"My birth date:", L"April 1st, 1975"},
        {L"My current occupation:", L"Software tinkerer"},
        {L"My hobby:", L"Pocket LCD games"},
    };
    // Captions from x = 13, values ending at x = 261, rows 24 pixels apart.
    for (int i = 0; i < kRows; ++i) {
        const int top = 104 + 24 * i;
        labels_[2 * i] = {{13, top, 130, 14}, rows[i].caption, kCaptionFont, RGB(192, 192, 192), Align::Left};
        labels_[2 * i + 1] = {{141, top, 120, 14}, rows[i].value, kValueFont, RGB(255, 255, 255), Align::Right};
    }
    layout(windowScale(window_));
    return true;
}

void AboutWindow::layout(int scale) {
    scale_ = scale;
    setClientSize(window_, kClientWidth * scale, kClientHeight * scale);
    if (captionFont_) DeleteObject(captionFont_);
    if (valueFont_) DeleteObject(valueFont_);
    captionFont_ = createPixelFont(kCaptionFont, scale);
    valueFont_ = createPixelFont(kValueFont, scale);
    InvalidateRect(window_, nullptr, TRUE);
}

void AboutWindow::show() {
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_SHOW);
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window_);
}

void AboutWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (photo_) photo_->draw(dc, scale_);
    // The raised bevel: light above and at the left, dark below and at the right.
    const RECT r = kBevelPlace.scaled(scale_);
    HBRUSH light = CreateSolidBrush(GetSysColor(COLOR_3DHILIGHT));
    HBRUSH dark = CreateSolidBrush(GetSysColor(COLOR_3DSHADOW));
    const RECT lines[] = {{r.left, r.top, r.right, r.top + scale_}, {r.left, r.top, r.left + scale_, r.bottom},
                          {r.right - scale_, r.top, r.right, r.bottom}, {r.left, r.bottom - scale_, r.right, r.bottom}};
    FillRect(dc, &lines[0], light);
    FillRect(dc, &lines[1], light);
    FillRect(dc, &lines[2], dark);
    FillRect(dc, &lines[3], dark);
    DeleteObject(light);
    DeleteObject(dark);
    for (std::size_t i = 0; i < labels_.size(); ++i)
        drawLabel(dc, labels_[i], i % 2 == 0 ? captionFont_ : valueFont_, scale_);
    EndPaint(window_, &ps);
}

LRESULT AboutWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: paint(); return 0;
        case WM_CLOSE: ShowWindow(window_, SW_HIDE); return 0;  // hidden, ready to be shown again
        case WM_DPICHANGED: layout(followDpiChange(window_, wParam, lParam)); return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace vorlak
