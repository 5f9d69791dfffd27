// The sound layer over SDL2's audio device: effects play on the channels of
// our own mixer, and the engine tone is a square wave mixed into the same
// output.
//
// Samples are decoded and converted to the device's format by the shared
// sound code, so loading checks the file and not the device: without a sound
// device everything loads and playing is silent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/mixer.h"
#include "sound/pcm_conversion.h"
#include "sound/sound_library.h"

namespace vorlak {

class SdlSound : public SoundLibrary, public SpeakerTone {
public:
    // 512 frames is 23.2 ms at 22050 Hz, within one 25 ms buffer, and the
    // least that SDL's disk and dummy drivers run steadily with.
    static constexpr int kBufferFrames = 512;
    static constexpr int kToneAmplitude = Mixer::kToneAmplitude;
    static constexpr double kTimerClockHz = Mixer::kTimerClockHz;

    SdlSound();
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    bool setOutput(int outputType) override;
    bool init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    SampleHandle sampleLoad(int index, const std::string& file, unsigned mode, int memoryLength) override;
    int playSound(int channel, SampleHandle sample) override;
    bool stopSound(int channel) override;
    void sampleFree(SampleHandle sample) override;
    void close() override;

    void startTone(std::uint16_t divisor) override;
    void stopTone() override;

    // What the device turned out to be; rate and channels are those samples
    // are converted to (22050 Hz mono while no device is open).
    bool isOpen() const { return open_; }
    int outputRate() const { return format_.rate; }
    int outputChannels() const { return format_.channels; }
    const std::string& driverName() const { return driverInUse_; }
    // Frames produced since the device opened (counted on the audio thread).
    std::uint64_t framesMixed() const { return mixer_.framesMixed(); }

    struct SdlSample;

private:
    bool convert(SdlSample& sample, PcmFormat to);

    std::string driverWanted_;  // empty: the platform's default
    std::string driverInUse_;
    bool open_ = false;
    std::uint32_t device_ = 0;  // SDL's device id while open
    PcmFormat format_;          // in native byte order
    std::vector<std::unique_ptr<SdlSample>> samples_;
    PcmConverter converter_;
    Mixer mixer_;
};

}  // namespace vorlak
