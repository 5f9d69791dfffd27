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

#include "sound/sdl_sound.h"
#include "tests/sound/sound_output.h"
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

// Opening a named pipe used to wait for a writer for ever. If loading still
// waits after a while, the test writes a good wave file into the pipe, so
// that the fault shows as a handle rather than as a hung test.
TEST_F(PlayerWaveFile, ANamedPipeIsRefusedWithoutWaiting) {
    const auto pipe = output.dir() / "Level.wav";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::promise<void> loaded;
    std::thread writer([&, done = loaded.get_future()] {
        if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return;
        const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) return;
        const auto wave = makeWave(WaveHeader{}, std::vector<std::uint8_t>(200, 0x20));
        EXPECT_EQ(write(fd, wave.data(), wave.size()), static_cast<ssize_t>(wave.size()));
        close(fd);
    });
    const SampleHandle handle = sound.sampleLoad(FSOUND_FREE, pipe.string(), FSOUND_2D, 0);
    loaded.set_value();
    writer.join();
    EXPECT_EQ(handle, nullptr);
}

// Floating-point samples: NaN is silence, infinities are full scale.
TEST_F(PlayerWaveFile, NaNIsSilenceAndInfinityIsFullScale) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> values{0.25f, std::nanf(""), inf, -inf, -std::nanf(""), 0.5f};
    WaveHeader header;
    header.encoding = 3;
    header.bits = 32;
    const SampleHandle sample = load(makeWave(header, bytesOf(values)));
    ASSERT_NE(sample, nullptr);
    const Pcm out = playAndRead(sample, values.size());
    ASSERT_GE(out.size(), values.size() + 1);
    EXPECT_EQ(Pcm(out.begin(), out.begin() + 7), (Pcm{8192, 0, 32767, -32768, 0, 16384, 0}));
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
