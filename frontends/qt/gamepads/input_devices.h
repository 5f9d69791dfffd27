// The system's input devices as seen without SDL: a watch on the device
// folder for devices that come and go, and whether any of them may be a pad.
// This is what the program waits on before it loads SDL for the pads at all.
#pragma once

#include <string>

namespace vorlak {

// inotify on the input device folder, or on its parent until the folder
// appears (a machine with no input device yet).
class InputFolderWatch {
public:
    explicit InputFolderWatch(std::string folder = "/dev/input");
    ~InputFolderWatch();
    InputFolderWatch(const InputFolderWatch&) = delete;
    InputFolderWatch& operator=(const InputFolderWatch&) = delete;

    // Readable when something changed; -1 when the system gives no watch.
    int fd() const { return fd_; }
    // Reads the changes, and watches the folder itself once it has appeared.
    void drain();

private:
    void watchFolder();

    std::string folder_;
    int fd_ = -1;
    bool watchingParent_ = false;
};

// Whether a device that may be a pad is present: a joystick node (js*), or an
// event device whose keys include a joystick or gamepad button. Read from the
// system's device descriptions, which need no permission on the devices.
bool padDevicePresent(const std::string& sysInputFolder = "/sys/class/input");

}  // namespace vorlak
