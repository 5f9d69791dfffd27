// Plays through the Windows sound layer what the sound test records from the
// other side: a second of silence, the engine tone at gear 1 (20 Hz) for
// 1.5 s, half a second of silence, then the start tune from the SOUND folder;
// prints what happened. Without a sound device it runs the same, silently.
//
// Usage: win32-sound-probe winmm|dsound SOUND-FOLDER
#include <cstdio>
#include <cstring>
#include <string>

#include "frontends/win32/sound/win_sound.h"

int main(int argc, char** argv) {
    using namespace vorlak;
    if (argc != 3 || (std::strcmp(argv[1], "winmm") != 0 && std::strcmp(argv[1], "dsound") != 0)) {
        std::fprintf(stderr, "usage: win32-sound-probe winmm|dsound SOUND-FOLDER\n");
        return 2;
    }
    WinSound sound;
    sound.setOutput(std::strcmp(argv[1], "winmm") == 0 ? FSOUND_OUTPUT_WINMM : FSOUND_OUTPUT_DSOUND);
    sound.init(22050, 64, 0);
    const SampleHandle start = sound.sampleLoad(FSOUND_FREE, std::string(argv[2]) + "\\Start.wav", FSOUND_2D, 0);
    const bool loaded = start != nullptr;
    std::printf("open %d, Start.wav %s\n", sound.isOpen() ? 1 : 0, loaded ? "loaded" : "not loaded");
    std::fflush(stdout);
    // Silence has no timing to keep.
    const auto pause = [&](DWORD ms) {
        if (sound.isOpen()) Sleep(ms);
    };
    pause(1000);  // the system's stream under way
    sound.startTone(static_cast<std::uint16_t>(1193280u / 20u));
    pause(1500);
    sound.stopTone();
    pause(500);
    const int channel = sound.playSound(FSOUND_FREE, start);
    pause(4500);
    sound.stopSound(FSOUND_ALL);
    sound.sampleFree(start);
    std::printf("channel %d, frames mixed %llu\n", channel, static_cast<unsigned long long>(sound.framesMixed()));
    sound.close();
    return loaded ? 0 : 1;
}
