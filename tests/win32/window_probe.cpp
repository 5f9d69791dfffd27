// Reads a top-level window of another program, as the system sees it, for
// the end-to-end tests: its place, client size, style and region, and its
// child windows (class, text, place, enabled; a list's entries and choice).
//
// Usage: win32-window-probe "<window title>" [<window class>]
// (an empty title: any title). Prints, or exits with 1 when no visible window
// has that title (and class):
//   window <x> <y> <right> <bottom> client <w> <h> style <hex> region <none|empty|shaped> text <title>
//   child <class> id <id> at <x> <y> <w> <h> enabled <0|1> text <text>
//   entry <i> <text>     (the entries of a list child; "chosen <i>" after them)
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* text) {
    char out[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
    return out;
}

HWND found = nullptr;
std::wstring wanted, wantedClass;

BOOL CALLBACK findTopLevel(HWND window, LPARAM) {
    wchar_t title[256] = {};
    wchar_t className[64] = {};
    GetWindowTextW(window, title, 256);
    GetClassNameW(window, className, 64);
    if ((wanted.empty() || wanted == title) && IsWindowVisible(window) && (wantedClass.empty() || wantedClass == className)) {
        found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK printChild(HWND child, LPARAM parent) {
    if (GetParent(child) != reinterpret_cast<HWND>(parent)) return TRUE;
    wchar_t className[64] = {}, text[512] = {};
    GetClassNameW(child, className, 64);
    GetWindowTextW(child, text, 512);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(parent), reinterpret_cast<POINT*>(&r), 2);
    std::printf("child %s id %d at %ld %ld %ld %ld enabled %d text %s\n", utf8(className).c_str(),
                GetDlgCtrlID(child), r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowEnabled(child) ? 1 : 0,
                utf8(text).c_str());
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count && i < 16; ++i) {
            wchar_t entry[128] = {};
            if (SendMessageW(child, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 128)
                SendMessageW(child, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
            std::printf("entry %d %s\n", static_cast<int>(i), utf8(entry).c_str());
        }
        std::printf("chosen %d\n", static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0)));
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: win32-window-probe \"<window title>\" [<window class>]\n");
        return 2;
    }
    wchar_t text[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, text, 256);
    wanted = text;
    if (argc == 3) {
        MultiByteToWideChar(CP_UTF8, 0, argv[2], -1, text, 256);
        wantedClass = text;
    }
    EnumWindows(findTopLevel, 0);
    if (!found) return 1;
    RECT r, client;
    GetWindowRect(found, &r);
    GetClientRect(found, &client);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(found, region);
    DeleteObject(region);
    const char* shape = kind == ERROR ? "none" : kind == NULLREGION ? "empty" : "shaped";
    // Asked of the window itself (GetWindowText reads only a caption of
    // another program's window): a tooltip answers with the tip it shows.
    wchar_t title[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(found, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, 5000, &copied);
    std::printf("window %ld %ld %ld %ld client %ld %ld style %08lx region %s text %s\n", r.left, r.top, r.right,
                r.bottom, client.right, client.bottom, static_cast<unsigned long>(GetWindowLongW(found, GWL_STYLE)),
                shape, utf8(title).c_str());
    EnumChildWindows(found, printChild, reinterpret_cast<LPARAM>(found));
    return 0;
}
