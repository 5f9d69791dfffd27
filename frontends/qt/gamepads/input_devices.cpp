#include "frontends/qt/gamepads/input_devices.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace vorlak {
namespace {

constexpr std::uint32_t kFolderChanges = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO;

// Joystick and gamepad buttons: BTN_JOYSTICK (0x120) to BTN_THUMBR (0x13e).
constexpr unsigned kFirstPadButton = 0x120;
constexpr unsigned kLastPadButton = 0x13e;

// The key capabilities as the system writes them: hexadecimal words of the
// machine's long, the highest first; bit n of the whole is key code n.
bool hasPadButton(const std::string& capabilities) {
    std::istringstream in(capabilities);
    std::vector<unsigned long long> words;
    std::string word;
    while (in >> word) words.push_back(std::strtoull(word.c_str(), nullptr, 16));
    constexpr unsigned bits = sizeof(long) * 8;
    for (unsigned code = kFirstPadButton; code <= kLastPadButton; ++code) {
        const std::size_t index = code / bits;
        if (index < words.size() && (words[words.size() - 1 - index] >> (code % bits)) & 1) return true;
    }
    return false;
}

}  // namespace

InputFolderWatch::InputFolderWatch(std::string folder) : folder_(std::move(folder)) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) watchFolder();
}

InputFolderWatch::~InputFolderWatch() {
    if (fd_ >= 0) ::close(fd_);
}

void InputFolderWatch::watchFolder() {
    if (inotify_add_watch(fd_, folder_.c_str(), kFolderChanges) >= 0) {
        watchingParent_ = false;
        return;
    }
    const std::string parent = std::filesystem::path(folder_).parent_path();
    watchingParent_ = errno == ENOENT && inotify_add_watch(fd_, parent.c_str(), IN_CREATE | IN_MOVED_TO) >= 0;
}

void InputFolderWatch::drain() {
    if (fd_ < 0) return;
    const std::string name = std::filesystem::path(folder_).filename();
    alignas(inotify_event) char buffer[4096];
    bool folderCame = false;
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (watchingParent_ && event->len > 0 && name == event->name) folderCame = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (folderCame) watchFolder();
}

bool padDevicePresent(const std::string& sysInputFolder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(sysInputFolder, error)) {
        const std::string name = entry.path().filename();
        if (name.rfind("js", 0) == 0) return true;
        if (name.rfind("event", 0) != 0) continue;
        std::ifstream keys(entry.path() / "device" / "capabilities" / "key");
        std::string capabilities;
        if (std::getline(keys, capabilities) && hasPadButton(capabilities)) return true;
    }
    return false;
}

}  // namespace vorlak
