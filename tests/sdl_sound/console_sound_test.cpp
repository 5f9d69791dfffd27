// The console's effects through the SDL layer, read back from the output.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "game/handheld.h"
#include "frontends/qt/sound/sdl_sound.h"
#include "tests/sdl_sound/sound_output.h"

namespace vorlak::test {
namespace {

class ConsoleSound : public ::testing::Test {
protected:
    void open(std::initializer_list<std::string> missing = {}) {
        output.installSoundFolder(missing);
        handheld.startLauncher(nullptr);
        handheld.chooseSound(Sound_WindowsMM);
        handheld.chooseSystem(System_Older);
        opened = handheld.play({0, 0, 1024, 768}).next == PlayOutcome::Next::ShowConsole;
    }
    // Plays and returns the frames at which the effect may start: a play
    // lands at the start of the next buffer, between these two counts.
    std::pair<std::size_t, std::size_t> play(SampleHandle sample) {
        const auto before = sound.framesMixed();
        console.Suona(sample);
        return {before, sound.framesMixed()};
    }
    Pcm close() {
        console.FormClose();
        return output.read(sound);
    }

    DiskOutput output;
    ManualClock clock;
    SdlSound sound;
    NoWindow window;
    Handheld handheld{clock, sound, sound, window};
    Console& console = handheld.console();
    bool opened = false;
};

// Where `wave` (plus whatever is already in `expected`) starts in `out`.
std::optional<std::size_t> startOf(const Pcm& out, const Pcm& wave, std::pair<std::size_t, std::size_t> window,
                                   const Pcm& under = {}) {
    for (std::size_t at = window.first; at <= window.second; at += SdlSound::kBufferFrames) {
        if (at + wave.size() > out.size()) break;
        bool same = true;
        for (std::size_t i = 0; same && i < wave.size(); ++i)
            same = out[at + i] == wave[i] + (at + i < under.size() ? under[at + i] : 0);
        if (same) return at;
    }
    return std::nullopt;
}

TEST_F(ConsoleSound, AnEffectReachesTheOutputSampleForSample) {
    open();
    ASSERT_TRUE(opened);
    const auto window = play(console.samples().Snd_Srvc2);
    const Pcm wave = readWave("Srvc2.wav");
    waitForFrames(sound, window.second + wave.size() + SdlSound::kBufferFrames);
    const Pcm out = close();
    const auto at = startOf(out, wave, window);
    ASSERT_TRUE(at.has_value());
    EXPECT_TRUE(isSilent(out, 0, *at));
    EXPECT_TRUE(isSilent(out, *at + wave.size(), out.size()));
}

// A device that opens at another rate than the files': each effect comes
// out as the shared conversion makes it, whole, and the engine tone keeps its
// pitch at that rate.
TEST_F(ConsoleSound, AtTheDevicesOwnRateEffectsAreConvertedAndTheToneKeepsItsPitch) {
    constexpr int rate = 48000;
    ASSERT_TRUE(sound.init(rate, 64, 0));
    open();
    ASSERT_EQ(sound.outputRate(), rate);
    const Pcm shipped = readWave("Srvc2.wav");
    const auto wave = PcmConverter().convert(shipped, {22050, 1}, {rate, 1});
    ASSERT_TRUE(wave);
    const auto window = play(console.samples().Snd_Srvc2);
    waitForFrames(sound, window.second + wave->size() + SdlSound::kBufferFrames);
    console.Speaker(20);
    const std::size_t toneFrom = sound.framesMixed() + SdlSound::kBufferFrames;
    waitForFrames(sound, toneFrom + rate);
    const Pcm out = close();

    const auto at = startOf(out, *wave, window);
    ASSERT_TRUE(at.has_value());
    EXPECT_TRUE(isSilent(out, *at + wave->size(), toneFrom - SdlSound::kBufferFrames));
    const auto crossings = zeroCrossings(out, toneFrom, toneFrom + rate);
    ASSERT_GE(crossings.size(), 30u);
    const double half = static_cast<double>(crossings.back() - crossings.front()) / static_cast<double>(crossings.size() - 1);
    const double expected = rate / 2.0 / (SdlSound::kTimerClockHz / (1193280u / 20));
    EXPECT_NEAR(half, expected, expected * 0.001);
}

TEST_F(ConsoleSound, TwoEffectsOverlapAndAddUp) {
    open();
    const Pcm start = readWave("Start.wav"), collected = readWave("Srvc2.wav");
    const auto first = play(console.samples().Snd_Start);
    waitForMs(sound, 100);
    const auto second = play(console.samples().Snd_Srvc2);
    waitForFrames(sound, second.second + collected.size() + SdlSound::kBufferFrames);
    const Pcm out = close();

    const Pcm startAlone(start.begin(), start.begin() + (second.first - first.second));
    const auto startAt = startOf(out, startAlone, first);
    ASSERT_TRUE(startAt.has_value());
    Pcm startInOutput(out.size(), 0);
    std::copy(start.begin(), start.begin() + std::min(start.size(), out.size() - *startAt), startInOutput.begin() + *startAt);
    EXPECT_TRUE(startOf(out, collected, second, startInOutput).has_value());
}

TEST_F(ConsoleSound, SilenzioStopsEffectsAndTone) {
    open();
    play(console.samples().Snd_Start);
    play(console.samples().Snd_Level);  // on a second channel
    console.Speaker(20);
    waitForMs(sound, 200);
    console.Silenzio();
    // A buffer already being mixed when Silenzio came may still carry sound.
    const std::size_t silentFrom = sound.framesMixed() + SdlSound::kBufferFrames;
    waitForFrames(sound, silentFrom + 4 * SdlSound::kBufferFrames);
    const Pcm out = close();
    EXPECT_FALSE(isSilent(out, 0, silentFrom - SdlSound::kBufferFrames));
    EXPECT_TRUE(isSilent(out, silentFrom, out.size()));
}

TEST_F(ConsoleSound, NothingPlaysWithoutSoundWantedOrForANullHandle) {
    open();
    console.Suona(nullptr);
    console.set(&ConsoleState::Suono_On, false);
    console.Suona(console.samples().Snd_Srvc2);
    console.set(&ConsoleState::Suono_On, true);
    console.set(&ConsoleState::Suono_Pronto, false);
    console.Suona(console.samples().Snd_Srvc2);
    waitForMs(sound, 200);
    const Pcm out = close();
    EXPECT_GT(out.size(), 0u);
    EXPECT_TRUE(isSilent(out, 0, out.size()));
}

TEST_F(ConsoleSound, AMissingServiceEffectSilencesOnlyItself) {
    open({"Srvc1.wav"});
    EXPECT_TRUE(opened);
    EXPECT_EQ(console.samples().Snd_Srvc1, nullptr);
    const auto silent = play(console.samples().Snd_Srvc1);
    waitForMs(sound, 100);
    const auto heard = play(console.samples().Snd_Srvc2);
    const Pcm wave = readWave("Srvc2.wav");
    waitForFrames(sound, heard.second + wave.size());
    const Pcm out = close();
    EXPECT_TRUE(isSilent(out, silent.first, heard.first));
    EXPECT_TRUE(startOf(out, wave, heard).has_value());
}

// A machine whose sound device does not open is not told its folder is broken.
TEST_F(ConsoleSound, WithoutADeviceEverythingLoadsAndPlaysNothing) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    open();
    EXPECT_TRUE(opened);
    EXPECT_FALSE(sound.isOpen());
    EXPECT_NE(console.samples().Snd_Start, nullptr);
    console.Suona(console.samples().Snd_Start);
    console.Speaker(20);
    console.Silenzio();
    console.FormClose();
}

TEST(SdlSoundNeverOpened, StopFreeCloseAndPlayAreHarmless) {
    SdlSound sound;
    EXPECT_FALSE(sound.stopSound(FSOUND_ALL));
    sound.sampleFree(nullptr);
    EXPECT_EQ(sound.playSound(FSOUND_FREE, nullptr), -1);
    sound.stopTone();
    sound.close();
    sound.close();
}

TEST(SdlSoundLoading, ADamagedOrMissingFileGivesNull) {
    DiskOutput output;
    // A header naming an encoding that does not exist.
    const char header[] = "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x34\x12\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0";
    std::ofstream(output.dir() / "Damaged.wav", std::ios::binary).write(header, sizeof header - 1);
    SdlSound sound;
    EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, (output.dir() / "Damaged.wav").string(), FSOUND_2D, 0), nullptr);
    EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, (output.dir() / "Absent.wav").string(), FSOUND_2D, 0), nullptr);
    EXPECT_NE(sound.sampleLoad(FSOUND_FREE, std::string(VORLAK_ASSETS_DIR) + "/SOUND/Miss.wav", FSOUND_2D, 0), nullptr);
}

}  // namespace
}  // namespace vorlak::test
