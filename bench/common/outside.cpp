#include "bench/common/outside.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorlak::bench {

double monotonicMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepMs(double ms) { std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(ms * 1000))); }

pid_t startProgram(const std::vector<std::string>& argv, const std::string& workDir,
                   const std::vector<std::string>& env) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
    for (const std::string& entry : env) putenv(strdup(entry.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

bool stillRunning(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

void stopProgram(pid_t pid, int graceMs) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    const double deadline = monotonicMs() + graceMs;
    while (monotonicMs() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) != 0) return;
        sleepMs(5);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::int64_t cpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces; fields are counted after its ')'.
    const auto close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    std::int64_t utime = 0, stime = 0;
    for (int n = 3; fields >> field; ++n) {
        if (n == 14) utime = std::stoll(field);
        if (n == 15) {
            stime = std::stoll(field);
            return utime + stime;
        }
    }
    return -1;
}

namespace {

// Each live thread of the process: its name and id, and a figure read from
// its folder in /proc/PID/task; none when the process is gone.
using ThreadFigure = std::optional<std::int64_t> (*)(const std::string& taskFolder);

std::optional<std::vector<std::pair<std::string, std::int64_t>>> perThread(pid_t pid, ThreadFigure figure) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = opendir(dir.c_str());
    if (!tasks) return std::nullopt;
    std::vector<std::pair<std::string, std::int64_t>> out;
    while (const dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        const std::string folder = dir + "/" + entry->d_name;
        std::ifstream comm(folder + "/comm");
        std::string name;
        std::getline(comm, name);
        if (const auto value = figure(folder)) out.emplace_back(name + " (" + entry->d_name + ")", *value);
    }
    closedir(tasks);
    return out;
}

std::int64_t sum(const std::optional<std::vector<std::pair<std::string, std::int64_t>>>& threads) {
    if (!threads) return -1;
    std::int64_t total = 0;
    for (const auto& [name, value] : *threads) total += value;
    return total;
}

std::optional<std::int64_t> runTimeNs(const std::string& taskFolder) {
    std::ifstream in(taskFolder + "/schedstat");
    std::int64_t ns = 0;
    if (in >> ns) return ns;
    return std::nullopt;
}

std::optional<std::int64_t> voluntarySwitches(const std::string& taskFolder) {
    std::ifstream in(taskFolder + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::atoll(line.c_str() + 24);
    return std::nullopt;
}

}  // namespace

std::int64_t cpuNs(pid_t pid) { return sum(perThread(pid, runTimeNs)); }

std::vector<std::pair<std::string, std::int64_t>> threadCpuNs(pid_t pid) {
    return perThread(pid, runTimeNs).value_or(std::vector<std::pair<std::string, std::int64_t>>{});
}

std::int64_t wakeUps(pid_t pid) { return sum(perThread(pid, voluntarySwitches)); }

std::vector<std::pair<std::string, std::int64_t>> threadWakeUps(pid_t pid) {
    return perThread(pid, voluntarySwitches).value_or(std::vector<std::pair<std::string, std::int64_t>>{});
}

double ticksPerSecond() { return static_cast<double>(sysconf(_SC_CLK_TCK)); }

long peakRssKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

std::string settingsHomeWithChoices(int soundMode, int system) {
    char pattern[] = "/tmp/vorlak-bench-settings.XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir) return {};
    const std::string home = dir;
    const std::string folder = home + "/Selvane";
    mkdir(folder.c_str(), 0700);
    std::ofstream(folder + "/Vorlak.conf") << "[General]\nSoundMode=" << soundMode << "\nSystem=" << system << "\n";
    return home;
}

bool xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = startProgram(argv, "", {});
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

XScreen::XScreen() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        std::fprintf(stderr, "cannot open the X display (set DISPLAY, or run under bench/common/with-xvfb.sh)\n");
        std::exit(2);
    }
    // The windows looked at belong to programs that come and go: one that
    // vanishes between listing and reading is no reason to end the bench
    // (Xlib's own handler would exit on the BadWindow).
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    pidAtom_ = XInternAtom(display_, "_NET_WM_PID", False);
}

XScreen::~XScreen() { XCloseDisplay(display_); }

int XScreen::width() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int XScreen::height() const { return DisplayHeight(display_, DefaultScreen(display_)); }

std::vector<WindowPlace> XScreen::windowsOf(pid_t pid) {
    std::vector<WindowPlace> found;
    Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr;
    const Atom pidAtom = pidAtom_;
    unsigned count = 0;
    if (!XQueryTree(display_, root, &root, &parent, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &left, &data) != Success)
            continue;
        const bool ours = data && items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
        if (data) XFree(data);
        if (!ours) continue;
        XWindowAttributes a;
        if (!XGetWindowAttributes(display_, children[i], &a) || a.map_state != IsViewable) continue;
        WindowPlace w{children[i], a.x, a.y, a.width, a.height, false};
        w.onScreen = w.x >= 0 && w.y >= 0 && w.x + w.width <= width() && w.y + w.height <= height();
        found.push_back(w);
    }
    if (children) XFree(children);
    return found;
}

std::optional<WindowPlace> XScreen::windowOf(pid_t pid, int width, int height) {
    for (const WindowPlace& w : windowsOf(pid))
        if (w.width == width && w.height == height) return w;
    return std::nullopt;
}

ScreenShot XScreen::grab(int x, int y, int w, int h) {
    ScreenShot shot;
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width() || y + h > height()) return shot;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!image) return shot;
    shot = ScreenShot{x, y, w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * static_cast<std::size_t>(h))};
    const bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xff0000 && image->blue_mask == 0xff;
    for (int row = 0; row < h; ++row) {
        auto* out = &shot.pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(w)];
        if (direct) {
            const auto* in = reinterpret_cast<const std::uint32_t*>(image->data + row * image->bytes_per_line);
            for (int col = 0; col < w; ++col) out[col] = in[col] & 0xffffff;
        } else {
            for (int col = 0; col < w; ++col) out[col] = static_cast<std::uint32_t>(XGetPixel(image, col, row)) & 0xffffff;
        }
    }
    XDestroyImage(image);
    return shot;
}

bool XScreen::looksDrawn(const WindowPlace& w, int colours) {
    if (!w.onScreen) return false;
    const ScreenShot shot = grab(w.x, w.y, w.width, w.height);
    if (shot.empty()) return false;
    std::set<std::uint32_t> seen;
    for (int y = 0; y < w.height; y += 16)
        for (int x = 0; x < w.width; x += 16) seen.insert(shot.pixels[static_cast<std::size_t>(y * w.width + x)]);
    return static_cast<int>(seen.size()) >= colours;
}

}  // namespace vorlak::bench
