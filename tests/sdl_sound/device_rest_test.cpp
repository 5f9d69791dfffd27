// The device rests while the console is switched off: it closes after a
// short silence, and the next effect, tone or switching on opens it again
// with nothing lost.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "frontends/qt/sound/sdl_sound.h"
#include "tests/sdl_sound/sound_output.h"

namespace vorlak::test {
namespace {

using namespace std::chrono_literals;

class DeviceRest : public ::testing::Test {
protected:
    void SetUp() override {
        output.installSoundFolder();
        sound.setOutput(FSOUND_OUTPUT_WINMM);
        ASSERT_TRUE(sound.init(22050, 64, 0));
        pip = sound.sampleLoad(0, "SOUND/Srvc1.wav", 0, 0);
        ASSERT_NE(pip, nullptr);
    }
    // Whether the device is (or becomes) `open` within the time given.
    bool deviceBecomes(bool open, std::chrono::milliseconds within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (sound.deviceOpen() != open)
            if (std::chrono::steady_clock::now() > deadline) return false;
            else std::this_thread::sleep_for(5ms);
        return true;
    }
    static constexpr std::chrono::milliseconds kClosing{SdlSound::kCloseAfterMs + 3000};

    DiskOutput output;
    SdlSound sound;
    SampleHandle pip = nullptr;
};

TEST_F(DeviceRest, TheDeviceClosesInSilenceAndTheNextEffectStartsTheReopenedOutput) {
    EXPECT_TRUE(sound.deviceOpen());
    ASSERT_GE(sound.playSound(FSOUND_FREE, pip), 0);
    // Not before the effect has ended and the silence has lasted.
    std::this_thread::sleep_for(std::chrono::milliseconds(SdlSound::kCloseAfterMs / 2));
    EXPECT_TRUE(sound.deviceOpen());
    ASSERT_TRUE(deviceBecomes(false, kClosing));
    const auto mixed = sound.framesMixed();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(sound.framesMixed(), mixed) << "a closed device still mixes";

    // The disk driver starts its file anew: the reopened device's first
    // frame is the effect's first.
    ASSERT_GE(sound.playSound(FSOUND_FREE, pip), 0);
    EXPECT_TRUE(sound.deviceOpen());
    const Pcm wave = readWave("Srvc1.wav");
    waitForFrames(sound, mixed + wave.size() + SdlSound::kBufferFrames);
    sound.close();
    const Pcm out = output.read(sound);
    ASSERT_GE(out.size(), wave.size());
    EXPECT_TRUE(std::equal(wave.begin(), wave.end(), out.begin()));
}

TEST_F(DeviceRest, TheToneKeepsTheDeviceOpenAndItClosesOnceTheToneStops) {
    ASSERT_TRUE(deviceBecomes(false, kClosing));
    sound.startTone(45895);
    EXPECT_TRUE(sound.deviceOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(SdlSound::kCloseAfterMs + 500));
    EXPECT_TRUE(sound.deviceOpen());
    sound.stopTone();
    EXPECT_TRUE(deviceBecomes(false, kClosing));
}

TEST_F(DeviceRest, SwitchedOnTheDeviceStaysReadyAndSwitchedOffItRestsAfterTheSilence) {
    ASSERT_TRUE(deviceBecomes(false, kClosing));
    sound.keepReady(true);
    EXPECT_TRUE(sound.deviceOpen()) << "switching on opens the device";
    std::this_thread::sleep_for(std::chrono::milliseconds(SdlSound::kCloseAfterMs + 1000));
    EXPECT_TRUE(sound.deviceOpen()) << "a switched-on console's device closed in silence";
    sound.keepReady(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(SdlSound::kCloseAfterMs / 2));
    EXPECT_TRUE(sound.deviceOpen()) << "closed before the silence after switching off had lasted";
    EXPECT_TRUE(deviceBecomes(false, kClosing));
}

}  // namespace
}  // namespace vorlak::test
