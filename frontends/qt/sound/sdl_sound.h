// The sound layer over SDL2's audio device: effects play on the channels of
// our own mixer, and the engine tone is a square wave mixed into the same
// output.
//
// Samples are decoded by the layer itself, so loading checks the file and not
// the device: without a sound device everything loads and playing is silent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/mixer.h"
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

    struct PcmFormat {
        int rate = 22050;
        int channels = 1;  // 16-bit signed samples in native byte order
        bool operator==(const PcmFormat&) const = default;
    };
    struct SdlSample;

    // Converting a sample refuses one that would take more than this.
    static constexpr std::size_t kMaxConvertedBytes = 64u << 20;
    // What loading makes of a wave file's content: its samples in `to`
    // (interleaved), or nothing when the file is refused.
    static std::optional<std::vector<std::int16_t>> decode(std::span<const std::uint8_t> file, PcmFormat to);
    // Samples from one format to another, or nothing when the result would
    // last longer than a wave file may or take more than kMaxConvertedBytes.
    static std::optional<std::vector<std::int16_t>> convert(std::span<const std::int16_t> samples, PcmFormat from,
                                                            PcmFormat to);

private:
    bool convert(SdlSample& sample, PcmFormat to) const;

    std::string driverWanted_;  // empty: the platform's default
    std::string driverInUse_;
    bool open_ = false;
    std::uint32_t device_ = 0;  // SDL's device id while open
    PcmFormat format_;
    std::vector<std::unique_ptr<SdlSample>> samples_;
    Mixer mixer_;
};

}  // namespace vorlak
