// Writes the console's seven effects as wave files: the square-wave beeps and
// little tunes of a piezo buzzer, 22050 Hz mono 16-bit.
//
//   make_sounds OUTPUT_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kLevel = 0.4 * 32767;  // leaves room for two effects and the engine tone together
constexpr double kEdgeMs = 2.0;         // softens the start and end of every beep against clicks

struct Note {
    double hz;  // 0 for a rest
    int ms;
};

// Equal-tempered pitch of a note name such as "C6", "F#5" or "Bb4".
double pitch(const std::string& name) {
    static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int semitone = kSemitone[name[0] - 'A'];
    std::size_t at = 1;
    if (name[at] == '#') ++semitone, ++at;
    else if (name[at] == 'b') --semitone, ++at;
    const int octave = std::stoi(name.substr(at));
    const int fromA4 = semitone - 9 + (octave - 4) * 12;
    return 440.0 * std::pow(2.0, fromA4 / 12.0);
}

// A band-limited step correction, so that high notes do not alias into
// whistles at this low rate.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

class Buzzer {
public:
    // A beep of `ms`, sounding for all but `gapMs` at its end: separate beeps,
    // as a buzzer that is switched on and off for every note.
    void beep(double hz, int ms, int gapMs = 0) {
        const int total = frames(ms);
        const int sounding = std::max(0, total - frames(gapMs));
        const int edge = frames(kEdgeMs);
        const double dt = hz / kRate;
        double phase = 0.0;
        for (int i = 0; i < total; ++i) {
            double v = 0.0;
            if (i < sounding && hz > 0) {
                v = phase < 0.5 ? 1.0 : -1.0;
                v += polyBlep(phase, dt);
                v -= polyBlep(std::fmod(phase + 0.5, 1.0), dt);
                const int fromEdge = std::min(i, sounding - 1 - i);
                if (fromEdge < edge) v *= static_cast<double>(fromEdge) / edge;
                phase = std::fmod(phase + dt, 1.0);
            }
            samples_.push_back(v * kLevel);
        }
    }
    void rest(int ms) { samples_.resize(samples_.size() + static_cast<std::size_t>(frames(ms)), 0.0); }
    // Notes written with names, each followed by a short silence.
    void tune(const std::vector<std::pair<const char*, int>>& notes, int gapMs = 18) {
        for (const auto& [name, ms] : notes) {
            if (std::string(name) == "-") rest(ms);
            else beep(pitch(name), ms, gapMs);
        }
    }
    // Two pitches alternating fast: the buzzer's warble.
    void warble(double low, double high, int ms, int stepMs = 30) {
        for (int t = 0, i = 0; t < ms; t += stepMs, ++i) beep(i % 2 ? high : low, std::min(stepMs, ms - t));
    }
    // Pads with silence up to `ms` from the start.
    void until(int ms) {
        const auto target = static_cast<std::size_t>(frames(ms));
        if (samples_.size() < target) samples_.resize(target, 0.0);
    }
    int lengthMs() const { return static_cast<int>(samples_.size() * 1000 / kRate); }

    bool write(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        const auto dataBytes = static_cast<std::uint32_t>(samples_.size() * 2);
        auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF)); };
        auto u16 = [&](std::uint16_t v) { out.put(static_cast<char>(v & 0xFF)); out.put(static_cast<char>(v >> 8)); };
        out.write("RIFF", 4); u32(36 + dataBytes); out.write("WAVE", 4);
        out.write("fmt ", 4); u32(16); u16(1); u16(1); u32(kRate); u32(kRate * 2); u16(2); u16(16);
        out.write("data", 4); u32(dataBytes);
        for (double v : samples_) u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))));
        return static_cast<bool>(out);
    }

private:
    static int frames(double ms) { return static_cast<int>(std::lround(ms * kRate / 1000.0)); }
    std::vector<double> samples_;
};

constexpr int E = 125, Q = 250, H = 500;  // eighth, quarter, half

// Plays while the track is drawn; the lights come on 4125 ms after it starts.
Buzzer startTune() {
    Buzzer b;
    b.tune({{"C6", E}, {"E6", E}, {"G6", E}, {"C7", Q}, {"G6", E}, {"C7", Q},
            {"A6", E}, {"F6", E}, {"D6", E}, {"A6", Q}, {"F6", E}, {"A6", Q},
            {"G6", E}, {"E6", E}, {"C6", E}, {"G6", E}, {"A6", E}, {"B6", E}, {"C7", E}, {"D7", E},
            {"E7", Q}, {"C7", E}, {"G6", E}, {"C7", H - 40}});
    return b;
}

// A beep as the lights come on and as each of the first two goes out, then a
// higher one as the last goes out and the race starts (882, 1200, 1400 ms).
Buzzer startLights() {
    Buzzer b;
    for (int at : {0, 882, 2082}) {
        b.until(at);
        b.beep(pitch("A5"), 220);
    }
    b.until(3482);
    b.beep(pitch("A6"), 480);
    return b;
}

// The crash: a falling warble in four strokes, with the rider's 500 ms blink.
Buzzer crash() {
    Buzzer b;
    const double strokes[][2] = {{pitch("E6"), pitch("C6")}, {pitch("C6"), pitch("A5")},
                                 {pitch("A5"), pitch("F5")}, {pitch("F5"), pitch("D5")}};
    for (int i = 0; i < 4; ++i) {
        b.until(i * 500);
        b.warble(strokes[i][1], strokes[i][0], i < 3 ? 360 : 480);
    }
    return b;
}

// A level cleared: a rising fanfare ending on a long high note.
Buzzer levelTune() {
    Buzzer b;
    b.tune({{"G5", E}, {"C6", E}, {"E6", E}, {"G6", E}, {"C7", Q}, {"E6", E}, {"G6", E},
            {"F6", E}, {"A6", E}, {"C7", Q}, {"D7", E}, {"C7", E}, {"A6", Q},
            {"G6", E}, {"B6", E}, {"D7", Q}, {"F7", E}, {"E7", E}, {"D7", Q},
            {"C7", E}, {"E7", E}, {"G7", E}, {"E7", E}, {"C7", 900}});
    return b;
}

// The game over: a slow chromatic fall and a low close.
Buzzer gameOverTune() {
    Buzzer b;
    b.tune({{"G6", Q}, {"F#6", Q}, {"F6", Q}, {"E6", Q},
            {"D6", Q}, {"C6", E}, {"B5", E}, {"A5", Q}, {"G5", Q},
            {"C6", E}, {"E6", E}, {"D6", E}, {"C6", E}, {"B5", Q}, {"G5", Q},
            {"C6", Q}, {"G5", Q}, {"C5", 410}});
    return b;
}

// A service stop appears at the roadside: two quick high pips.
Buzzer serviceShown() {
    Buzzer b;
    b.tune({{"E7", 70}, {"-", 40}, {"E7", 70}}, 10);
    return b;
}

// A service stop collected: a quick rising arpeggio.
Buzzer serviceCollected() {
    Buzzer b;
    b.tune({{"C6", 55}, {"E6", 55}, {"G6", 55}, {"C7", 110}}, 8);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::pair<const char*, Buzzer> effects[] = {
        {"GameOver.wav", gameOverTune()}, {"Level.wav", levelTune()},    {"Miss.wav", crash()},
        {"Semaph.wav", startLights()},    {"Srvc1.wav", serviceShown()}, {"Srvc2.wav", serviceCollected()},
        {"Start.wav", startTune()}};
    for (const auto& [name, buzzer] : effects) {
        if (!buzzer.write(dir + "/" + name)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), name);
            return 1;
        }
        std::printf("%-13s %5d ms\n", name, buzzer.lengthMs());
    }
    return 0;
}
