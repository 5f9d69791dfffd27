// The mixer behind the sound device: effects playing on numbered channels,
// and the engine tone over them, summed into 16-bit output with clipping.
//
// Plain C++. The device layer calls mix() on its audio thread and holds the
// device's lock around play and stop; the tone's start and stop may come from
// any thread at any time.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlak {

class Mixer {
public:
    // A quarter of full scale leaves headroom for effects sounding over it.
    static constexpr int kToneAmplitude = 8192;
    // The interval timer's input clock: the tone sounds at this / divisor Hz.
    static constexpr double kTimerClockHz = 1193182.0;

    // Samples are interleaved in the output's channel count. Both calls stop
    // every channel.
    void setOutput(int rate, int channels);
    void allocateChannels(int count);
    int channelCount() const { return static_cast<int>(channels_.size()); }
    int outputChannels() const { return outputChannels_; }

    // Plays `samples` (not copied: they must outlive the playing) from their
    // start on `channel`, or on the lowest free one when `channel` is -1.
    // Returns the channel, or -1 when it does not exist or none is free.
    int play(int channel, const std::int16_t* samples, std::size_t count);
    void stop(int channel);  // a channel that does not exist is ignored
    void stopAll();
    void stopUsing(const std::int16_t* samples);  // every channel playing these
    bool playing(int channel) const;
    // Nothing sounds: no channel playing, and the tone neither sounding nor
    // asked for. Read where mix() is not running meanwhile.
    bool silent() const;

    void startTone(std::uint16_t divisor);  // a divisor of 0 counts as 65536
    void stopTone();

    // Fills `frames` frames: silence, each playing channel in turn, the tone.
    void mix(std::int16_t* out, int frames);
    // Frames produced by mix() since the output was set.
    std::uint64_t framesMixed() const { return framesMixed_.load(std::memory_order_acquire); }

private:
    struct Channel {
        const std::int16_t* samples = nullptr;  // null when free
        std::size_t count = 0;
        std::size_t position = 0;
    };
    void addTone(std::int16_t* out, int frames);

    int rate_ = 22050;
    int outputChannels_ = 1;
    std::vector<Channel> channels_;

    // 0 when silent, else kToneOn | divisor.
    static constexpr std::uint32_t kToneOn = 0x10000u;
    std::atomic<std::uint32_t> toneRequest_{0};
    std::atomic<std::uint64_t> framesMixed_{0};
    // Audio thread only.
    std::uint32_t toneSounding_ = 0;
    double tonePhase_ = 0.0;  // in cycles, [0, 1)
};

}  // namespace vorlak
