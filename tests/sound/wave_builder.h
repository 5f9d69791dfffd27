// Wave files made in memory, with every header field open to being wrong.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace vorlak::test {

struct WaveHeader {
    std::uint16_t encoding = 1;  // 1 integer PCM, 3 floating point, 6 A-law, 7 mu-law
    std::uint16_t channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t bits = 16;
    // Left empty, each is what the fields above make it.
    std::optional<std::uint16_t> blockAlign{};
    std::optional<std::uint32_t> byteRate{};
    std::optional<std::uint32_t> dataSize{};
};

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

inline std::vector<std::uint8_t> makeWave(const WaveHeader& h, const std::vector<std::uint8_t>& data) {
    const std::uint16_t align = h.blockAlign.value_or(static_cast<std::uint16_t>(h.channels * h.bits / 8));
    std::vector<std::uint8_t> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(out, 16);
    put16(out, h.encoding);
    put16(out, h.channels);
    put32(out, h.rate);
    put32(out, h.byteRate.value_or(h.rate * align));
    put16(out, align);
    put16(out, h.bits);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, h.dataSize.value_or(static_cast<std::uint32_t>(data.size())));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2) out.push_back(0);
    const std::uint32_t riff = static_cast<std::uint32_t>(out.size() - 8);
    std::memcpy(out.data() + 4, &riff, 4);  // little-endian machines only, as the tests run
    return out;
}

// Samples as the bytes of a data chunk.
template <typename T>
std::vector<std::uint8_t> bytesOf(const std::vector<T>& values) {
    std::vector<std::uint8_t> out(values.size() * sizeof(T));
    std::memcpy(out.data(), values.data(), out.size());
    return out;
}

inline void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vorlak::test
