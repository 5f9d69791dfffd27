// The conversion measured against sox's on real files: aliases and images far
// down, lengths to the frame, in-band levels as sox gives them. sox is one of
// the test packages (tools/install-deps.sh --tests); without it these fail.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "sound/pcm_conversion.h"
#include "sound/wave_file.h"

namespace vorlak {
namespace {

namespace fs = std::filesystem;

double rms(std::span<const std::int16_t> s) {
    double sum = 0;
    for (const std::int16_t v : s) sum += static_cast<double>(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
}

// The amplitude of one frequency in mono samples (Goertzel's algorithm,
// through a Hann window so that a loud tone nearby does not leak into it).
double amplitudeAt(std::span<const std::int16_t> s, double hz, int rate) {
    const double pi = std::acos(-1.0), w = 2 * pi * hz / rate, n = static_cast<double>(s.size());
    double previous = 0, beforeThat = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * pi * static_cast<double>(i) / n);
        const double current = hann * s[i] + 2 * std::cos(w) * previous - beforeThat;
        beforeThat = previous;
        previous = current;
    }
    const double power = previous * previous + beforeThat * beforeThat - 2 * std::cos(w) * previous * beforeThat;
    return 4 * std::sqrt(std::max(power, 0.0)) / n;
}

double decibels(double ratio) { return 20 * std::log10(ratio); }

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class AgainstSox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system("sox --version >/dev/null 2>&1"), 0)
            << "sox measures the conversion: `bash tools/install-deps.sh --tests` installs it";
        dir_ = fs::temp_directory_path() / ("vorlak-sox-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Runs sox without dither (`-D`) with `arguments`, in which @name stands
    // for a file of the test's folder, and reads back `output`.
    Pcm16 sox(std::string arguments, const std::string& output) {
        for (std::size_t at; (at = arguments.find('@')) != std::string::npos;) {
            const std::size_t end = arguments.find(' ', at);
            const std::string name = arguments.substr(at + 1, end == std::string::npos ? end : end - at - 1);
            arguments.replace(at, name.size() + 1, quoted(dir_ / name));
        }
        const std::string command = "sox -D -V1 " + arguments + " 2>" + quoted(dir_ / "sox.log");
        if (std::system(command.c_str()) != 0) {
            std::ifstream log(dir_ / "sox.log");
            ADD_FAILURE() << command << ": " << std::string(std::istreambuf_iterator<char>(log), {});
            return {};
        }
        return read(dir_ / output);
    }
    static Pcm16 read(const fs::path& file) {
        const auto bytes = readRegularFile(file.string(), WaveLimits::kMaxFileBytes);
        const auto wave = bytes ? decodeWave(*bytes) : std::nullopt;
        EXPECT_TRUE(wave) << file;
        return wave.value_or(Pcm16{});
    }
    Pcm16 convert(const Pcm16& in, PcmFormat to) {
        auto out = converter_.convert(in.samples, {in.rate, in.channels}, to);
        EXPECT_TRUE(out);
        return {to.rate, to.channels, out.value_or(std::vector<std::int16_t>{})};
    }
    // Our conversion of `in` against sox's (`expected`): the same length to
    // the frame, a level within half a decibel, and the same wave in time.
    void expectAsSox(const Pcm16& in, const Pcm16& expected) {
        const Pcm16 ours = convert(in, {expected.rate, expected.channels});
        const std::uint64_t inFrames = in.samples.size() / static_cast<std::size_t>(in.channels);
        EXPECT_EQ(ours.samples.size(), expected.samples.size()) << "sox's length";
        EXPECT_EQ(ours.samples.size(), convertedFrames(inFrames, in.rate, expected.rate) * expected.channels);
        const double difference = decibels(rms(ours.samples) / rms(expected.samples));
        EXPECT_LT(std::abs(difference), 0.5) << "level against sox's, dB";
        double product = 0;
        const std::size_t n = std::min(ours.samples.size(), expected.samples.size());
        for (std::size_t i = 0; i < n; ++i) product += static_cast<double>(ours.samples[i]) * expected.samples[i];
        const double correlation = product / static_cast<double>(n) / rms(ours.samples) / rms(expected.samples);
        EXPECT_GT(correlation, 0.999) << "correlation with sox's";
    }

    fs::path dir_;
    PcmConverter converter_;
};

// A tone above the lower rate's Nyquist frequency has no place at the new
// rate: what comes out (its alias) is at least 60 dB below what went in.
// (Measured past the first and last 10 ms, where the tone's abrupt start and
// end have content in the passband, as they do in sox's conversion.)
TEST_F(AgainstSox, AliasesAreAtLeast60DecibelsDown) {
    const struct {
        int rate, hz, to;
    } cases[] = {{48000, 15000, 22050}, {44100, 11500, 22050}, {47999, 15000, 22050}, {48000, 5000, 8000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.hz) + " Hz at " + std::to_string(c.rate) + " to " + std::to_string(c.to));
        const Pcm16 tone = sox("-n -r " + std::to_string(c.rate) + " -b 16 -c 1 @tone.wav synth 1 sine " +
                                   std::to_string(c.hz) + " vol 0.5",
                               "tone.wav");
        const Pcm16 out = convert(tone, {c.to, 1});
        const auto edge = static_cast<std::size_t>(c.to / 100);
        ASSERT_EQ(out.samples.size(), static_cast<std::size_t>(c.to));
        const std::span<const std::int16_t> steady(out.samples.data() + edge, out.samples.size() - 2 * edge);
        EXPECT_LT(decibels(rms(steady) / rms(tone.samples)), -60.0);
    }
}

// Raising the rate of a tone just below the old Nyquist frequency adds no
// image above it (at the old rate minus the tone).
TEST_F(AgainstSox, ImagesAreAtLeast60DecibelsDown) {
    const Pcm16 tone = sox("-n -r 22050 -b 16 -c 1 @tone.wav synth 1 sine 9000 vol 0.5", "tone.wav");
    for (const int to : {44100, 48000}) {
        SCOPED_TRACE(to);
        const Pcm16 out = convert(tone, {to, 1});
        const double wanted = amplitudeAt(out.samples, 9000, to), image = amplitudeAt(out.samples, 22050 - 9000, to);
        EXPECT_NEAR(decibels(wanted / amplitudeAt(tone.samples, 9000, 22050)), 0, 0.1);
        EXPECT_LT(decibels(image / wanted), -60.0);
    }
}

TEST_F(AgainstSox, AToneComesOutAsSoxMakesIt) {
    for (const int rate : {22050, 44100, 48000}) {
        const Pcm16 tone = sox("-n -r " + std::to_string(rate) + " -b 16 -c 1 @tone.wav synth 0.5 sine 1000 vol 0.7",
                               "tone.wav");
        for (const int to : {22050, 44100, 48000}) {
            if (to == rate) continue;
            SCOPED_TRACE(std::to_string(rate) + " to " + std::to_string(to));
            expectAsSox(tone, sox("@tone.wav -r " + std::to_string(to) + " @out.wav", "out.wav"));
        }
    }
}

// The console's own effects: played as they are on a device at 48 kHz
// stereo, and in 48 and 44.1 kHz copies (made by sox) played at 22050 Hz.
TEST_F(AgainstSox, TheShippedEffectsComeOutAsSoxMakesThem) {
    for (const char* name : {"GameOver", "Level", "Miss", "Semaph", "Srvc1", "Srvc2", "Start"}) {
        SCOPED_TRACE(name);
        const fs::path path = fs::path(VORLAK_ASSETS_DIR) / "SOUND" / (std::string(name) + ".wav");
        const Pcm16 shipped = read(path);
        const std::string file = quoted(path);
        expectAsSox(shipped, sox(file + " -r 48000 -c 2 @out.wav", "out.wav"));
        for (const char* copyRate : {"48000", "44100"}) {
            SCOPED_TRACE(copyRate);
            const Pcm16 copy = sox(file + " -r " + copyRate + " @copy.wav", "copy.wav");
            expectAsSox(copy, sox("@copy.wav -r 22050 @out.wav", "out.wav"));
        }
    }
}

}  // namespace
}  // namespace vorlak
