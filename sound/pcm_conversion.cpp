#include "sound/pcm_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "sound/wave_file.h"

namespace vorlak {

// Output frame k lies at input position k * step / phases (in input frames):
// whole frame `at`, fraction `r / phases`. Each output sample is the dot
// product of `taps` input samples from `at + firstTap` on with the row of
// coefficients for its fraction. Where the pair of rates has few phases,
// every fraction has its own row; otherwise rows are made for `rows - 1`
// even steps of the fraction, and the result is interpolated between the
// two rows around it.
struct PcmConverter::Filter {
    int fromRate = 0, toRate = 0;
    std::uint64_t step = 0, phases = 0;
    int taps = 0, firstTap = 0;
    bool interpolated = false;
    std::uint64_t rows = 0;
    std::vector<float> coefficients;  // rows x taps
};

namespace {

constexpr double kPi = 3.14159265358979323846;
// Beyond this many coefficients in all, rows are interpolated: the table
// stays small for pairs of rates with thousands of phases (a file at an odd
// rate). 256 interpolated steps keep the error of the interpolation below
// the filter's own stopband.
constexpr std::uint64_t kMaxExactCoefficients = 1u << 18;
constexpr std::uint64_t kInterpolatedSteps = 256;

bool rateOk(int rate) { return rate >= WaveLimits::kMinRate && rate <= WaveLimits::kMaxRate; }
bool channelsOk(int channels) { return channels >= 1 && channels <= WaveLimits::kMaxChannels; }

double besselI0(double x) {
    double sum = 1.0, term = 1.0;
    const double quarterSquare = x * x / 4.0;
    for (int k = 1; term > sum * 1e-12; ++k) {
        term *= quarterSquare / (static_cast<double>(k) * k);
        sum += term;
    }
    return sum;
}

std::unique_ptr<PcmConverter::Filter> makeFilter(int fromRate, int toRate) {
    auto f = std::make_unique<PcmConverter::Filter>();
    f->fromRate = fromRate;
    f->toRate = toRate;
    const auto g = static_cast<std::uint64_t>(std::gcd(fromRate, toRate));
    f->step = static_cast<std::uint64_t>(fromRate) / g;
    f->phases = static_cast<std::uint64_t>(toRate) / g;

    // Kaiser's design: the transition runs from the passband's edge to the
    // lower rate's Nyquist frequency; its width (relative to the lower rate)
    // and the attenuation give the filter's length at the lower rate.
    const double lower = std::min(fromRate, toRate);
    const double stopEdge = lower / 2, passEdge = stopEdge * ResamplerDesign::kPassbandOfNyquist;
    const double attenuation = ResamplerDesign::kStopbandDecibels;
    const double lengthAtLower = (attenuation - 7.95) / (2.285 * 2 * kPi * (stopEdge - passEdge) / lower) + 1;
    const double beta = 0.1102 * (attenuation - 8.7);
    // In input frames: the window's half width, and the cutoff over the rate.
    const double halfWidth = lengthAtLower / 2 / lower * fromRate;
    const double cutoff = (passEdge + stopEdge) / 2 / fromRate;
    const int halfTaps = static_cast<int>(halfWidth);
    f->taps = (2 * halfTaps + 2 + 7) / 8 * 8;  // whole blocks of the dot product, the last ones zero
    f->firstTap = -halfTaps;

    const auto taps = static_cast<std::uint64_t>(f->taps);
    f->interpolated = f->phases * taps > kMaxExactCoefficients;
    f->rows = f->interpolated ? kInterpolatedSteps + 1 : f->phases;
    f->coefficients.resize(static_cast<std::size_t>(f->rows * taps));
    const double windowScale = 1.0 / besselI0(beta);
    for (std::uint64_t row = 0; row < f->rows; ++row) {
        const double fraction = static_cast<double>(row) / static_cast<double>(f->interpolated ? kInterpolatedSteps : f->phases);
        float* c = f->coefficients.data() + row * taps;
        double sum = 0;
        for (int t = 0; t < f->taps; ++t) {
            const double u = fraction - (f->firstTap + t);  // distance from the output's instant
            double value = 0;
            if (std::abs(u) < halfWidth) {
                const double x = 2 * cutoff * u;
                const double sinc = x == 0 ? 1.0 : std::sin(kPi * x) / (kPi * x);
                const double edge = u / halfWidth;
                value = 2 * cutoff * sinc * besselI0(beta * std::sqrt(1 - edge * edge)) * windowScale;
            }
            c[t] = static_cast<float>(value);
            sum += value;
        }
        // Each row passes a constant unchanged, so no phase adds a ripple.
        for (int t = 0; t < f->taps; ++t) c[t] = static_cast<float>(c[t] / sum);
    }
    return f;
}

float dot(const float* x, const float* h, int n) {
    // Independent sums, which the compiler can keep in vector registers.
    std::array<float, 8> sums{};
    int t = 0;
    for (; t + 8 <= n; t += 8)
        for (int lane = 0; lane < 8; ++lane) sums[static_cast<std::size_t>(lane)] += x[t + lane] * h[t + lane];
    float total = 0;
    for (; t < n; ++t) total += x[t] * h[t];
    return total + ((sums[0] + sums[1]) + (sums[2] + sums[3])) + ((sums[4] + sums[5]) + (sums[6] + sums[7]));
}

std::int16_t toSample(double value) {
    value = std::clamp(value, -32768.0, 32767.0);
    return static_cast<std::int16_t>(value < 0 ? value - 0.5 : value + 0.5);  // to the nearest, halves away from 0
}

// `in` (frames x channels) at the filter's output rate, `outFrames` long.
std::vector<std::int16_t> resample(const PcmConverter::Filter& f, std::span<const std::int16_t> in, int channels,
                                   std::uint64_t outFrames) {
    const std::size_t frames = in.size() / static_cast<std::size_t>(channels);
    std::vector<std::int16_t> out(static_cast<std::size_t>(outFrames) * static_cast<std::size_t>(channels));
    if (outFrames == 0) return out;
    const std::uint64_t lastAt = (outFrames - 1) * f.step / f.phases;
    // One channel at a time, as floats with silence around them, so that
    // every output sample is one plain dot product (input index `at + t`
    // below is frame `at + firstTap + t`).
    const std::size_t lead = static_cast<std::size_t>(-f.firstTap);
    std::vector<float> padded(std::max(static_cast<std::size_t>(lastAt) + static_cast<std::size_t>(f.taps),
                                       lead + frames));
    const std::size_t taps = static_cast<std::size_t>(f.taps);
    for (int c = 0; c < channels; ++c) {
        std::fill(padded.begin(), padded.end(), 0.0f);
        for (std::size_t i = 0; i < frames; ++i)
            padded[lead + i] = in[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)];
        std::uint64_t at = 0, r = 0;
        const std::uint64_t wholeStep = f.step / f.phases, fractionStep = f.step % f.phases;
        for (std::uint64_t k = 0; k < outFrames; ++k) {
            const float* x = padded.data() + at;
            double value;
            if (!f.interpolated) {
                value = dot(x, f.coefficients.data() + r * taps, f.taps);
            } else {
                const std::uint64_t scaled = r * kInterpolatedSteps;
                const std::uint64_t row = scaled / f.phases;
                const double weight = static_cast<double>(scaled % f.phases) / static_cast<double>(f.phases);
                const double a = dot(x, f.coefficients.data() + row * taps, f.taps);
                const double b = dot(x, f.coefficients.data() + (row + 1) * taps, f.taps);
                value = a + (b - a) * weight;
            }
            out[static_cast<std::size_t>(k) * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                toSample(value);
            at += wholeStep;
            r += fractionStep;
            if (r >= f.phases) {
                r -= f.phases;
                ++at;
            }
        }
    }
    return out;
}

// Which side of the listener each channel of the default layouts is on.
enum class Side { Left, Right, Centre, LowFrequency };

const std::vector<Side>& layout(int channels) {
    constexpr Side L = Side::Left, R = Side::Right, C = Side::Centre, LFE = Side::LowFrequency;
    static const std::vector<Side> layouts[] = {
        {}, {C}, {L, R}, {L, R, C}, {L, R, L, R}, {L, R, C, L, R}, {L, R, C, LFE, L, R},
        {L, R, C, LFE, C, L, R}, {L, R, C, LFE, L, R, L, R},
    };
    return layouts[channels];
}

std::vector<std::int16_t> remix(std::span<const std::int16_t> in, int from, int to) {
    // The weights of each input channel in the left and the right.
    const double centre = std::sqrt(0.5);
    std::vector<double> left(static_cast<std::size_t>(from)), right(left.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        const Side side = layout(from)[i];
        left[i] = side == Side::Left ? 1 : side == Side::Centre ? centre : 0;
        right[i] = side == Side::Right ? 1 : side == Side::Centre ? centre : 0;
    }
    const double leftSum = std::accumulate(left.begin(), left.end(), 0.0);
    const double rightSum = std::accumulate(right.begin(), right.end(), 0.0);
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] /= leftSum;
        right[i] /= rightSum;
    }
    // Each output channel's weights over the input channels.
    std::vector<double> weights;
    for (const Side side : layout(to))
        for (std::size_t i = 0; i < left.size(); ++i)
            weights.push_back(side == Side::Left    ? left[i]
                              : side == Side::Right ? right[i]
                              : side == Side::Centre ? (left[i] + right[i]) / 2
                                                     : 0);
    const std::size_t frames = in.size() / static_cast<std::size_t>(from);
    const auto inStride = static_cast<std::size_t>(from), outStride = static_cast<std::size_t>(to);
    std::vector<std::int16_t> out(frames * outStride);
    for (std::size_t o = 0; o < outStride; ++o) {
        const double* w = weights.data() + o * inStride;
        // An output channel that is one input channel (mono spread over
        // speakers) is a plain copy.
        const auto one = std::find(w, w + inStride, 1.0);
        const bool copy = one != w + inStride && std::count(w, w + inStride, 0.0) == static_cast<std::ptrdiff_t>(inStride - 1);
        for (std::size_t f = 0; f < frames; ++f) {
            const std::int16_t* frame = in.data() + f * inStride;
            if (copy) {
                out[f * outStride + o] = frame[one - w];
                continue;
            }
            double value = 0;
            for (std::size_t i = 0; i < inStride; ++i) value += w[i] * frame[i];
            out[f * outStride + o] = toSample(value);
        }
    }
    return out;
}

}  // namespace

std::uint64_t convertedFrames(std::uint64_t frames, int fromRate, int toRate) {
    const auto from = static_cast<std::uint64_t>(fromRate), to = static_cast<std::uint64_t>(toRate);
    return (2 * frames * to + from) / (2 * from);
}

PcmConverter::PcmConverter() = default;
PcmConverter::~PcmConverter() = default;

std::optional<std::vector<std::int16_t>> PcmConverter::convert(std::span<const std::int16_t> samples, PcmFormat from,
                                                               PcmFormat to) {
    if (!rateOk(from.rate) || !rateOk(to.rate) || !channelsOk(from.channels) || !channelsOk(to.channels))
        return std::nullopt;
    if (samples.size() % static_cast<std::size_t>(from.channels) != 0) return std::nullopt;
    // Bound the result before making any of it: the input's length, then the
    // result's size.
    const std::uint64_t frames = samples.size() / static_cast<std::size_t>(from.channels);
    if (frames > static_cast<std::uint64_t>(WaveLimits::kMaxSeconds) * static_cast<std::uint64_t>(from.rate))
        return std::nullopt;
    const std::uint64_t outFrames = convertedFrames(frames, from.rate, to.rate);
    if (outFrames * static_cast<std::uint64_t>(to.channels) * sizeof(std::int16_t) > WaveLimits::kMaxConvertedBytes)
        return std::nullopt;
    if (from == to) return std::vector<std::int16_t>(samples.begin(), samples.end());

    // Fewer channels are mixed before resampling, more after: the filter
    // runs on as few channels as it can. Every step's result is no larger
    // than the input or the result checked above.
    std::vector<std::int16_t> work;
    std::span<const std::int16_t> current = samples;
    int channels = from.channels;
    if (to.channels < channels) {
        work = remix(current, channels, to.channels);
        current = work;
        channels = to.channels;
    }
    if (from.rate != to.rate) {
        if (!filter_ || filter_->fromRate != from.rate || filter_->toRate != to.rate)
            filter_ = makeFilter(from.rate, to.rate);
        work = resample(*filter_, current, channels, outFrames);
        current = work;
    }
    if (to.channels > channels) return remix(current, channels, to.channels);
    if (current.data() == work.data()) return work;
    return std::vector<std::int16_t>(current.begin(), current.end());
}

std::optional<std::vector<std::int16_t>> PcmConverter::decodeWave(std::span<const std::uint8_t> file, PcmFormat to) {
    auto wave = vorlak::decodeWave(file);
    if (!wave) return std::nullopt;
    if (PcmFormat{wave->rate, wave->channels} == to) return std::move(wave->samples);
    return convert(wave->samples, {wave->rate, wave->channels}, to);
}

}  // namespace vorlak
