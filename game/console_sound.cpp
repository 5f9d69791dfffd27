// The console's sound: the bank of seven effects and the engine tone.
#include "game/console.h"

namespace vorlak {

bool Console::openSampleBank(int outputType) {
    sound_.setOutput(outputType);
    sound_.init(22050, 64, 0);
    // Every file is tried, even after a failure; only the first one decides.
    Snd_GameOver = sound_.sampleLoad(FSOUND_FREE, ".\\SOUND\\GameOver.wav", FSOUND_2D, 0);
    Snd_Level = sound_.sampleLoad(FSOUND_FREE, ".\\SOUND\\Level.wav", FSOUND_2D, 0);
    Snd_Miss = sound_.sampleLoad(FSOUND_FREE, ".\\SOUND\\Miss.wav", FSOUND_2D, 0);
    Snd_Semaph = sound_.sampleLoad(FSOUND_FREE, ".\\SOUND\\Semaph.wav", FSOUND_2D, 0);
    Snd_Srvc1 = sound_.sampleLoad(FSOUND_FREE, ".\\SOUND\\Srvc1.wav", FSOUND_2D, 0);
    Snd_Srvc2 = sound_.sampleLoad(FSOUND_FREE, ".\\SOUND\\Srvc2.wav", FSOUND_2D, 0);
    Snd_Start = sound_.sampleLoad(FSOUND_FREE, ".\\SOUND\\Start.wav", FSOUND_2D, 0);
    return Snd_GameOver != nullptr;
}

void Console::Suona(SampleHandle sample) {
    if (Suono_On && Suono_Pronto) sound_.playSound(FSOUND_FREE, sample);
}

void Console::Silenzio() {
    sound_.stopSound(FSOUND_ALL);
    NoSpeaker();
}

// The tone's divisor is taken against 1193280, so 20, 22 and 26 give 59664,
// 54240 and 45895. Below 19 the divisor would not fit in 16 bits: refused.
void Console::Speaker(std::uint32_t tone) {
    if (tone < 19) return;
    const auto divisor = static_cast<std::uint16_t>((1193280u / tone) & 0xFFFFu);
    if (!Speaker_On) return;
    speaker_.startTone(divisor);
}

void Console::NoSpeaker() {
    if (Speaker_On) speaker_.stopTone();
}

// The program's end also ends the engine tone, which would otherwise go on
// sounding after the window is gone.
void Console::FormClose() {
    NoSpeaker();
    for (SampleHandle* handle : {&Snd_GameOver, &Snd_Level, &Snd_Miss, &Snd_Semaph, &Snd_Srvc1, &Snd_Srvc2, &Snd_Start}) {
        sound_.sampleFree(*handle);
        *handle = nullptr;
    }
    sound_.close();
}

}  // namespace vorlak
