// The sound layer over SDL2 + SDL2_mixer: effects play on mixer channels, and
// the engine tone is a square wave synthesised into the same output.
//
// Samples are decoded by the layer itself, so loading checks the file and not
// the device: without a sound device everything loads and playing is silent.
// SDL_mixer drives one device per process, so one SdlSound is open at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/sound_library.h"

namespace vorlak {

class SdlSound : public SoundLibrary, public SpeakerTone {
public:
    // 512 frames is 23.2 ms at 22050 Hz, within one 25 ms buffer, and the
    // least that SDL's disk and dummy drivers run steadily with.
    static constexpr int kBufferFrames = 512;
    // A quarter of full scale leaves headroom for effects sounding over it.
    static constexpr int kToneAmplitude = 8192;
    // The interval timer's input clock: the tone sounds at this / divisor Hz.
    static constexpr double kTimerClockHz = 1193182.0;

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
    std::uint64_t framesMixed() const { return framesMixed_.load(std::memory_order_acquire); }

    struct PcmFormat {
        int rate = 22050;
        int channels = 1;  // 16-bit signed samples in native byte order
        bool operator==(const PcmFormat&) const = default;
    };
    struct SdlSample;

    // Called by SDL_mixer on its audio thread after the channels are mixed.
    void addToneTo(std::int16_t* samples, int frames, int channels, int rate);

private:
    bool convert(SdlSample& sample, PcmFormat to) const;

    std::string driverWanted_;  // empty: the platform's default
    std::string driverInUse_;
    bool open_ = false;
    PcmFormat format_;
    std::vector<std::unique_ptr<SdlSample>> samples_;

    // Handed from the UI thread to the audio thread: 0 when silent, else
    // kToneOn | divisor (a divisor of 0 counts as 65536, as on the timer chip).
    static constexpr std::uint32_t kToneOn = 0x10000u;
    std::atomic<std::uint32_t> toneRequest_{0};
    std::atomic<std::uint64_t> framesMixed_{0};
    // Audio thread only.
    std::uint32_t toneSounding_ = 0;
    double tonePhase_ = 0.0;  // in cycles, [0, 1)
};

}  // namespace vorlak
