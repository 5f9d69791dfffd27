// A Windows sound output that pulls its samples from a callback on a thread
// of its own: waveOut ("Windows MM") or DirectSound.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace vorlak {

class AudioDevice {
public:
    // Fills `frames` frames of interleaved 16-bit samples, on the device's thread.
    using Fill = std::function<void(std::int16_t* out, int frames)>;

    virtual ~AudioDevice() = default;
    // Opens the system's default output at this format (16-bit signed, native
    // order) and starts playing, asking `fill` for each buffer of
    // `bufferFrames` frames. False when no device opens; nothing then runs.
    virtual bool open(int rate, int channels, int bufferFrames, Fill fill) = 0;
    // Stops the thread and the device; returns once `fill` is no longer called.
    virtual void close() = 0;
    // Buffers handed to the device so far.
    virtual std::uint64_t buffersFilled() const = 0;
};

// waveOut through the wave mapper, which takes any PCM format.
std::unique_ptr<AudioDevice> makeWaveOutDevice();
// A looping DirectSound buffer refilled segment by segment; `window` is the
// program's window for the cooperative level (the desktop when null). The
// buffer plays on while the program is in the background.
std::unique_ptr<AudioDevice> makeDirectSoundDevice(HWND window);

}  // namespace vorlak
