#include "frontends/win32/sound/win_sound.h"

#include <algorithm>

#include "sound/wave_file.h"

namespace vorlak {

WinSound::WinSound() = default;

WinSound::~WinSound() {
    close();
    samples_.clear();
}

bool WinSound::setOutput(int outputType) {
    outputType_ = outputType;
    return outputType == FSOUND_OUTPUT_WINMM || outputType == FSOUND_OUTPUT_DSOUND;
}

bool WinSound::init(int mixRate, int maxSoftwareChannels, unsigned) {
    if (device_) return true;
    if (mixRate < WaveLimits::kMinRate || mixRate > WaveLimits::kMaxRate) return false;
    // Both outputs take any PCM format, so the output is mono at the mix rate
    // and the system converts it to the hardware's.
    auto device = outputType_ == FSOUND_OUTPUT_DSOUND ? makeDirectSoundDevice(window_) : makeWaveOutDevice();
    rate_ = mixRate;
    mixer_.setOutput(mixRate, 1);
    mixer_.allocateChannels(maxSoftwareChannels);
    const bool opened = device->open(mixRate, 1, kBufferFrames, [this](std::int16_t* out, int frames) {
        const std::lock_guard<std::mutex> lock(mixing_);
        mixer_.mix(out, frames);
    });
    if (!opened) return false;  // silent from here on: effects load and play nothing
    device_ = std::move(device);
    return true;
}

SampleHandle WinSound::sampleLoad(int, const std::string& file, unsigned, int) {
    const auto content = readRegularFile(file, WaveLimits::kMaxFileBytes);
    if (!content) return nullptr;
    // Whatever a player's file holds, it is played as mono at the mix rate.
    auto samples = converter_.decodeWave(*content, PcmFormat{rate_, 1});
    if (!samples) return nullptr;
    auto sample = std::make_unique<WinSample>();
    sample->pcm = std::move(*samples);
    samples_.push_back(std::move(sample));
    return samples_.back().get();
}

int WinSound::playSound(int channel, SampleHandle handle) {
    if (!handle || !device_) return -1;
    const auto* sample = static_cast<WinSample*>(handle);
    const std::lock_guard<std::mutex> lock(mixing_);
    return mixer_.play(channel == FSOUND_FREE ? -1 : channel, sample->pcm.data(), sample->pcm.size());
}

bool WinSound::stopSound(int channel) {
    if (!device_) return false;
    if (channel != FSOUND_ALL && channel < 0) return false;
    const std::lock_guard<std::mutex> lock(mixing_);
    if (channel == FSOUND_ALL)
        mixer_.stopAll();
    else
        mixer_.stop(channel);
    return true;
}

void WinSound::sampleFree(SampleHandle handle) {
    if (!handle) return;
    const auto it = std::find_if(samples_.begin(), samples_.end(), [&](const auto& s) { return s.get() == handle; });
    if (it == samples_.end()) return;
    {
        const std::lock_guard<std::mutex> lock(mixing_);
        mixer_.stopUsing((*it)->pcm.data());
    }
    samples_.erase(it);
}

void WinSound::close() {
    stopTone();
    if (!device_) return;
    device_->close();  // returns once the device's thread no longer mixes
    device_.reset();
    mixer_.stopAll();
}

void WinSound::startTone(std::uint16_t divisor) { mixer_.startTone(divisor); }

void WinSound::stopTone() { mixer_.stopTone(); }

}  // namespace vorlak
