// The conversion to an output's format on its own: lengths, timing, channel
// mixing and the bounds it keeps. Its sound is measured against sox in
// sox_comparison_test.cpp.
#include "sound/pcm_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sound/wave_file.h"

namespace vorlak {
namespace {

using Samples = std::vector<std::int16_t>;

TEST(PcmConversion, LastsTheInputsDurationRoundedToTheNearestFrame) {
    EXPECT_EQ(convertedFrames(0, 22050, 48000), 0u);
    EXPECT_EQ(convertedFrames(1, 44100, 22050), 1u);  // half a frame rounds up
    EXPECT_EQ(convertedFrames(3, 44100, 22050), 2u);
    EXPECT_EQ(convertedFrames(1, 48000, 22050), 0u);
    EXPECT_EQ(convertedFrames(46, 22050, 48000), 100u);    // 100.14
    EXPECT_EQ(convertedFrames(10130, 22050, 8000), 3675u);  // 3675.28
    EXPECT_EQ(convertedFrames(60 * 192000, 192000, 4000), 60u * 4000);
    // One converter across pairs of rates (each with a filter of its own,
    // the last few with interpolated rows), every length exact.
    PcmConverter converter;
    const std::pair<int, int> rates[] = {{22050, 48000}, {48000, 22050}, {44100, 48000}, {4000, 192000},
                                         {192000, 4000}, {22051, 48000}, {47999, 22050}};
    for (const auto& [from, to] : rates) {
        for (const std::size_t frames : {0u, 1u, 2u, 999u, 4410u}) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to) + ", " + std::to_string(frames));
            const auto out = converter.convert(Samples(frames, 1000), {from, 1}, {to, 1});
            ASSERT_TRUE(out);
            EXPECT_EQ(out->size(), convertedFrames(frames, from, to));
        }
    }
    // The filter kept from the last pair is not used for another.
    const Samples ramp = [] {
        Samples s(400);
        for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<std::int16_t>(i * 50);
        return s;
    }();
    EXPECT_EQ(converter.convert(ramp, {22050, 1}, {44100, 1}), PcmConverter().convert(ramp, {22050, 1}, {44100, 1}));
}

// No delay and no frame held back: a click comes out at its own instant, and
// a steady level holds up to the last frames.
TEST(PcmConversion, KeepsTimeFromTheFirstFrameToTheLast) {
    PcmConverter converter;
    for (const auto& [from, to] : {std::pair{22050, 48000}, {48000, 22050}, {22051, 44100}}) {
        SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
        // At one second.
        Samples click(static_cast<std::size_t>(from + from / 2), 0);
        click[static_cast<std::size_t>(from)] = 30000;
        const auto out = converter.convert(click, {from, 1}, {to, 1});
        ASSERT_TRUE(out);
        EXPECT_EQ(std::max_element(out->begin(), out->end()) - out->begin(), to);

        const Samples level(static_cast<std::size_t>(from / 10), 10000);
        const auto steady = converter.convert(level, {from, 1}, {to, 1});
        ASSERT_TRUE(steady);
        // Past the filter's reach of the edges (a few milliseconds).
        const std::size_t edge = static_cast<std::size_t>(to / 200);
        for (std::size_t i = edge; i < steady->size() - edge; ++i) ASSERT_NEAR((*steady)[i], 10000, 2) << "at " << i;
    }
}

TEST(PcmConversion, ChannelsMixBySpeaker) {
    PcmConverter converter;
    const auto convert = [&](const Samples& in, int from, int to) {
        return converter.convert(in, {22050, from}, {22050, to}).value_or(Samples{});
    };
    EXPECT_EQ(convert({5, -7, 32767}, 1, 2), (Samples{5, 5, -7, -7, 32767, 32767}));
    EXPECT_EQ(convert({100, 301, -32768, -32768}, 2, 1), (Samples{201, -32768}));
    // 5.1 to stereo: centre at -3 dB on both sides, the low-frequency channel
    // left out, each side a weighted mean.
    EXPECT_EQ(convert({1000, -1000, 2000, 30000, 1000, -1000}, 6, 2), (Samples{1261, -216}));
    // Onto 5.1: each side, the mean in the centre, nothing in the low-frequency channel.
    EXPECT_EQ(convert({100, -300}, 2, 6), (Samples{100, -300, -100, 0, 100, -300}));
    EXPECT_EQ(convert({42}, 1, 8), (Samples{42, 42, 42, 0, 42, 42, 42, 42}));
    // With the rate too: mono to stereo is the mono conversion on both sides.
    Samples tone(2205);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<std::int16_t>((i % 50) * 400 - 10000);
    const auto mono = converter.convert(tone, {22050, 1}, {48000, 1});
    const auto stereo = converter.convert(tone, {22050, 1}, {48000, 2});
    ASSERT_TRUE(mono && stereo);
    ASSERT_EQ(stereo->size(), 2 * mono->size());
    for (std::size_t i = 0; i < mono->size(); ++i) {
        ASSERT_EQ((*stereo)[2 * i], (*mono)[i]);
        ASSERT_EQ((*stereo)[2 * i + 1], (*mono)[i]);
    }
}

TEST(PcmConversion, RefusesWhatItCannotBoundBeforeMakingIt) {
    PcmConverter converter;
    const Samples second(8000, 0);
    EXPECT_TRUE(converter.convert(second, {4000, 2}, {192000, 8}));
    EXPECT_FALSE(converter.convert(second, {3999, 1}, {22050, 1}));
    EXPECT_FALSE(converter.convert(second, {22050, 1}, {192001, 1}));
    EXPECT_FALSE(converter.convert(second, {22050, 0}, {22050, 1}));
    EXPECT_FALSE(converter.convert(second, {22050, 1}, {22050, 9}));
    EXPECT_FALSE(converter.convert(Samples(3), {22050, 2}, {22050, 1}));  // ends inside a frame
    // Sixty seconds and one frame more.
    EXPECT_TRUE(converter.convert(Samples(60 * 4000), {4000, 1}, {4000, 2}));
    EXPECT_FALSE(converter.convert(Samples(60 * 4000 + 1), {4000, 1}, {4000, 2}));
    // 64 MiB of 8-channel frames at 192 kHz is 4,194,304 frames; 87,382
    // frames at 4 kHz would make 4,194,336.
    EXPECT_FALSE(converter.convert(Samples(87382), {4000, 1}, {192000, 8}));
    static_assert(WaveLimits::kMaxConvertedBytes == 4194304u * 8 * 2);
}

}  // namespace
}  // namespace vorlak
