// Vorlak Simulator on Windows. For now the console alone: shown at the middle
// of the screen and switched on, without the launcher, its choices and sound.
#include <windows.h>
#include <objbase.h>

#include "frontends/win32/clock/win32_clock.h"
#include "frontends/win32/shell/program_folder.h"
#include "frontends/win32/shell/registry_store.h"
#include "frontends/win32/sound/win_sound.h"
#include "frontends/win32/window/console_pictures.h"
#include "frontends/win32/window/console_view.h"
#include "game/console.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace vorlak;
    enterProgramFolder();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Win32Clock clock;
    WinSound sound;
    Console console(clock, sound, sound);
    ConsolePictures pictures;
    ConsoleView view(console, pictures);
    if (!view.create(instance)) return 1;
    console.setWindow(&view);
    sound.setWindow(view.handle());
    clock.setTickHandler([&console](TimerId id) { console.onTimer(id); });
    console.FormCreate();
    RegistryStore settings;
    view.reports().key = [&console](std::uint16_t key, bool down, bool) {
        if (down)
            console.FormKeyDown(key);
        else
            console.FormKeyUp(key);
    };
    view.reports().closing = [&console] { console.FormClose(); };

    view.placeAtScreenCentre();
    view.show();
    console.Im_OnOffMouseDown(MouseButton::Left);
    console.Im_OnOffClick();
    console.Im_OnOffMouseUp();
    const int code = runMessageLoop(clock);
    CoUninitialize();
    return code;
}
