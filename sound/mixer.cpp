#include "sound/mixer.h"

#include <algorithm>

namespace vorlak {
namespace {

std::int16_t clipped(int value) { return static_cast<std::int16_t>(std::clamp(value, -32768, 32767)); }

}  // namespace

void Mixer::setOutput(int rate, int channels) {
    rate_ = rate > 0 ? rate : 22050;
    outputChannels_ = channels > 0 ? channels : 1;
    stopAll();
    toneSounding_ = 0;
    tonePhase_ = 0.0;
    framesMixed_.store(0, std::memory_order_release);
}

void Mixer::allocateChannels(int count) { channels_.assign(static_cast<std::size_t>(std::max(count, 0)), Channel{}); }

int Mixer::play(int channel, const std::int16_t* samples, std::size_t count) {
    if (channel == -1) {
        const auto free = std::find_if(channels_.begin(), channels_.end(), [](const Channel& c) { return !c.samples; });
        if (free == channels_.end()) return -1;
        channel = static_cast<int>(free - channels_.begin());
    }
    if (channel < 0 || channel >= channelCount()) return -1;
    // An empty effect ends at once and leaves the channel free.
    channels_[static_cast<std::size_t>(channel)] = count > 0 ? Channel{samples, count, 0} : Channel{};
    return channel;
}

void Mixer::stop(int channel) {
    if (channel >= 0 && channel < channelCount()) channels_[static_cast<std::size_t>(channel)] = Channel{};
}

void Mixer::stopAll() { std::fill(channels_.begin(), channels_.end(), Channel{}); }

void Mixer::stopUsing(const std::int16_t* samples) {
    for (Channel& c : channels_)
        if (c.samples == samples) c = Channel{};
}

bool Mixer::playing(int channel) const {
    return channel >= 0 && channel < channelCount() && channels_[static_cast<std::size_t>(channel)].samples;
}

bool Mixer::silent() const {
    return toneSounding_ == 0 && toneRequest_.load(std::memory_order_acquire) == 0 &&
           std::none_of(channels_.begin(), channels_.end(), [](const Channel& c) { return c.samples; });
}

void Mixer::startTone(std::uint16_t divisor) { toneRequest_.store(kToneOn | divisor, std::memory_order_release); }

void Mixer::stopTone() { toneRequest_.store(0, std::memory_order_release); }

void Mixer::mix(std::int16_t* out, int frames) {
    const std::size_t length = static_cast<std::size_t>(std::max(frames, 0)) * static_cast<std::size_t>(outputChannels_);
    std::fill(out, out + length, std::int16_t{0});
    for (Channel& c : channels_) {
        if (!c.samples) continue;
        const std::size_t n = std::min(length, c.count - c.position);
        const std::int16_t* from = c.samples + c.position;
        for (std::size_t i = 0; i < n; ++i) out[i] = clipped(out[i] + from[i]);
        c.position += n;
        if (c.position == c.count) c = Channel{};
    }
    addTone(out, frames);
    framesMixed_.fetch_add(static_cast<std::uint64_t>(std::max(frames, 0)), std::memory_order_acq_rel);
}

void Mixer::addTone(std::int16_t* out, int frames) {
    const std::uint32_t request = toneRequest_.load(std::memory_order_acquire);
    if (request != 0) {
        // Starting from silence begins a fresh cycle; a new divisor only
        // changes the step, so the wave runs on without a break.
        if (toneSounding_ == 0) tonePhase_ = 0.0;
        const std::uint32_t divisor = (request & 0xFFFFu) ? (request & 0xFFFFu) : 0x10000u;
        const double step = kTimerClockHz / divisor / rate_;
        for (int f = 0; f < frames; ++f) {
            const int level = tonePhase_ < 0.5 ? kToneAmplitude : -kToneAmplitude;
            for (int c = 0; c < outputChannels_; ++c) {
                std::int16_t& sample = out[f * outputChannels_ + c];
                sample = clipped(sample + level);
            }
            tonePhase_ += step;
            if (tonePhase_ >= 1.0) tonePhase_ -= 1.0;
        }
    }
    toneSounding_ = request;
}

}  // namespace vorlak
