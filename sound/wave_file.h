// Reading the wave files of the SOUND folder, which players replace with
// their own: whatever a file holds, it is either read as what its header says
// or refused, and no size is trusted before it has been checked.
//
// Plain C++, so that the reader can be fuzzed and tested on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorlak {

// Limits no real effect comes near (the console's longest tune lasts 4.5 s).
struct WaveLimits {
    static constexpr std::size_t kMaxFileBytes = 32u << 20;
    static constexpr int kMinRate = 4000;
    static constexpr int kMaxRate = 192000;
    static constexpr int kMaxChannels = 8;
    static constexpr int kMaxSeconds = 60;
    // An effect converted to an output's format (see pcm_conversion.h).
    static constexpr std::size_t kMaxConvertedBytes = 64u << 20;
};

// 16-bit signed samples, channels interleaved.
struct Pcm16 {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
};

// The samples of a wave file held in memory, or nothing. Read: integer PCM of
// 8, 16, 24 and 32 bits, floating point of 32 and 64 bits (NaN is silence,
// beyond full scale is full scale), A-law and mu-law, plain or in the
// extensible header; within the limits above. Refused: any other encoding,
// and a header whose sizes disagree with each other or with the file.
std::optional<Pcm16> decodeWave(std::span<const std::uint8_t> bytes);

// The whole content of a regular file of at most maxBytes, byte for byte on
// every platform (never through a text mode), or nothing. Never blocks on
// opening (a named pipe or a device is refused, not waited for). On Windows
// the path is UTF-8.
std::optional<std::vector<std::uint8_t>> readRegularFile(const std::string& path, std::size_t maxBytes);

}  // namespace vorlak
