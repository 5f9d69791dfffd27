#include "fuzz/reader_checks.h"

#include "frontends/qt/sound/sdl_sound.h"
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
    // device's usual format.
    for (const SdlSound::PcmFormat to : {SdlSound::PcmFormat{22050, 1}, SdlSound::PcmFormat{48000, 2}}) {
        const auto samples = SdlSound::decode(input, to);
        if (samples.has_value() != wave.has_value()) return "loading and reading disagree about the file";
        if (!samples) continue;
        if (samples->size() % static_cast<std::size_t>(to.channels) != 0) return "a partial frame after conversion";
        // The resampler's filter may add or hold back a few frames.
        const std::uint64_t expected = frames * static_cast<std::uint64_t>(to.rate) / static_cast<std::uint64_t>(wave->rate);
        const std::uint64_t got = samples->size() / static_cast<std::size_t>(to.channels);
        if (got > expected + 4096 || got + 4096 < expected) return "a converted length far from the file's duration";
    }
    return {};
}

}  // namespace vorlak
