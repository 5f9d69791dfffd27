// The engine tone as it comes out of the mixer: pitch, continuity, silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "game/handheld.h"
#include "frontends/qt/sound/sdl_sound.h"
#include "tests/sdl_sound/sound_output.h"

namespace vorlak::test {
namespace {

class EngineTone : public ::testing::Test {
protected:
    // Play with Windows MM and the engine tone.
    void SetUp() override {
        output.installSoundFolder();
        handheld.startLauncher(nullptr);
        handheld.chooseSound(Sound_WindowsMM);
        handheld.chooseSystem(System_Older);
        ASSERT_EQ(handheld.play({0, 0, 1024, 768}).next, PlayOutcome::Next::ShowConsole);
        ASSERT_TRUE(sound.isOpen());
    }
    Pcm close() {
        console.FormClose();
        return output.read(sound);
    }
    // Half a period of the tone for a gear's value, in output frames.
    static double halfPeriod(std::uint32_t tone) {
        return 22050.0 / 2.0 / (SdlSound::kTimerClockHz / (1193280u / tone));
    }

    DiskOutput output;
    ManualClock clock;
    SdlSound sound;
    NoWindow window;
    Handheld handheld{clock, sound, sound, window};
    Console& console = handheld.console();
};

class EngineToneGear : public EngineTone, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(EngineToneGear, SoundsAtTheTimerClockOverTheDivisor) {
    console.Speaker(GetParam());
    const std::size_t from = sound.framesMixed() + SdlSound::kBufferFrames;
    waitForFrames(sound, from + 22050);
    const Pcm out = close();
    const auto crossings = zeroCrossings(out, from, from + 22050);
    ASSERT_GE(crossings.size(), 30u);
    const double measuredHalf =
        static_cast<double>(crossings.back() - crossings.front()) / static_cast<double>(crossings.size() - 1);
    EXPECT_NEAR(measuredHalf, halfPeriod(GetParam()), halfPeriod(GetParam()) * 0.001);
    for (std::size_t i = from; i < from + 22050; ++i)
        ASSERT_EQ(std::abs(out[i]), SdlSound::kToneAmplitude) << "at frame " << i;
}

INSTANTIATE_TEST_SUITE_P(Gears, EngineToneGear, ::testing::Values(20u, 22u, 26u));

TEST_F(EngineTone, AGearChangeChangesThePitchAtOnceWithoutAGap) {
    console.Speaker(22);
    waitForMs(sound, 300);
    const std::size_t change = sound.framesMixed();
    console.Speaker(26);
    waitForMs(sound, 300);
    const Pcm out = close();

    const auto crossings = zeroCrossings(out, 0, out.size());
    ASSERT_GE(crossings.size(), 20u);
    const double slow = halfPeriod(22), fast = halfPeriod(26);
    int transitional = 0;
    for (std::size_t i = 1; i < crossings.size(); ++i) {
        const double half = static_cast<double>(crossings[i] - crossings[i - 1]);
        // No half-wave longer than the old pitch's (a gap) or shorter than the new one's (a click).
        EXPECT_GE(half, fast - 1.5);
        EXPECT_LE(half, slow + 1.5);
        if (crossings[i] <= change) EXPECT_NEAR(half, slow, 1.5);
        else if (crossings[i - 1] >= change + SdlSound::kBufferFrames) EXPECT_NEAR(half, fast, 1.5);
        else ++transitional;
    }
    EXPECT_LE(transitional, 2);
    EXPECT_EQ(std::count(out.begin() + crossings.front(), out.end(), 0), 0);
}

TEST_F(EngineTone, SilenzioSilencesIt) {
    console.Speaker(20);
    waitForMs(sound, 200);
    console.Silenzio();
    const std::size_t silentFrom = sound.framesMixed() + SdlSound::kBufferFrames;
    waitForFrames(sound, silentFrom + 22050 / 4);
    const Pcm out = close();
    EXPECT_FALSE(isSilent(out, 0, silentFrom - SdlSound::kBufferFrames));
    EXPECT_TRUE(isSilent(out, silentFrom, out.size()));
}

TEST_F(EngineTone, NothingSoundsWithoutTheSpeakerOrBelowTheLowestTone) {
    console.set(&ConsoleState::Speaker_On, false);
    console.Speaker(20);
    console.set(&ConsoleState::Speaker_On, true);
    console.Speaker(18);
    console.Speaker(0);
    waitForMs(sound, 250);
    const Pcm out = close();
    EXPECT_GT(out.size(), 0u);
    EXPECT_TRUE(isSilent(out, 0, out.size()));
}

TEST_F(EngineTone, ClosingSilencesItForGood) {
    console.Speaker(20);
    console.FormClose();
    ASSERT_TRUE(sound.init(22050, 64, 0));
    waitForMs(sound, 100);
    EXPECT_TRUE(isSilent(close(), 0, SIZE_MAX));
}

}  // namespace
}  // namespace vorlak::test
