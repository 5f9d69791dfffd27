// The Windows sound layer's loading, which needs no device: a player's wave
// file of another rate and channel count is converted to mono at the mix
// rate, and a file that is not a wave file is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "frontends/win32/sound/win_sound.h"
#include "tests/sound/wave_builder.h"

namespace vorlak {
namespace {

TEST(WinSound, APlayersFileIsConvertedToTheMixFormatAndOthersAreRefused) {
    const auto folder = std::filesystem::temp_directory_path() / "vorlak-win-sound-test";
    std::filesystem::create_directories(folder);
    // One second of a 441 Hz tone, 44.1 kHz stereo.
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 44100; ++i) {
        const auto v = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265358979 * 441 * i / 44100.0));
        samples.push_back(v);
        samples.push_back(v);
    }
    test::WaveHeader header;
    header.channels = 2;
    header.rate = 44100;
    test::writeFile(folder / "stereo.wav", test::makeWave(header, test::bytesOf(samples)));
    test::writeFile(folder / "not-a-wave.wav", {'R', 'I', 'F', 'F', 0, 0});

    WinSound sound;
    sound.setOutput(FSOUND_OUTPUT_WINMM);
    sound.init(22050, 64, 0);  // with or without a device, loading is the same
    const std::string base = folder.string() + "\\";
    EXPECT_NE(sound.sampleLoad(FSOUND_FREE, base + "stereo.wav", FSOUND_2D, 0), nullptr);
    EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, base + "not-a-wave.wav", FSOUND_2D, 0), nullptr);
    EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, base + "missing.wav", FSOUND_2D, 0), nullptr);
    sound.close();
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vorlak
