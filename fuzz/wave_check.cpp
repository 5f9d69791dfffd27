#include "fuzz/reader_checks.h"

#include "sound/pcm_conversion.h"
#include "sound/wave_file.h"

namespace vorlak {

std::string checkWaveReader(std::span<const std::uint8_t> input) {
    const auto wave = decodeWave(input);
    std::uint64_t frames = 0;
    if (wave) {
        if (wave->rate < WaveLimits::kMinRate || wave->rate > WaveLimits::kMaxRate) return "a rate out of range";
        if (wave->channels < 1 || wave->channels > WaveLimits::kMaxChannels) return "a channel count out of range";
        if (wave->samples.size() % static_cast<std::size_t>(wave->channels) != 0) return "a partial frame";
        if (wave->samples.size() > input.size()) return "more samples than the file has bytes";
        frames = wave->samples.size() / static_cast<std::size_t>(wave->channels);
        if (frames > static_cast<std::uint64_t>(WaveLimits::kMaxSeconds) * static_cast<std::uint64_t>(wave->rate))
            return "longer than a wave file may last";
    }
    // What loading makes of it, at the rate the console asks for and at a
    // device's usual format: exactly the file's duration at the new rate.
    PcmConverter converter;
    for (const PcmFormat to : {PcmFormat{22050, 1}, PcmFormat{48000, 2}}) {
        const auto samples = converter.decodeWave(input, to);
        if (samples.has_value() != wave.has_value()) return "loading and reading disagree about the file";
        if (!samples) continue;
        if (samples->size() % static_cast<std::size_t>(to.channels) != 0) return "a partial frame after conversion";
        const std::uint64_t expected = (2 * frames * static_cast<std::uint64_t>(to.rate) + static_cast<std::uint64_t>(wave->rate)) /
                                       (2 * static_cast<std::uint64_t>(wave->rate));
        if (samples->size() / static_cast<std::size_t>(to.channels) != expected)
            return "a converted length other than the file's duration at the new rate";
    }
    return {};
}

}  // namespace vorlak
