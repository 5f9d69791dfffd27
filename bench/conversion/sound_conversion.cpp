// Loading the SOUND folder as PLAY does, on the way to the console on screen:
// the seven shipped effects read, decoded and converted to the format a
// device opened with, by one converter (as one sound layer holds), beside the
// same files loaded for a device at their own format (22050 Hz mono), which
// converts nothing.
//
// Usage: bench-sound-conversion [--runs N]   (default 30)
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/common/bench_common.h"
#include "sound/pcm_conversion.h"
#include "sound/wave_file.h"

namespace {

using namespace vorlak;
using namespace vorlak::bench;

const char* const kEffects[] = {"GameOver", "Level", "Miss", "Semaph", "Srvc1", "Srvc2", "Start"};

// Milliseconds to load all seven for `to`; negative when one did not load.
double loadAll(PcmFormat to) {
    const auto start = std::chrono::steady_clock::now();
    PcmConverter converter;
    for (const char* name : kEffects) {
        const auto bytes = readRegularFile(std::string(VORLAK_ASSETS_DIR) + "/SOUND/" + name + ".wav",
                                           WaveLimits::kMaxFileBytes);
        if (!bytes || !converter.decodeWave(*bytes, to)) return -1;
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = intOption(argc, argv, "--runs", 30);
    const PcmFormat asFiles{22050, 1};
    const PcmFormat devices[] = {{48000, 2}, {44100, 2}, {48000, 1}, {22050, 2}};
    std::vector<double> floor;
    std::vector<std::vector<double>> converted(std::size(devices));
    bool failed = false;
    for (int i = 0; i < runs; ++i) {
        const double f = loadAll(asFiles);
        failed |= f < 0;
        floor.push_back(f);
        for (std::size_t d = 0; d < std::size(devices); ++d) {
            const double t = loadAll(devices[d]);
            failed |= t < 0;
            converted[d].push_back(t);
        }
    }
    const double base = percentile(floor, 50);
    std::printf("seven effects at 22050 Hz mono, no conversion: median %.2f ms, max %.2f ms over %d runs\n", base,
                maximum(floor), runs);
    for (std::size_t d = 0; d < std::size(devices); ++d) {
        const double median = percentile(converted[d], 50), worst = maximum(converted[d]);
        std::printf("seven effects to %d Hz, %d channels: median %.2f ms, max %.2f ms\n", devices[d].rate,
                    devices[d].channels, median, worst);
        const std::string figure = "SOUND folder at PLAY, converted to " + std::to_string(devices[d].rate) + " Hz " +
                                   (devices[d].channels == 1 ? "mono" : "stereo") + " (median)";
        // A tenth of a second is where a wait after a click starts to show.
        row(figure, format("%.1f ms", median), format("%.2f ms", base), format("%+.1f ms", median - base), "< 50 ms",
            !failed && median < 50.0);
    }
    return failed ? 1 : 0;
}
