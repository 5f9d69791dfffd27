// Watching and driving a program from outside, as a user would: start it,
// find its windows on the X server, read the screen, press keys and click
// with xdotool, and read its CPU time and peak memory from /proc.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;  // Xlib's display, kept out of this header: its macros clash

namespace vorlak::bench {

double monotonicMs();
void sleepMs(double ms);

// Starts a program in `workDir` with extra environment entries ("NAME=value").
pid_t startProgram(const std::vector<std::string>& argv, const std::string& workDir,
                   const std::vector<std::string>& env);
// SIGTERM, then SIGKILL after `graceMs`; reaps the process.
void stopProgram(pid_t pid, int graceMs = 2000);
bool stillRunning(pid_t pid);

// CPU time from /proc/PID/stat (utime + stime, in clock ticks) and, to the
// nanosecond, summed over the process's threads from their schedstat.
std::int64_t cpuTicks(pid_t pid);
std::int64_t cpuNs(pid_t pid);
double ticksPerSecond();
// Each thread's name and CPU time in ns, from /proc/PID/task.
std::vector<std::pair<std::string, std::int64_t>> threadCpuNs(pid_t pid);
// Wake-ups: the times the process's live threads went to sleep (voluntary
// context switches, each ended by a wake-up), summed from /proc/PID/task;
// and the same per thread.
std::int64_t wakeUps(pid_t pid);
std::vector<std::pair<std::string, std::int64_t>> threadWakeUps(pid_t pid);
// Peak resident set (VmHWM) in KiB; -1 when unreadable.
long peakRssKb(pid_t pid);

// A fresh settings home (for XDG_CONFIG_HOME) holding the launcher's two
// stored choices, so that play is ready at once.
std::string settingsHomeWithChoices(int soundMode, int system);

// Runs xdotool with these arguments and waits for it; false on failure.
bool xdotool(const std::vector<std::string>& args);

struct WindowPlace {
    unsigned long id = 0;  // the X window
    int x = 0, y = 0, width = 0, height = 0;  // on the root window
    bool onScreen = false;                    // wholly inside the screen
};

// A rectangle of the screen as 0xRRGGBB pixels.
struct ScreenShot {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int screenX, int screenY) const {
        return pixels[static_cast<std::size_t>(screenY - y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(screenX - x)];
    }
    bool empty() const { return pixels.empty(); }
};

class XScreen {
public:
    XScreen();  // exits with a message when DISPLAY cannot be opened
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    int width() const;
    int height() const;
    // Viewable top-level windows whose _NET_WM_PID is `pid`.
    std::vector<WindowPlace> windowsOf(pid_t pid);
    std::optional<WindowPlace> windowOf(pid_t pid, int width, int height);
    // Empty when the rectangle is not wholly on the screen.
    ScreenShot grab(int x, int y, int width, int height);
    // Drawn, rather than still blank: at least `colours` distinct colours on
    // a 16-pixel grid over the window.
    bool looksDrawn(const WindowPlace& w, int colours = 16);

private:
    _XDisplay* display_ = nullptr;
    unsigned long pidAtom_ = 0;
};

}  // namespace vorlak::bench
