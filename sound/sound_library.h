// The sound layer the console plays through: seven calls for the bank of
// effects, and the engine tone that stands in for the PC speaker.
#pragma once

#include <cstdint>
#include <string>

namespace vorlak {

// A loaded effect, owned by the layer that loaded it; each layer derives its
// own kind, so that several layers can live in one program.
struct Sample {};
using SampleHandle = Sample*;     // null when not loaded

// Values passed to the layer.
constexpr int FSOUND_OUTPUT_NOSOUND = 0;
constexpr int FSOUND_OUTPUT_WINMM = 1;
constexpr int FSOUND_OUTPUT_DSOUND = 2;
constexpr int FSOUND_FREE = -1;   // any free sample slot / channel
constexpr int FSOUND_ALL = -3;    // every channel
constexpr unsigned FSOUND_2D = 0x2000;

class SoundLibrary {
public:
    virtual ~SoundLibrary() = default;
    virtual bool setOutput(int outputType) = 0;
    // `mixRate` is the rate asked for; an output may open at another (a
    // device's own 44.1 or 48 kHz), and effects are then converted to it.
    // `flags` is ignored.
    virtual bool init(int mixRate, int maxSoftwareChannels, unsigned flags) = 0;
    // `file` is what the core passes: a path relative to the working
    // directory in the form ".\SOUND\GameOver.wav", with backslashes, which
    // each layer turns into its platform's form. `index` (FSOUND_FREE),
    // `mode` (FSOUND_2D) and `memoryLength` (0, the name is a path) are
    // ignored. Null when the file cannot be read as a wave file.
    virtual SampleHandle sampleLoad(int index, const std::string& file, unsigned mode, int memoryLength) = 0;
    virtual int playSound(int channel, SampleHandle sample) = 0;  // a null sample plays nothing
    virtual bool stopSound(int channel) = 0;
    virtual void sampleFree(SampleHandle sample) = 0;             // null is harmless
    virtual void close() = 0;                                     // harmless when never opened
    // Why no sound output can be had at all, naming the file at fault (a
    // broken install); empty when the output opened, and also when there is
    // merely no sound device (silent play is normal then).
    virtual std::string outputProblem() const { return {}; }
    // Whether the console is switched on. While it is, an output that lets
    // an idle device go keeps it ready, so that a game's first effect sounds
    // at once; once it is switched off the device may rest.
    virtual void keepReady(bool /*switchedOn*/) {}
};

// The engine tone: a square wave at 1193182 / divisor Hz, sounding from
// startTone until stopTone; a new divisor changes the pitch at once.
class SpeakerTone {
public:
    virtual ~SpeakerTone() = default;
    virtual void startTone(std::uint16_t divisor) = 0;
    virtual void stopTone() = 0;
};

}  // namespace vorlak
