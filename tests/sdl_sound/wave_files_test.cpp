// The shipped SOUND folder: format and lengths that fit each effect's phase.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/sdl_sound/sound_output.h"

namespace vorlak::test {
namespace {

struct Expected {
    const char* file;
    int minMs, maxMs;  // a tune must end before its phase does
};

TEST(WaveFiles, AreBuzzerEffectsThatFitTheirPhases) {
    const Expected all[] = {{"Start.wav", 3800, 4124},    {"Semaph.wav", 3600, 4200}, {"Miss.wav", 1800, 2100},
                            {"Level.wav", 4100, 4499},    {"GameOver.wav", 3600, 3999},
                            {"Srvc1.wav", 50, 400},       {"Srvc2.wav", 50, 400}};
    for (const Expected& e : all) {
        SCOPED_TRACE(e.file);
        SDL_AudioSpec wave;
        Uint8* data = nullptr;
        Uint32 length = 0;
        const std::string path = std::string(VORLAK_ASSETS_DIR) + "/SOUND/" + e.file;
        ASSERT_NE(SDL_LoadWAV(path.c_str(), &wave, &data, &length), nullptr) << SDL_GetError();
        SDL_FreeWAV(data);
        EXPECT_EQ(wave.freq, 22050);
        EXPECT_EQ(wave.channels, 1);
        EXPECT_TRUE(wave.format == AUDIO_S16LSB || wave.format == AUDIO_U8);
        const int ms = static_cast<int>(length / SDL_AUDIO_BITSIZE(wave.format) * 8 * 1000 / 22050);
        EXPECT_GE(ms, e.minMs);
        EXPECT_LE(ms, e.maxMs);
    }
}

// The lights' effect beeps as the lights come on and as each goes out.
TEST(WaveFiles, StartLightsBeepAtEachLightChange) {
    const Pcm pcm = readWave("Semaph.wav");
    std::vector<int> onsetsMs;
    for (std::size_t i = 0, quietSince = 0; i < pcm.size(); ++i) {
        if (pcm[i] == 0) continue;
        if (i - quietSince > 22050 / 10 || onsetsMs.empty()) onsetsMs.push_back(static_cast<int>(i * 1000 / 22050));
        quietSince = i;
    }
    ASSERT_EQ(onsetsMs.size(), 4u);
    const int lights[] = {0, 882, 882 + 1200, 882 + 1200 + 1400};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(onsetsMs[i], lights[i], 5);
}

}  // namespace
}  // namespace vorlak::test
