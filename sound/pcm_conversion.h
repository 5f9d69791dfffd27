// Converting an effect's samples to the format a sound output plays, the
// same on every platform: our own band-limited resampler (a Kaiser-windowed
// sinc filter in polyphase form) and channel mixing, on 16-bit samples.
//
// Plain C++; the sizes of the result are checked before any of it is made,
// since the samples come from files a player may replace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace vorlak {

struct PcmFormat {
    int rate = 22050;
    int channels = 1;  // 16-bit signed samples, channels interleaved
    bool operator==(const PcmFormat&) const = default;
};

// The resampler keeps what lies below 90 % of the lower rate's Nyquist
// frequency and takes everything above that Nyquist frequency at least
// 80 dB down (the aliases of a rate lowered, the images of a rate raised).
struct ResamplerDesign {
    static constexpr double kPassbandOfNyquist = 0.9;
    static constexpr double kStopbandDecibels = 80.0;
};

// The frames `frames` frames become at another rate: frames * toRate /
// fromRate rounded to the nearest whole frame, halves up (as sox does). The
// result starts at the same instant as the input and lasts as long within
// half an output frame; nothing at the end is dropped or held back.
std::uint64_t convertedFrames(std::uint64_t frames, int fromRate, int toRate);

// Channels follow the wave format's default speaker order (1 mono; 2 left,
// right; 3 adds centre; 4 quad; 5 adds centre to quad; 6 is 5.1; 7 is 6.1;
// 8 is 7.1). Another count than the output's is first reduced to a left and
// a right, each the weighted mean of its side's speakers with the centre
// ones at -3 dB in both (mono is both sides, the low-frequency channel is
// left out), then spread over the output's speakers: each side's speakers
// get that side, a centre speaker the mean of the two, the low-frequency
// speaker silence. So mono plays on both sides of a stereo output and
// stereo as the mean of its two channels on a mono one, at the same level.
class PcmConverter {
public:
    PcmConverter();
    ~PcmConverter();
    PcmConverter(const PcmConverter&) = delete;
    PcmConverter& operator=(const PcmConverter&) = delete;

    // `samples` (in `from`) in `to`, or nothing when a format is out of the
    // wave reader's limits, the samples end inside a frame or last longer
    // than a wave file may, or the result would take more than
    // WaveLimits::kMaxConvertedBytes.
    std::optional<std::vector<std::int16_t>> convert(std::span<const std::int16_t> samples, PcmFormat from,
                                                     PcmFormat to);
    // A wave file's content as its samples in `to`, or nothing when the file
    // or its conversion is refused.
    std::optional<std::vector<std::int16_t>> decodeWave(std::span<const std::uint8_t> file, PcmFormat to);

    struct Filter;

private:
    // The filter of the last pair of rates, kept for the next file: the
    // effects of a bank are all converted between the same two rates.
    std::unique_ptr<Filter> filter_;
};

}  // namespace vorlak
