// The wave reader on its own: every encoding it reads gives the samples the
// file holds, and the limits are where the README says.
#include "sound/wave_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <random>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "tests/sound/wave_builder.h"

namespace vorlak::test {
namespace {

using Samples = std::vector<std::int16_t>;

Samples decoded(const WaveHeader& header, const std::vector<std::uint8_t>& data) {
    const auto pcm = decodeWave(makeWave(header, data));
    return pcm ? pcm->samples : Samples{-1, -1, -1};
}

TEST(WaveReader, EachEncodingGivesItsSamples) {
    // Full scale down, silence, a quarter up, in each encoding.
    EXPECT_EQ(decoded({.bits = 8}, {0x00, 0x80, 0xA0}), (Samples{-32768, 0, 8192}));
    EXPECT_EQ(decoded({}, bytesOf(Samples{-32768, 0, 8192})), (Samples{-32768, 0, 8192}));
    EXPECT_EQ(decoded({.bits = 24}, {0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x55, 0x00, 0x20}),
              (Samples{-32768, -1, 8192}));
    EXPECT_EQ(decoded({.bits = 32}, bytesOf(std::vector<std::int32_t>{INT32_MIN, 0, 0x20000000})),
              (Samples{-32768, 0, 8192}));
    EXPECT_EQ(decoded({.encoding = 3, .bits = 32}, bytesOf(std::vector<float>{-1.0f, 0.0f, 0.25f, 1.5f})),
              (Samples{-32768, 0, 8192, 32767}));
    EXPECT_EQ(decoded({.encoding = 3, .bits = 64}, bytesOf(std::vector<double>{-1.0, 0.0, 0.25})),
              (Samples{-32768, 0, 8192}));
    // The G.711 tables' ends and middles.
    EXPECT_EQ(decoded({.encoding = 6, .bits = 8}, {0x2A, 0xD5, 0xAA}), (Samples{-32256, 8, 32256}));
    EXPECT_EQ(decoded({.encoding = 7, .bits = 8}, {0x00, 0xFF, 0x80}), (Samples{-32124, 0, 32124}));
    // Stereo frames stay interleaved.
    const auto stereo = decodeWave(makeWave({.channels = 2}, bytesOf(Samples{1, 2, 3, 4})));
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->channels, 2);
    EXPECT_EQ(stereo->samples, (Samples{1, 2, 3, 4}));
}

TEST(WaveReader, TheExtensibleHeaderAndChunksAroundTheData) {
    // fmt in its 40-byte extensible form, a LIST chunk of odd size with its
    // padding byte, and a tag appended after the RIFF size.
    std::vector<std::uint8_t> file{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(file, 40);
    for (std::uint32_t v : {0xFFFEu, 1u}) put16(file, v);
    put32(file, 8000);
    put32(file, 16000);
    for (std::uint32_t v : {2u, 16u, 22u, 16u}) put16(file, v);
    put32(file, 4);  // channel mask
    file.insert(file.end(), {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
    file.insert(file.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    file.insert(file.end(), {'d', 'a', 't', 'a', 4, 0, 0, 0, 0x34, 0x12, 0xCC, 0xFF});
    const std::uint32_t riff = static_cast<std::uint32_t>(file.size() - 8);
    std::memcpy(file.data() + 4, &riff, 4);
    file.insert(file.end(), {'T', 'A', 'G', 0xFF, 0xFF, 0xFF, 0xFF});
    const auto pcm = decodeWave(file);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, 8000);
    EXPECT_EQ(pcm->samples, (Samples{0x1234, -52}));
    // The same with a GUID that names no encoding.
    file[12 + 8 + 24 + 5] = 0x11;
    EXPECT_FALSE(decodeWave(file));
}

TEST(WaveReader, LimitsOfRateChannelsAndLength) {
    const std::vector<std::uint8_t> second(2 * 4000, 0);
    EXPECT_FALSE(decodeWave(makeWave({.rate = 3999}, second)));
    EXPECT_TRUE(decodeWave(makeWave({.rate = 4000}, second)));
    EXPECT_TRUE(decodeWave(makeWave({.rate = 192000}, second)));
    EXPECT_FALSE(decodeWave(makeWave({.rate = 192001}, second)));
    EXPECT_TRUE(decodeWave(makeWave({.channels = 8, .bits = 8}, second)));
    EXPECT_FALSE(decodeWave(makeWave({.channels = 9, .bits = 8}, std::vector<std::uint8_t>(9 * 10))));
    EXPECT_FALSE(decodeWave(makeWave({.channels = 0}, {})));
    // 60 seconds at 4000 Hz and one frame more.
    EXPECT_TRUE(decodeWave(makeWave({.rate = 4000, .bits = 8}, std::vector<std::uint8_t>(60 * 4000))));
    EXPECT_FALSE(decodeWave(makeWave({.rate = 4000, .bits = 8}, std::vector<std::uint8_t>(60 * 4000 + 1))));
    // Encodings and widths it does not read.
    EXPECT_FALSE(decodeWave(makeWave({.bits = 12, .blockAlign = 2}, second)));
    EXPECT_FALSE(decodeWave(makeWave({.encoding = 2, .bits = 4, .blockAlign = 256}, second)));
    EXPECT_FALSE(decodeWave(makeWave({.encoding = 3, .bits = 16}, second)));
}

// Every byte as it is in the file, where a text mode would stop at the first
// 0x1A or turn CR LF into LF; and nothing but a regular file within the size.
TEST(RegularFile, IsReadWholeByteForByte) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vorlak-read-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    std::vector<std::uint8_t> bytes{'R', 'I', 'F', 'F', 0x1A, '\r', '\n', 0, '\n', '\r', 0x1A, 0xFF, 0x1A, '\r', '\n'};
    for (int i = 0; i < 512; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
    const fs::path file = dir / "Start.wav";
    writeFile(file, bytes);
    EXPECT_EQ(readRegularFile(file.string(), bytes.size()), bytes);
    EXPECT_FALSE(readRegularFile(file.string(), bytes.size() - 1));
    EXPECT_FALSE(readRegularFile((dir / "Missing.wav").string(), 1000));
    EXPECT_FALSE(readRegularFile(dir.string(), 1000));
#ifdef _WIN32
    EXPECT_FALSE(readRegularFile("NUL", 1000));
#else
    EXPECT_FALSE(readRegularFile("/dev/null", 1000));
#endif
    fs::remove_all(dir);
}

#ifdef _WIN32
// A pipe whose other end never writes would hold a read for ever. Should the
// reader still wait after a while, the pipe is closed to let it go, so that
// the fault shows as a failure rather than as a hung test.
TEST(RegularFile, ANamedPipeIsRefusedWithoutWaiting) {
    const HANDLE pipe = CreateNamedPipeW(L"\\\\.\\pipe\\vorlak-read-test", PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                         1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    std::promise<void> read;
    bool letGo = false;
    std::thread watchdog([&, done = read.get_future()] {
        if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return;
        letGo = true;
        DisconnectNamedPipe(pipe);
    });
    const auto content = readRegularFile("\\\\.\\pipe\\vorlak-read-test", 1000);
    read.set_value();
    watchdog.join();
    CloseHandle(pipe);
    EXPECT_FALSE(letGo) << "reading waited for the pipe";
    EXPECT_FALSE(content);
}
#endif

}  // namespace
}  // namespace vorlak::test
