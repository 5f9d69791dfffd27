// The sound layer on Windows: effects play on the channels of the project's
// mixer and the engine tone is a square wave mixed into the same output,
// which goes to waveOut ("Windows MM") or DirectSound as the player chose.
//
// Samples are decoded by the layer itself, so loading checks the file and not
// the device: without a sound device everything loads and playing is silent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "frontends/win32/sound/audio_device.h"
#include "sound/mixer.h"
#include "sound/pcm_conversion.h"
#include "sound/sound_library.h"

namespace vorlak {

class WinSound : public SoundLibrary, public SpeakerTone {
public:
    // 512 frames is 23.2 ms at 22050 Hz: an effect starts in the next buffer mixed.
    static constexpr int kBufferFrames = 512;

    WinSound();
    ~WinSound() override;
    WinSound(const WinSound&) = delete;
    WinSound& operator=(const WinSound&) = delete;

    // The window DirectSound cooperates with (before init; the desktop otherwise).
    void setWindow(HWND window) { window_ = window; }

    bool setOutput(int outputType) override;
    bool init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    SampleHandle sampleLoad(int index, const std::string& file, unsigned mode, int memoryLength) override;
    int playSound(int channel, SampleHandle sample) override;
    bool stopSound(int channel) override;
    void sampleFree(SampleHandle sample) override;
    void close() override;

    void startTone(std::uint16_t divisor) override;
    void stopTone() override;

    bool isOpen() const { return device_ != nullptr; }
    int outputType() const { return outputType_; }
    int outputRate() const { return rate_; }
    std::uint64_t framesMixed() const { return mixer_.framesMixed(); }

private:
    struct WinSample : Sample {
        std::vector<std::int16_t> pcm;  // mono at the output rate
    };

    int outputType_ = FSOUND_OUTPUT_WINMM;
    HWND window_ = nullptr;
    int rate_ = 22050;
    std::unique_ptr<AudioDevice> device_;
    std::vector<std::unique_ptr<WinSample>> samples_;
    std::mutex mixing_;  // held by the device's thread while it mixes
    Mixer mixer_;
    PcmConverter converter_;
};

}  // namespace vorlak
