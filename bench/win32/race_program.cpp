// The Windows program itself, its clock watched: how late each game timer's
// tick came is kept, and written at the end to the file named on the command
// line (one line per tick: the timer's number, then microseconds). Everything else is the program as
// main.cpp starts it; it lives beside the program, whose SOUND folder it uses.
//
// Usage: bench-win32-race.exe <lateness file>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "frontends/win32/clock/win32_clock.h"
#include "frontends/win32/shell/program.h"
#include "frontends/win32/shell/program_folder.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace vorlak;
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 2) return 2;
    FILE* out = _wfopen(args[1], L"w");  // before the working directory moves
    LocalFree(args);
    if (!out) return 2;
    enterProgramFolder();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<std::pair<int, std::int64_t>> ticks;
    ticks.reserve(1 << 16);
    int status = 1;
    {
        Win32Clock clock;
        clock.setTickObserver([&](TimerId id, std::int64_t late) {
            if (isGameTimer(id)) ticks.emplace_back(id, late);
        });
        Program program(instance, clock);
        if (program.ready()) status = program.run();
    }
    for (const auto& [id, late] : ticks) std::fprintf(out, "%d %lld\n", id, static_cast<long long>(late));
    std::fclose(out);
    CoUninitialize();
    return status;
}
