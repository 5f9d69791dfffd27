// The audio engine's core for the page: our mixer with the samples it plays,
// compiled to a wasm module of its own that runs in the AudioWorklet (or, in
// the page's fallback, beside the page). The engine's script hands samples
// over through a staging buffer and reads mixed frames from the mix buffer.
#include <cstdint>
#include <map>
#include <vector>

#include "sound/mixer.h"

namespace {

vorlak::Mixer mixer;
std::map<int, std::vector<std::int16_t>> samples;  // by the page's sample id
std::vector<std::int16_t> staging;
std::vector<std::int16_t> mixed;
bool toneOn = false;

}  // namespace

extern "C" {

void engine_open(int rate, int outputChannels, int mixerChannels) {
    mixer.setOutput(rate, outputChannels);
    mixer.allocateChannels(mixerChannels);
}

// Room for `count` samples of the next load; the script fills it.
std::int16_t* engine_staging(int count) {
    staging.assign(static_cast<std::size_t>(count > 0 ? count : 0), 0);
    return staging.data();
}

void engine_load(int id) {
    if (auto old = samples.find(id); old != samples.end()) mixer.stopUsing(old->second.data());
    samples[id] = std::move(staging);
    staging.clear();
}

void engine_unload(int id) {
    const auto it = samples.find(id);
    if (it == samples.end()) return;
    mixer.stopUsing(it->second.data());
    samples.erase(it);
}

int engine_play(int id) {
    const auto it = samples.find(id);
    if (it == samples.end()) return -1;
    return mixer.play(-1, it->second.data(), it->second.size());
}

void engine_stop(int channel) {
    if (channel < 0)
        mixer.stopAll();
    else
        mixer.stop(channel);
}

void engine_tone(int divisor) {
    toneOn = divisor >= 0;
    if (toneOn)
        mixer.startTone(static_cast<std::uint16_t>(divisor));
    else
        mixer.stopTone();
}

// Whether anything sounds: the tone, or an effect on any channel. The page
// lets its audio rest while nothing does.
int engine_sounding() {
    if (toneOn) return 1;
    for (int channel = 0; channel < mixer.channelCount(); ++channel)
        if (mixer.playing(channel)) return 1;
    return 0;
}

// The next `frames` frames, interleaved 16-bit; valid until the next call.
const std::int16_t* engine_mix(int frames) {
    mixed.resize(static_cast<std::size_t>(frames > 0 ? frames : 0) * static_cast<std::size_t>(mixer.outputChannels()));
    mixer.mix(mixed.data(), frames);
    return mixed.data();
}

}  // extern "C"
