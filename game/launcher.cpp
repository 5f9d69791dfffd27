#include "game/launcher.h"

namespace vorlak {

WindowPlace consolePlace(const ScreenArea& screen, int windowWidth, int windowHeight) {
    WindowPlace place;
    place.left = screen.left + (screen.width - windowWidth) / 2;
    if (screen.height > 600) place.top = screen.top + (screen.height - windowHeight) / 2;
    return place;
}

// A stored position outside the list, -1 included, chooses nothing.
int Launcher::positionIn(int position, std::size_t count) {
    return position >= 0 && static_cast<std::size_t>(position) < count ? position : kNoChoice;
}

std::optional<std::string> Launcher::FormCreate() {
    try {
        sound_ = positionIn(settings_ ? readInteger(*settings_, "SoundMode", kNoChoice) : kNoChoice, kSoundEntries.size());
        system_ = positionIn(settings_ ? readInteger(*settings_, "System", kNoChoice) : kNoChoice, kSystemEntries.size());
        if (sound_ == kNoChoice) playEnabled_ = false;
        if (system_ == kNoChoice) playEnabled_ = false;
    } catch (const InvalidDataType& error) {
        return error.what();
    }
    return std::nullopt;
}

// Choosing a sound is enough to play: the system then counts as "2000".
void Launcher::CB_SoundChange(int position) {
    sound_ = positionIn(position, kSoundEntries.size());
    if (sound_ != kNoChoice) playEnabled_ = true;
}

void Launcher::CB_SystemChange(int position) {
    system_ = positionIn(position, kSystemEntries.size());
    if (sound_ != kNoChoice && system_ != kNoChoice) playEnabled_ = true;
}

// The choices are stored before the sound is opened, so that a failed
// opening can overwrite them.
PlayOutcome Launcher::Puls_PlayClick(const ScreenArea& screen, int windowWidth, int windowHeight) {
    PlayOutcome outcome;
    int outputType = FSOUND_OUTPUT_NOSOUND;
    switch (sound_) {
        case Sound_None:
            console_.chooseNoSound();
            if (settings_) writeInteger(*settings_, "SoundMode", Sound_None);
            break;
        case Sound_WindowsMM:
            console_.chooseSoundOutput();
            if (settings_) writeInteger(*settings_, "SoundMode", Sound_WindowsMM);
            outputType = FSOUND_OUTPUT_WINMM;
            break;
        case Sound_DirectSound:
            console_.chooseSoundOutput();
            if (settings_) writeInteger(*settings_, "SoundMode", Sound_DirectSound);
            outputType = FSOUND_OUTPUT_DSOUND;
            break;
        default: break;  // nothing chosen: nothing changed or written
    }
    const bool olderSystem = system_ == System_Older;
    console_.allowSpeaker(olderSystem);
    if (settings_) writeInteger(*settings_, "System", olderSystem ? System_Older : System_2000);

    if (console_.state().Suono_Pronto && !console_.openSampleBank(outputType)) {
        const std::string problem = console_.soundOutputProblem();
        if (problem.empty()) {
            outcome.next = PlayOutcome::Next::BrokenSoundFolder;
            return outcome;
        }
        // The SOUND folder was never read: the output itself is missing.
        outcome.soundProblem = "No sound: " + problem + ". The game plays on without it";
        console_.soundUnavailable();
    }
    outcome.place = consolePlace(screen, windowWidth, windowHeight);
    return outcome;
}

void Launcher::forgetChoices() {
    if (!settings_) return;
    writeInteger(*settings_, "SoundMode", kNoChoice);
    writeInteger(*settings_, "System", kNoChoice);
}

}  // namespace vorlak
