// The launcher's rules: before the first game it asks for the sound output and
// the host system family, keeps the choices in the settings, and its play
// button opens the sound and tells the front end where the console goes.
// Front ends show the lists and the button and report what the player does;
// the choices are positions in the lists below.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "game/console.h"
#include "game/settings.h"

namespace vorlak {

inline constexpr std::array<std::string_view, 3> kSoundEntries = {"Windows MM", "DirectSound", "(no sound)"};
inline constexpr std::array<std::string_view, 2> kSystemEntries = {"95, 98, ME, NT", "2000"};
inline constexpr int kNoChoice = -1;
enum SoundEntry : int { Sound_WindowsMM, Sound_DirectSound, Sound_None };
enum SystemEntry : int { System_Older, System_2000 };

inline constexpr const char* kBrokenSoundFolderText =
    "Sound folder unproperly installed. Read instructions then reinstall.";

// A screen area and a window size, in the console's pixels.
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};
struct WindowPlace {
    int left = 0;
    std::optional<int> top;  // none: the window keeps its top
};

// Play's place for the console: centred across; down the screen only where
// the screen is taller than 600 pixels (halves cut towards zero).
WindowPlace consolePlace(const ScreenArea& screen, int windowWidth, int windowHeight);

struct PlayOutcome {
    enum class Next {
        ShowConsole,          // hide the launcher for good and put the console at `place`
        BrokenSoundFolder,    // show kBrokenSoundFolderText in the error box, then
                              // forgetChoices(), then end the program
    } next = Next::ShowConsole;
    WindowPlace place;
    // Not empty: the sound output could not be had at all (a broken install).
    // Tell the player; the game goes on without sound and the choices stay.
    std::string soundProblem;
};

class Launcher {
public:
    Launcher(Console& console, SettingsStore* settings) : console_(console), settings_(settings) {}

    // Creation: the stored choices chosen in the lists. Returns the error to
    // show in the standard error box when a value is not text (the rest of
    // the reading is skipped then), or nothing.
    std::optional<std::string> FormCreate();

    int soundChoice() const { return sound_; }
    int systemChoice() const { return system_; }
    bool playEnabled() const { return playEnabled_; }

    // The player chose an entry (a position in the list).
    void CB_SoundChange(int position);
    void CB_SystemChange(int position);

    // The play button, with the screen the console is centred on.
    PlayOutcome Puls_PlayClick(const ScreenArea& screen, int windowWidth, int windowHeight);
    // After the broken-folder message: both choices stored as none.
    void forgetChoices();

private:
    static int positionIn(int position, std::size_t count);

    Console& console_;
    SettingsStore* settings_;
    int sound_ = kNoChoice;
    int system_ = kNoChoice;
    bool playEnabled_ = true;
};

}  // namespace vorlak
