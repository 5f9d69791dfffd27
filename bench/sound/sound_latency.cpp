// How soon sound follows the game: from Suona to the effect's first frame in
// the output, and from Speaker to the new pitch, under SDL's disk driver
// (a device that takes each buffer as it is mixed, in real time); and the
// same for an effect that finds the device closed in silence, which opens it
// again (with the disk driver, and with the driver named by
// VORLAK_BENCH_REOPEN_DRIVER too, pulseaudio for example).
//
//   sound_latency [TRIALS]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "game/console.h"
#include "frontends/qt/sound/sdl_sound.h"

using namespace vorlak;
using WallClock = std::chrono::steady_clock;

namespace {

struct Trial {
    std::uint64_t mixedAtCall;  // frames mixed when the call was made
    double callUs;              // time the call itself took
    double untilMixedMs;        // from the call until the next buffer was handed to the device
};

struct Stats {
    double min, mean, p90, max;
};

Stats statsOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    return {v.front(), sum / static_cast<double>(v.size()), v[v.size() * 9 / 10], v.back()};
}

bool deviceCloses(SdlSound& sound) {
    const auto deadline = WallClock::now() + std::chrono::milliseconds(SdlSound::kCloseAfterMs + 5000);
    while (sound.deviceOpen())
        if (WallClock::now() > deadline) return false;
        else std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return true;
}

void print(const char* what, const char* unit, const Stats& s) {
    std::printf("  %-52s min %7.2f  mean %7.2f  p90 %7.2f  max %7.2f %s\n", what, s.min, s.mean, s.p90, s.max, unit);
}

// Makes a call at a random moment within a buffer and times it.
template <typename Call>
Trial timed(SdlSound& sound, std::mt19937& random, Call call) {
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 23000)(random)));
    Trial t;
    const auto start = WallClock::now();
    t.mixedAtCall = sound.framesMixed();
    call();
    const auto returned = WallClock::now();
    while (sound.framesMixed() == t.mixedAtCall) std::this_thread::sleep_for(std::chrono::microseconds(50));
    t.callUs = std::chrono::duration<double, std::micro>(returned - start).count();
    t.untilMixedMs = std::chrono::duration<double, std::milli>(WallClock::now() - start).count();
    return t;
}

// Effects that find the device closed: the call opens it again.
struct Reopened {
    std::vector<double> untilMixedMs, callUs;
};
bool reopenTrials(Console& console, SdlSound& sound, int trials, std::mt19937& random, Reopened& into) {
    for (int i = 0; i < trials; ++i) {
        if (!deviceCloses(sound)) return false;
        const Trial t = timed(sound, random, [&] { console.Suona(console.samples().Snd_Srvc1); });
        into.untilMixedMs.push_back(t.untilMixedMs);
        into.callUs.push_back(t.callUs);
    }
    return deviceCloses(sound);
}

void printReopened(const char* driver, const Reopened& r) {
    std::printf("Suona on a device closed in silence (%s driver) -> its first buffer\n", driver);
    print("time from the call until that buffer reached the device", "ms", statsOf(r.untilMixedMs));
    print("time the call took on the UI thread (the opening)", "us", statsOf(r.callUs));
}

// The output indexed by frames mixed: what the device opened at frame
// `firstFrame` played, after silence standing for the frames before it.
std::vector<std::int16_t> readOutput(const std::filesystem::path& file, std::uint64_t firstFrame,
                                     std::uint64_t framesMixed) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::int16_t> pcm;
    std::int16_t v;
    while (in.read(reinterpret_cast<char*>(&v), sizeof v)) pcm.push_back(v);
    const std::uint64_t played = std::min<std::uint64_t>(pcm.size(), framesMixed - firstFrame);
    pcm.erase(pcm.begin(), pcm.end() - static_cast<std::ptrdiff_t>(played));
    pcm.insert(pcm.begin(), firstFrame, 0);
    return pcm;
}

}  // namespace

int main(int argc, char** argv) {
    const int trials = argc > 1 ? std::max(5, std::atoi(argv[1])) : 40;
    const auto dir = std::filesystem::temp_directory_path() / ("vorlak-sound-latency-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto outputFile = dir / "output.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", outputFile.c_str(), 1);
    std::filesystem::current_path(VORLAK_ASSETS_DIR);  // where SOUND is

    ManualClock clock;
    SdlSound sound;
    Console console(clock, sound, sound);
    console.FormCreate();
    console.set(&ConsoleState::Suono_Pronto, true);
    console.set(&ConsoleState::Speaker_On, true);
    if (!console.openSampleBank(FSOUND_OUTPUT_WINMM) || !sound.isOpen()) {
        std::fprintf(stderr, "the sound bank or the disk device did not open\n");
        return 1;
    }
    const double rate = sound.outputRate();
    const double bufferMs = SdlSound::kBufferFrames * 1000.0 / rate;
    std::mt19937 random(1);

    // Effects on a device closed in silence first: each opens it again, and
    // the disk driver starts its file anew.
    Reopened reopened;
    const int reopenings = std::max(5, trials / 4);
    if (!reopenTrials(console, sound, reopenings, random, reopened)) {
        std::fprintf(stderr, "the device stayed open in silence\n");
        return 1;
    }
    // The output file then holds what the device played from here on.
    const std::uint64_t firstFrame = sound.framesMixed();

    // Effects: the service-stop pips, one at a time.
    std::vector<Trial> effects;
    for (int i = 0; i < trials; ++i) {
        effects.push_back(timed(sound, random, [&] { console.Suona(console.samples().Snd_Srvc1); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        console.Silenzio();
    }
    // The engine tone: gear changes 20 -> 22 -> 26 -> 22 -> 20 ... while it sounds.
    const std::uint32_t gears[] = {20, 22, 26, 22};
    const auto toneCalledAt = sound.framesMixed();
    console.Speaker(gears[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::vector<Trial> changes;
    std::vector<std::uint32_t> changedTo;
    for (int i = 1; i <= trials; ++i) {
        changedTo.push_back(gears[i % 4]);
        changes.push_back(timed(sound, random, [&] { console.Speaker(changedTo.back()); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    console.FormClose();
    const auto out = readOutput(outputFile, firstFrame, sound.framesMixed());
    if (out.size() != sound.framesMixed()) {
        std::fprintf(stderr, "the output file holds fewer frames than were mixed\n");
        return 1;
    }
    std::filesystem::remove_all(dir);

    // Where each effect starts: the first sound at or after the call.
    std::vector<double> effectFrames, effectMs, effectCallUs;
    for (const Trial& t : effects) {
        auto at = static_cast<std::size_t>(t.mixedAtCall);
        while (at < out.size() && out[at] == 0) ++at;
        effectFrames.push_back(static_cast<double>(at - t.mixedAtCall) - 1);  // the pip's first frame is 0
        effectMs.push_back(t.untilMixedMs);
        effectCallUs.push_back(t.callUs);
    }

    // Where each pitch change took effect: the oscillator is replayed frame by
    // frame, and of the buffer starts that could have taken the change, the one
    // that reproduces the output is it. Also counted: frames until the first
    // whole half-wave at the new pitch, since the wave in progress runs on.
    const auto rateHz = sound.outputRate();
    auto stepOf = [&](std::uint32_t tone) { return SdlSound::kTimerClockHz / (1193280u / tone) / rateHz; };
    std::size_t toneStart = static_cast<std::size_t>(toneCalledAt);
    while (toneStart < out.size() && out[toneStart] == 0) ++toneStart;
    double phase = 0.0, step = stepOf(gears[0]);
    std::size_t frame = toneStart;
    auto replay = [&](double& ph, std::size_t from, std::size_t to, double st, bool& same) {
        for (std::size_t f = from; f < to && f < out.size(); ++f) {
            same = same && ((ph < 0.5) == (out[f] > 0));
            ph += st;
            if (ph >= 1.0) ph -= 1.0;
        }
    };
    std::vector<double> changeFrames, wholeWaveFrames, changeMs, changeCallUs;
    int notFound = 0;
    for (std::size_t n = 0; n < changes.size(); ++n) {
        const double next = stepOf(changedTo[n]);
        bool placed = false;
        for (std::uint64_t b = changes[n].mixedAtCall; b <= changes[n].mixedAtCall + SdlSound::kBufferFrames && !placed;
             b += SdlSound::kBufferFrames) {
            double ph = phase;
            bool same = true;
            replay(ph, frame, b, step, same);
            const double atChange = ph;
            replay(ph, b, b + 2 * SdlSound::kBufferFrames, next, same);
            if (!same) continue;
            placed = true;
            changeFrames.push_back(static_cast<double>(b - changes[n].mixedAtCall));
            // The half-wave in progress ends when the phase next reaches 0.5 or 1.
            const double toEdge = (atChange < 0.5 ? 0.5 : 1.0) - atChange;
            wholeWaveFrames.push_back(static_cast<double>(b - changes[n].mixedAtCall) + std::ceil(toEdge / next));
            ph = phase;
            bool ignored = true;
            replay(ph, frame, b, step, ignored);
            phase = ph;
            frame = b;
            step = next;
        }
        if (!placed) ++notFound;
        changeMs.push_back(changes[n].untilMixedMs);
        changeCallUs.push_back(changes[n].callUs);
    }

    std::printf("Device: %s driver, %d Hz, %d channel(s), buffer %d frames = %.1f ms; %d trials each\n",
                sound.driverName().c_str(), sound.outputRate(), sound.outputChannels(), SdlSound::kBufferFrames,
                bufferMs, trials);
    std::printf("Suona -> effect's first frame\n");
    print("frames from the mixing position at the call", "frames", statsOf(effectFrames));
    print("time from the call until that buffer reached the device", "ms", statsOf(effectMs));
    print("time the call took on the UI thread", "us", statsOf(effectCallUs));
    std::printf("Speaker -> new pitch\n");
    if (notFound) std::printf("  %d of %d changes not reproduced by the replayed oscillator\n", notFound, trials);
    if (!changeFrames.empty()) {
        print("frames from the mixing position at the call", "frames", statsOf(changeFrames));
        print("frames until the first whole half-wave at the new pitch", "frames", statsOf(wholeWaveFrames));
    }
    print("time from the call until that buffer reached the device", "ms", statsOf(changeMs));
    print("time the call took on the UI thread", "us", statsOf(changeCallUs));

    // The tone's own cost per buffer, against the buffer's length.
    std::vector<std::int16_t> buffer(SdlSound::kBufferFrames * 2);
    Mixer offline;
    offline.setOutput(sound.outputRate(), 2);
    offline.startTone(45895);
    const int runs = 20000;
    const auto start = WallClock::now();
    for (int i = 0; i < runs; ++i) offline.mix(buffer.data(), SdlSound::kBufferFrames);
    const double toneUs = std::chrono::duration<double, std::micro>(WallClock::now() - start).count() / runs;
    std::printf("Mixing the engine tone alone: %.2f us per %d-frame stereo buffer (%.4f%% of the buffer's %.1f ms)\n", toneUs,
                SdlSound::kBufferFrames, toneUs / (bufferMs * 10.0), bufferMs);
    printReopened(sound.driverName().c_str(), reopened);
    if (const char* other = std::getenv("VORLAK_BENCH_REOPEN_DRIVER"); other && *other) {
        setenv("SDL_AUDIODRIVER", other, 1);
        SdlSound otherSound;
        Console otherConsole(clock, otherSound, otherSound);
        otherConsole.FormCreate();
        otherConsole.set(&ConsoleState::Suono_Pronto, true);
        otherConsole.set(&ConsoleState::Speaker_On, true);
        Reopened viaOther;
        if (!otherConsole.openSampleBank(FSOUND_OUTPUT_WINMM) || otherSound.driverName() != other ||
            !reopenTrials(otherConsole, otherSound, reopenings, random, viaOther))
            std::printf("Suona on a device closed in silence (%s driver): the driver did not open or close\n", other);
        else
            printReopened(other, viaOther);
        otherConsole.FormClose();
    }
    std::printf("On a real device add its own queue (SDL keeps about one more buffer): audible within about %.0f ms.\n",
                bufferMs + statsOf(effectMs).max);
    return 0;
}
