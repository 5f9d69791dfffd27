// The console's sound in a web page: the seven calls of the sound layer and
// the engine tone, as messages to the page's audio engine, which owns the
// mixer and the samples (an AudioWorklet running our mixer, or the page's
// fallback). Loading reads and checks the wave here, on the page's side, so
// that a file that is not a wave gives a null handle at once, as everywhere,
// and converts it to the engine's rate, in mono, as every output does.
//
// Plain C++: the page's files and its audio engine are given to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/pcm_conversion.h"
#include "sound/sound_library.h"

namespace vorlak {

// What the page's audio engine is told. Messages keep their order; the
// engine may still be starting when they are sent.
class AudioEnginePort {
public:
    virtual ~AudioEnginePort() = default;
    // The engine mixes at the rate it answers (its audio context's own), or
    // at the rate asked when it answers none (0).
    virtual int open(int rate, int channels) = 0;
    virtual void load(int id, std::span<const std::int16_t> mono) = 0;  // copied
    virtual void play(int id) = 0;
    virtual void stop(int channel) = 0;  // -1: every channel
    virtual void unload(int id) = 0;
    virtual void tone(std::optional<std::uint16_t> divisor) = 0;  // nothing: silent
    virtual void close() = 0;
};

class WebSound : public SoundLibrary, public SpeakerTone {
public:
    // The bytes of a file the page holds ("SOUND/Start.wav"), if it has it.
    using FileReader = std::function<std::optional<std::vector<std::uint8_t>>(const std::string& path)>;

    WebSound(FileReader files, AudioEnginePort& engine);
    ~WebSound() override;

    bool setOutput(int outputType) override;
    bool init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    SampleHandle sampleLoad(int index, const std::string& file, unsigned mode, int memoryLength) override;
    // The engine chooses the channel: 0 when the effect was sent, -1 when
    // there is nothing to play or sound is not open.
    int playSound(int channel, SampleHandle sample) override;
    bool stopSound(int channel) override;
    void sampleFree(SampleHandle sample) override;
    void close() override;

    void startTone(std::uint16_t divisor) override;
    void stopTone() override;

    bool isOpen() const { return open_; }
    int outputRate() const { return rate_; }

    // "./SOUND\\Start.wav" and the like, as the page's file name "SOUND/Start.wav".
    static std::string pageFileName(const std::string& file);

private:
    struct WebSample : Sample {
        int id = 0;
    };
    FileReader files_;
    AudioEnginePort& engine_;
    bool open_ = false;
    int rate_ = 22050;
    int nextId_ = 1;
    std::vector<std::unique_ptr<WebSample>> samples_;
    PcmConverter converter_;
};

}  // namespace vorlak
