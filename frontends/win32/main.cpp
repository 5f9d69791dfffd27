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
#include "game/handheld.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace vorlak;
    enterProgramFolder();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Win32Clock clock;
    WinSound sound;
    ConsolePictures pictures;
    ConsoleView view(pictures);
    if (!view.create(instance)) return 1;
    sound.setWindow(view.handle());
    int code = 0;
    {
        Handheld handheld(clock, sound, sound, view, ConsoleView::platformTraits());
        view.attach(&handheld);
        clock.setTickHandler([&handheld](TimerId id) { handheld.tick(id); });
        RegistryStore settings;

        view.placeAtScreenCentre();
        view.show();
        Console& console = handheld.console();
        console.Im_OnOffMouseDown(MouseButton::Left);
        console.Im_OnOffClick();
        console.Im_OnOffMouseUp();
        code = runMessageLoop(clock);
        view.attach(nullptr);
        clock.setTickHandler(nullptr);
    }
    CoUninitialize();
    return code;
}
