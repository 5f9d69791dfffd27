// The mixer without a device: what comes out of each buffer it fills.
#include <gtest/gtest.h>

#include <vector>

#include "sound/mixer.h"

namespace vorlak {
namespace {

using Pcm = std::vector<std::int16_t>;

Pcm mixed(Mixer& mixer, int frames) {
    Pcm out(static_cast<std::size_t>(frames * mixer.outputChannels()), 12345);
    mixer.mix(out.data(), frames);
    return out;
}

TEST(Mixer, EffectsAddUpClipAtFullScaleAndFreeTheirChannelAfterTheLastSample) {
    Mixer mixer;
    mixer.setOutput(22050, 1);
    mixer.allocateChannels(4);
    const Pcm loud{30000, -30000, 1000, 5}, quiet{5000, -5000, -2000};
    EXPECT_EQ(mixer.play(-1, loud.data(), loud.size()), 0);
    EXPECT_EQ(mixer.play(-1, quiet.data(), quiet.size()), 1);

    EXPECT_EQ(mixed(mixer, 2), (Pcm{32767, -32768}));
    EXPECT_EQ(mixed(mixer, 3), (Pcm{-1000, 5, 0}));
    EXPECT_FALSE(mixer.playing(0));
    EXPECT_FALSE(mixer.playing(1));
    EXPECT_EQ(mixed(mixer, 2), (Pcm{0, 0}));
    // The lowest free channel is taken again.
    EXPECT_EQ(mixer.play(-1, quiet.data(), quiet.size()), 0);
    EXPECT_EQ(mixer.framesMixed(), 7u);
}

TEST(Mixer, ChannelsRunOutAndAnExplicitChannelStartsItsEffectAgain) {
    Mixer mixer;
    mixer.setOutput(22050, 1);
    mixer.allocateChannels(2);
    const Pcm a{1, 2, 3, 4}, b{100, 200, 300};
    EXPECT_EQ(mixer.play(-1, a.data(), a.size()), 0);
    EXPECT_EQ(mixer.play(-1, b.data(), b.size()), 1);
    EXPECT_EQ(mixer.play(-1, b.data(), b.size()), -1);
    EXPECT_EQ(mixer.play(2, b.data(), b.size()), -1);
    EXPECT_EQ(mixed(mixer, 1), (Pcm{101}));
    EXPECT_EQ(mixer.play(1, b.data(), b.size()), 1);
    EXPECT_EQ(mixed(mixer, 2), (Pcm{102, 203}));
}

TEST(Mixer, StoppingSilencesFromTheNextBufferAndOnlyWhatWasAskedFor) {
    Mixer mixer;
    mixer.setOutput(22050, 2);
    mixer.allocateChannels(3);
    const Pcm a{1, 1, 1, 1, 1, 1}, b{10, 10, 10, 10, 10, 10};
    mixer.play(-1, a.data(), a.size());
    mixer.play(-1, b.data(), b.size());
    mixer.play(-1, a.data(), a.size());
    EXPECT_EQ(mixed(mixer, 1), (Pcm{12, 12}));
    mixer.stopUsing(a.data());
    EXPECT_EQ(mixed(mixer, 1), (Pcm{10, 10}));
    mixer.stop(7);
    mixer.stopAll();
    EXPECT_EQ(mixed(mixer, 1), (Pcm{0, 0}));
}

TEST(Mixer, TheToneSoundsOverTheEffectsInEveryOutputChannelAndKeepsItsPhase) {
    Mixer mixer;
    // One cycle every 8 frames at this made-up rate.
    const std::uint16_t divisor = 1000;
    mixer.setOutput(static_cast<int>(Mixer::kTimerClockHz / divisor * 8), 2);
    mixer.allocateChannels(1);
    const Pcm effect{100, 100};
    mixer.play(-1, effect.data(), effect.size());
    mixer.startTone(divisor);
    Pcm out = mixed(mixer, 3);
    const Pcm more = mixed(mixer, 5);
    out.insert(out.end(), more.begin(), more.end());
    const int a = Mixer::kToneAmplitude;
    EXPECT_EQ(out, (Pcm{a + 100, a + 100, a, a, a, a, a, a, -a, -a, -a, -a, -a, -a, -a, -a}));
    mixer.stopTone();
    EXPECT_EQ(mixed(mixer, 1), (Pcm{0, 0}));
}

// The device decides the rate; the pitch is the timer clock over the divisor
// at each of the rates outputs open with, for each gear's divisor.
TEST(Mixer, TheTonesPitchIsExactAtTheOutputsRate) {
    for (const int rate : {22050, 44100, 48000}) {
        for (const std::uint16_t divisor : {59664, 54240, 45895}) {
            SCOPED_TRACE(std::to_string(rate) + " Hz output, divisor " + std::to_string(divisor));
            Mixer mixer;
            mixer.setOutput(rate, 2);
            mixer.startTone(divisor);
            const Pcm out = mixed(mixer, 10 * rate);
            std::vector<std::size_t> rises;
            for (std::size_t f = 1; f < out.size() / 2; ++f) {
                ASSERT_EQ(out[2 * f], out[2 * f + 1]);
                if (out[2 * f] > 0 && out[2 * f - 2] < 0) rises.push_back(f);
            }
            ASSERT_GE(rises.size(), 100u);
            const double hz = static_cast<double>(rises.size() - 1) * rate / static_cast<double>(rises.back() - rises.front());
            const double expected = Mixer::kTimerClockHz / divisor;
            EXPECT_NEAR(hz, expected, expected * 1e-5);
        }
    }
}

}  // namespace
}  // namespace vorlak
