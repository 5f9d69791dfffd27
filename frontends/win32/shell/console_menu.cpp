#include "frontends/win32/shell/console_menu.h"

namespace vorlak {

HMENU createConsoleMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AppendMenuW(menu, MF_STRING, kCommandAbout, L"About...\tF1");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kCommandReadme, L"View 'Readme.txt'\tF2");
    AppendMenuW(menu, MF_STRING, kCommandWhatsnew, L"View 'Whatsnew.txt'\tF3");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, kCommandManual, L"Open 'Manual.exe'\tF4");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kCommandExit, L"E&xit\tEsc");
    SetMenuDefaultItem(menu, kCommandAbout, FALSE);
    return menu;
}

HACCEL createConsoleAccelerators() {
    ACCEL keys[] = {
        {FVIRTKEY, VK_F1, kCommandAbout},       {FVIRTKEY, VK_F2, kCommandReadme},
        {FVIRTKEY, VK_F3, kCommandWhatsnew},    {FVIRTKEY, VK_F4, kCommandManual},
        {FVIRTKEY, VK_ESCAPE, kCommandExit},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
}

}  // namespace vorlak
