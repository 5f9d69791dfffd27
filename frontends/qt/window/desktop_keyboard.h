// The desktop's keyboard repeat settings, which the window uses to repeat a
// held CTRL the way the desktop repeats other keys.
#pragma once

namespace vorlak {

struct KeyRepeatSettings {
    int delayMs = 500;     // before the first repeat
    int intervalMs = 33;   // between repeats
};

KeyRepeatSettings desktopKeyRepeat();

}  // namespace vorlak
