// The program's other windows as the console's rules drive them: the
// launcher's controls, its lists and PLAY, its links; the menu and its keys;
// the about window. Needs a display.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "frontends/win32/shell/about_window.h"
#include "frontends/win32/shell/console_menu.h"
#include "frontends/win32/shell/launcher_window.h"
#include "sound/recording_sound.h"

namespace vorlak {
namespace {

std::wstring textOf(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

RECT placeIn(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void choose(HWND launcher, HWND list, int position) {
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageW(launcher, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

struct LauncherTest : ::testing::Test {
    ManualClock clock;
    RecordingSound sound;
    NoWindow console;
    Handheld handheld{clock, sound, sound, console};
    MemorySettings settings;
    std::vector<std::wstring> opened;
    std::vector<std::string> errors;
    std::vector<WindowPlace> consolePlaces;
    int brokenFolders = 0, exits = 0;

    LauncherWindow::Desktop desktop() {
        LauncherWindow::Desktop d;
        d.open = [this](HWND, const wchar_t* target) { opened.emplace_back(target); };
        d.workArea = [] { return ScreenArea{0, 0, 1024, 768}; };
        d.showError = [this](const std::string& e) { errors.push_back(e); };
        d.brokenSoundFolder = [this](HWND) { ++brokenFolders; };
        d.showConsole = [this](const WindowPlace& p) { consolePlaces.push_back(p); };
        d.exitProgram = [this] { ++exits; };
        return d;
    }
};

TEST_F(LauncherTest, ItsWindowAndControlsAreLaidOutAsTheLauncherIs) {
    LauncherWindow launcher(handheld, desktop());
    ASSERT_TRUE(launcher.create(GetModuleHandleW(nullptr), nullptr, &settings));
    const HWND window = launcher.handle();
    const int s = launcher.scale();
    EXPECT_EQ(textOf(window), L"About Vorlak...");
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, LauncherWindow::kClassName);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);  // no buttons, fixed
    EXPECT_FALSE(IsWindowVisible(window));
    RECT client, outer;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 246 * s);
    EXPECT_EQ(client.bottom, 358 * s);
    GetWindowRect(window, &outer);  // centred on the main screen, frame and all
    EXPECT_LE(std::abs(outer.left + outer.right - GetSystemMetrics(SM_CXSCREEN)), 1);
    EXPECT_LE(std::abs(outer.top + outer.bottom - GetSystemMetrics(SM_CYSCREEN)), 1);

    // The places and entries are read from outside by the end-to-end test.
    for (HWND control : {launcher.soundList(), launcher.systemList(), launcher.playButton()})
        EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP, 0) << "a tab stop";
    for (HWND list : {launcher.soundList(), launcher.systemList()}) {
        EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
        EXPECT_EQ(SendMessageW(list, CB_GETITEMHEIGHT, 0, 0), 13 * s);
        EXPECT_EQ(placeIn(list, window).bottom - placeIn(list, window).top, 21 * s) << "closed height";
    }

    // Nothing stored: nothing chosen, PLAY disabled; a sound chosen enables it.
    EXPECT_EQ(SendMessageW(launcher.soundList(), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_FALSE(IsWindowEnabled(launcher.playButton()));
    choose(window, launcher.soundList(), Sound_None);
    EXPECT_TRUE(IsWindowEnabled(launcher.playButton()));

    // The links act on a release over the link pressed; closing before PLAY ends.
    const auto at = [s](int x, int y) { return MAKELPARAM(x * s, y * s); };
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(120, 227));
    SendMessageW(window, WM_LBUTTONUP, 0, at(120, 227));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(120, 249));
    SendMessageW(window, WM_LBUTTONUP, 0, at(120, 100));  // released away from it
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(120, 249));
    SendMessageW(window, WM_LBUTTONUP, 0, at(120, 249));
    EXPECT_EQ(opened, (std::vector<std::wstring>{kMakerWebAddress, kMakerEmailLink}));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(LauncherTest, StoredChoicesShowAndPlayStoresThemAndPlacesTheConsole) {
    settings.write("SoundMode", "2");
    settings.write("System", "0");
    LauncherWindow launcher(handheld, desktop());
    ASSERT_TRUE(launcher.create(GetModuleHandleW(nullptr), nullptr, &settings));
    EXPECT_EQ(SendMessageW(launcher.soundList(), CB_GETCURSEL, 0, 0), Sound_None);
    EXPECT_EQ(SendMessageW(launcher.systemList(), CB_GETCURSEL, 0, 0), System_Older);
    EXPECT_TRUE(IsWindowEnabled(launcher.playButton()));
    launcher.show();
    choose(launcher.handle(), launcher.systemList(), System_2000);
    SendMessageW(launcher.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(launcher.playButton()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(launcher.playButton()));
    ASSERT_EQ(consolePlaces.size(), 1u);
    EXPECT_EQ(consolePlaces[0].left, (1024 - 461) / 2);
    EXPECT_EQ(consolePlaces[0].top, (768 - 738) / 2);
    EXPECT_FALSE(IsWindowVisible(launcher.handle()));
    EXPECT_EQ(settings.read("System").text, "1");
    SendMessageW(launcher.handle(), WM_CLOSE, 0, 0);  // hidden for good: closing it now ends nothing
    EXPECT_EQ(exits, 0);
}

TEST_F(LauncherTest, ABrokenSoundFolderIsReportedAndAValueThatIsNotTextInTheErrorBox) {
    settings.putNotText("System");
    settings.write("SoundMode", "0");
    sound.setMissingFiles({"GameOver.wav"});
    LauncherWindow launcher(handheld, desktop());
    ASSERT_TRUE(launcher.create(GetModuleHandleW(nullptr), nullptr, &settings));
    EXPECT_EQ(errors, (std::vector<std::string>{"Invalid data type for 'System'"}));
    SendMessageW(launcher.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(launcher.playButton()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(launcher.playButton()));
    EXPECT_EQ(brokenFolders, 1);
    EXPECT_TRUE(consolePlaces.empty());
}

TEST(ConsoleMenu, ItemsKeysDefaultAndDisabledItem) {
    HMENU menu = createConsoleMenu();
    ASSERT_TRUE(menu);
    const std::vector<std::wstring> captions = {L"About...\tF1",          L"",  L"View 'Readme.txt'\tF2",
                                                L"View 'Whatsnew.txt'\tF3", L"",  L"Open 'Manual.exe'\tF4",
                                                L"",                        L"E&xit\tEsc"};
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(captions.size()));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item));
        EXPECT_EQ(text, captions[i]) << i;
        EXPECT_EQ((item.fType & MFT_SEPARATOR) != 0, captions[i].empty()) << i;
        if (!captions[i].empty()) {
            EXPECT_EQ((item.fState & MFS_GRAYED) != 0, i == 5) << i;
        }
    }
    EXPECT_EQ(GetMenuDefaultItem(menu, TRUE, 0), 0u);
    DestroyMenu(menu);

    HACCEL keys = createConsoleAccelerators();
    ACCEL table[8];
    ASSERT_EQ(CopyAcceleratorTableW(keys, table, 8), 5);
    const std::vector<std::pair<WORD, WORD>> wanted = {{VK_F1, kCommandAbout},       {VK_F2, kCommandReadme},
                                                       {VK_F3, kCommandWhatsnew},    {VK_F4, kCommandManual},
                                                       {VK_ESCAPE, kCommandExit}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(table[i].key, wanted[i].first);
        EXPECT_EQ(table[i].cmd, wanted[i].second);
        EXPECT_EQ(table[i].fVirt & (FCONTROL | FALT | FSHIFT), 0);
    }
    DestroyAcceleratorTable(keys);
}

TEST(AboutWindow, AtTheTopLeftWithOnlyCloseWhichHidesIt) {
    AboutWindow about;
    ASSERT_TRUE(about.create(GetModuleHandleW(nullptr), nullptr));
    const HWND window = about.handle();
    EXPECT_EQ(textOf(window), L"About the author...");
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_CAPTION), WS_SYSMENU | WS_CAPTION);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    const int s = client.right / AboutWindow::kClientWidth;
    EXPECT_EQ(client.right, 275 * s);
    EXPECT_EQ(client.bottom, 224 * s);
    about.show();
    EXPECT_TRUE(IsWindowVisible(window));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    about.show();  // again
    EXPECT_TRUE(IsWindowVisible(window));
}

}  // namespace
}  // namespace vorlak
