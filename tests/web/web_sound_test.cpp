// The page's sound layer: what reaches the audio engine, and which files load.
#include <gtest/gtest.h>

#include <map>

#include "frontends/web/web_sound.h"
#include "tests/sound/wave_builder.h"

using namespace vorlak;

namespace {

struct Engine : AudioEnginePort {
    int answer = 0;  // the rate the engine runs at; 0: the one asked
    std::vector<std::string> log;
    std::map<int, std::size_t> loaded;
    int open(int rate, int channels) override {
        log.push_back("open " + std::to_string(rate) + " " + std::to_string(channels));
        return answer;
    }
    void load(int id, std::span<const std::int16_t> mono) override { loaded[id] = mono.size(); }
    void play(int id) override { log.push_back("play " + std::to_string(id)); }
    void stop(int channel) override { log.push_back("stop " + std::to_string(channel)); }
    void unload(int id) override { log.push_back("unload " + std::to_string(id)); }
    void tone(std::optional<std::uint16_t> d) override { log.push_back(d ? "tone " + std::to_string(*d) : "tone off"); }
    void close() override { log.push_back("close"); }
};

}  // namespace

TEST(WebSound, LoadsTheWavesThePageHoldsAndSendsTheCoresCallsInOrder) {
    Engine engine;
    std::vector<std::string> asked;
    const auto wave = test::makeWave({}, test::bytesOf(std::vector<std::int16_t>(441, 1000)));
    test::WaveHeader stereo;
    stereo.channels = 2;
    WebSound sound([&](const std::string& name) -> std::optional<std::vector<std::uint8_t>> {
        asked.push_back(name);
        if (name == "SOUND/Start.wav") return wave;
        if (name == "SOUND/Stereo.wav") return test::makeWave(stereo, test::bytesOf(std::vector<std::int16_t>(8, 0)));
        if (name == "SOUND/Text.wav") return std::vector<std::uint8_t>{'n', 'o'};
        return std::nullopt;
    }, engine);
    EXPECT_EQ(sound.playSound(FSOUND_FREE, nullptr), -1);
    EXPECT_FALSE(sound.stopSound(FSOUND_ALL));  // never opened: harmless
    sound.setOutput(FSOUND_OUTPUT_WINMM);
    sound.init(22050, 64, 0);
    const SampleHandle start = sound.sampleLoad(FSOUND_FREE, ".\\SOUND\\Start.wav", FSOUND_2D, 0);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(asked.back(), "SOUND/Start.wav");
    EXPECT_EQ(engine.loaded.begin()->second, 441u);
    for (const char* refused : {".\\SOUND\\Text.wav", ".\\SOUND\\Missing.wav"})
        EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, refused, FSOUND_2D, 0), nullptr) << refused;
    EXPECT_EQ(engine.loaded.size(), 1u);
    // Another format is converted, not refused: stereo mixed to mono.
    ASSERT_NE(sound.sampleLoad(FSOUND_FREE, ".\\SOUND\\Stereo.wav", FSOUND_2D, 0), nullptr);
    EXPECT_EQ(engine.loaded.rbegin()->second, 4u);

    EXPECT_EQ(sound.playSound(FSOUND_FREE, start), 0);
    sound.startTone(59664);
    EXPECT_TRUE(sound.stopSound(FSOUND_ALL));
    sound.sampleFree(start);
    sound.sampleFree(start);  // already freed: nothing
    sound.close();
    sound.close();
    const int id = engine.loaded.begin()->first;
    EXPECT_EQ(engine.log, (std::vector<std::string>{"open 22050 64", "play " + std::to_string(id), "tone 59664", "stop -1",
                                                    "unload " + std::to_string(id), "tone off", "close", "tone off"}));
}

TEST(WebSound, WavesAreConvertedToTheRateTheEngineRunsAt) {
    Engine engine;
    engine.answer = 48000;
    const auto wave = test::makeWave({}, test::bytesOf(std::vector<std::int16_t>(441, 1000)));  // 20 ms at 22050 Hz
    WebSound sound([&](const std::string&) { return std::optional(wave); }, engine);
    sound.init(22050, 64, 0);
    EXPECT_EQ(sound.outputRate(), 48000);
    ASSERT_NE(sound.sampleLoad(FSOUND_FREE, "SOUND/Start.wav", FSOUND_2D, 0), nullptr);
    EXPECT_EQ(engine.loaded.begin()->second, 960u);  // still 20 ms
}
