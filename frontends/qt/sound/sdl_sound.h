// The sound layer over SDL2's audio device: effects play on the channels of
// our own mixer, and the engine tone is a square wave mixed into the same
// output.
//
// Samples are decoded and converted to the device's format by the shared
// sound code, so loading checks the file and not the device: without a sound
// device everything loads and playing is silent.
//
// The device rests while the console is switched off: an open device wakes
// its thread for every buffer, silence or not. Switched off (or not yet on)
// and after kCloseAfterMs of silence (no effect playing and no tone), the
// device is closed, on a thread of the layer's own since closing waits for
// the device to drain. Switching on opens it again, so that the first
// effect of a game sounds at once (a sound server may take long to start a
// new stream: a null sink of PulseAudio took up to 2 s); an effect or tone
// while it rests opens it too, in the format the samples were converted to.
#pragma once

#include <SDL_audio.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
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
    // Silence before the device is closed.
    static constexpr int kCloseAfterMs = 1000;
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
    void keepReady(bool switchedOn) override;

    // What the device turned out to be when the sound was opened; rate and
    // channels are those samples are converted to (22050 Hz mono while the
    // sound is not open).
    bool isOpen() const { return open_; }
    // Whether a device is open now, until one closed in silence has
    // finished closing.
    bool deviceOpen();
    int outputRate() const { return format_.rate; }
    int outputChannels() const { return format_.channels; }
    const std::string& driverName() const { return driverInUse_; }
    // Frames produced since the device opened (counted on the audio thread).
    std::uint64_t framesMixed() const { return mixer_.framesMixed(); }

    struct SdlSample;
    struct Playback;

private:
    bool convert(SdlSample& sample, PcmFormat to);
    // Opens the device again if it was closed in silence (the UI thread only).
    void ensureDevice();
    SDL_AudioDeviceID openDevice(Playback& playback, SDL_AudioSpec* obtained, int allowedChanges);
    void closeInSilence();  // the closing thread
    static void SDLCALL fill(void* userdata, Uint8* stream, int bytes);

    std::string driverWanted_;  // empty: the platform's default
    std::string driverInUse_;
    bool open_ = false;
    PcmFormat format_;  // in native byte order
    std::vector<std::unique_ptr<SdlSample>> samples_;
    PcmConverter converter_;

    // The mixer, and whether each playback may still mix, are shared with
    // the audio thread under mixLock_.
    std::mutex mixLock_;
    Mixer mixer_;
    // The open device and the closing thread's orders, under stateLock_
    // (taken before mixLock_ where both are held).
    std::mutex stateLock_;
    std::condition_variable closeOrdered_;
    SDL_AudioDeviceID device_ = 0;  // 0 while closed
    bool closing_ = false;          // one closed in silence, still closing
    std::unique_ptr<Playback> playback_;
    bool silenceReported_ = false;
    bool ready_ = false;  // the console is switched on: the device stays open
    bool quit_ = false;
    std::thread closer_;
};

}  // namespace vorlak
