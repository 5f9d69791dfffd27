// Wave files a player put in the SOUND folder: each loads as what it says it
// is or gives a null handle, and nothing else happens.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <future>
#include <limits>
#include <thread>
#include <unistd.h>

#include "frontends/qt/sound/sdl_sound.h"
#include "tests/sdl_sound/sound_output.h"
#include "tests/sound/wave_builder.h"

namespace vorlak::test {
namespace {

class PlayerWaveFile : public ::testing::Test {
protected:
    // The device open, as after PLAY.
    void SetUp() override { ASSERT_TRUE(sound.init(22050, 64, 0)); }

    SampleHandle load(const std::vector<std::uint8_t>& bytes) {
        const auto path = output.dir() / "Effect.wav";
        writeFile(path, bytes);
        return sound.sampleLoad(FSOUND_FREE, path.string(), FSOUND_2D, 0);
    }
    // What the output carries from the first sample that is not silent.
    Pcm playAndRead(SampleHandle sample, std::size_t frames) {
        EXPECT_GE(sound.playSound(FSOUND_FREE, sample), 0);
        waitForFrames(sound, sound.framesMixed() + frames + 2 * SdlSound::kBufferFrames);
        sound.close();
        const Pcm out = output.read(sound);
        const auto first = std::find_if(out.begin(), out.end(), [](std::int16_t v) { return v != 0; });
        return Pcm(first, out.end());
    }

    DiskOutput output;
    SdlSound sound;
};

// 20,000 frames said to last 20,000 s: no effect is that slow, and converting
// it to the output rate once took gigabytes.
TEST_F(PlayerWaveFile, ARateOfOneHertzIsRefused) {
    WaveHeader header;
    header.rate = 1;
    EXPECT_EQ(load(makeWave(header, std::vector<std::uint8_t>(40000, 0x10))), nullptr);
}

// An empty data chunk is an effect of no length: it loads and plays nothing.
TEST_F(PlayerWaveFile, AnEmptyDataChunkLoadsAsSilence) {
    const SampleHandle empty = load(makeWave(WaveHeader{}, {}));
    ASSERT_NE(empty, nullptr);
    sound.playSound(FSOUND_FREE, empty);
    waitForMs(sound, 50);
    sound.close();
    const Pcm out = output.read(sound);
    EXPECT_TRUE(isSilent(out, 0, out.size()));
}

// Opening a named pipe used to wait for a writer for ever. Should loading
// still wait after a while, the test opens the pipe's other end to let it go,
// so that the fault shows as a failure rather than as a hung test.
TEST_F(PlayerWaveFile, ANamedPipeIsRefusedWithoutWaiting) {
    const auto pipe = output.dir() / "Level.wav";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::promise<void> loaded;
    bool letGo = false;
    std::thread writer([&, done = loaded.get_future()] {
        if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return;
        const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        letGo = fd >= 0;
        if (fd >= 0) close(fd);
    });
    const SampleHandle handle = sound.sampleLoad(FSOUND_FREE, pipe.string(), FSOUND_2D, 0);
    loaded.set_value();
    writer.join();
    EXPECT_FALSE(letGo) << "loading waited for a writer";
    EXPECT_EQ(handle, nullptr);
}

// Floating-point samples: NaN is silence, infinities are full scale. (Long
// runs, as converters treat blocks of samples apart from the rest.)
TEST_F(PlayerWaveFile, NaNIsSilenceAndInfinityIsFullScale) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const std::pair<int, float> runs[] = {{1, 0.25f}, {64, std::nanf("")}, {32, inf}, {32, -inf},
                                          {32, -std::nanf("")}, {1, 0.5f}};
    std::vector<float> values;
    for (const auto& [count, value] : runs)
        for (int i = 0; i < count; ++i) values.push_back(value);
    const SampleHandle sample = load(makeWave({.encoding = 3, .bits = 32}, bytesOf(values)));
    ASSERT_NE(sample, nullptr);
    const Pcm out = playAndRead(sample, values.size());
    ASSERT_GT(out.size(), values.size());
    Pcm expected;
    for (const auto& [count, value] : runs)
        for (int i = 0; i < count; ++i)
            expected.push_back(std::isnan(value) ? 0 : value == inf ? 32767 : value == -inf ? -32768
                                                                                            : value * 32768);
    expected.push_back(0);
    EXPECT_EQ(Pcm(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
}

// A header whose sizes disagree says two things; the file is refused.
TEST_F(PlayerWaveFile, AHeaderWhoseSizesDisagreeIsRefused) {
    const std::vector<std::uint8_t> samples(600, 0x40);
    struct Case {
        const char* what;
        WaveHeader header;
    };
    WaveHeader threeBytesInOne{.bits = 24, .blockAlign = 1};
    WaveHeader slowerThanItsFrames{.byteRate = 22050};
    WaveHeader moreDataThanTheFile{.dataSize = 6000};
    WaveHeader halfAFrameLeft{.channels = 2};
    halfAFrameLeft.dataSize = 598;
    for (const Case& c : {Case{"24-bit samples in 1-byte frames", threeBytesInOne},
                          Case{"a byte rate for 8-bit frames", slowerThanItsFrames},
                          Case{"a data chunk longer than the file", moreDataThanTheFile},
                          Case{"a data chunk that ends inside a frame", halfAFrameLeft}}) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(load(makeWave(c.header, samples)), nullptr);
    }
    // The same samples with a header that agrees with itself load.
    EXPECT_NE(load(makeWave(WaveHeader{.bits = 24}, samples)), nullptr);
}

}  // namespace
}  // namespace vorlak::test
