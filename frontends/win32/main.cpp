// Vorlak Simulator on Windows.
#include <windows.h>
#include <objbase.h>

#include "frontends/win32/clock/win32_clock.h"
#include "frontends/win32/shell/program.h"
#include "frontends/win32/shell/program_folder.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace vorlak;
    // The SOUND folder and the side documents are read from the working
    // directory: the program's own, however it was started.
    enterProgramFolder();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the pictures' decoder, the shell
    int status = 1;
    {
        Win32Clock clock;
        Program program(instance, clock);
        if (program.ready()) status = program.run();
    }
    CoUninitialize();
    return status;
}
