#include "frontends/qt/sound/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "sound/wave_file.h"

namespace vorlak {

struct SdlSound::SdlSample : Sample {
    std::vector<std::int16_t> pcm;  // interleaved, in `format`
    PcmFormat format;
    const std::int16_t* samples() const { return pcm.data(); }
    std::size_t count() const { return pcm.size(); }
};

namespace {

constexpr Uint16 kSampleFormat = AUDIO_S16SYS;

bool driverExists(const char* name) {
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
        if (std::strcmp(SDL_GetAudioDriver(i), name) == 0) return true;
    return false;
}

// Runs on SDL's audio thread, which holds the device's lock meanwhile.
void SDLCALL fill(void* userdata, Uint8* stream, int bytes) {
    auto* mixer = static_cast<Mixer*>(userdata);
    const int frames = bytes / static_cast<int>(sizeof(std::int16_t)) / mixer->outputChannels();
    mixer->mix(reinterpret_cast<std::int16_t*>(stream), frames);
}

// Holds the audio thread off for the length of a scope.
class DeviceLock {
public:
    explicit DeviceLock(SDL_AudioDeviceID device) : device_(device) { SDL_LockAudioDevice(device_); }
    ~DeviceLock() { SDL_UnlockAudioDevice(device_); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID device_;
};

}  // namespace

SdlSound::SdlSound() = default;

SdlSound::~SdlSound() {
    close();
    samples_.clear();
}

bool SdlSound::setOutput(int outputType) {
    const char* wanted = outputType == FSOUND_OUTPUT_WINMM   ? "winmm"
                         : outputType == FSOUND_OUTPUT_DSOUND ? "directsound"
                                                               : nullptr;
    // Where the named driver does not exist (every system but Windows), the
    // platform's default is used.
    driverWanted_ = wanted && driverExists(wanted) ? wanted : "";
    return true;
}

bool SdlSound::init(int mixRate, int maxSoftwareChannels, unsigned) {
    if (open_) return true;
    // A normal-priority hint: SDL_AUDIODRIVER in the environment still wins.
    if (!driverWanted_.empty()) SDL_SetHint(SDL_HINT_AUDIODRIVER, driverWanted_.c_str());
    // SDL would otherwise catch SIGINT and SIGTERM and leave the program
    // running: a request to end from outside must still end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (driverWanted_.empty()) return false;
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = mixRate;
    wanted.format = kSampleFormat;
    wanted.channels = 1;
    wanted.samples = kBufferFrames;
    wanted.callback = fill;
    wanted.userdata = &mixer_;
    SDL_AudioSpec obtained{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained,
                                  SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (device_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    format_ = {obtained.freq, obtained.channels};
    driverInUse_ = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
    // The device is paused until here, so every frame it produces is counted.
    mixer_.setOutput(obtained.freq, obtained.channels);
    mixer_.allocateChannels(maxSoftwareChannels);
    SDL_PauseAudioDevice(device_, 0);
    open_ = true;
    return true;
}

bool SdlSound::convert(SdlSample& sample, PcmFormat to) {
    if (sample.format == to) return true;
    auto converted = converter_.convert(sample.pcm, sample.format, to);
    if (!converted) return false;
    sample.pcm = std::move(*converted);
    sample.format = to;
    return true;
}

SampleHandle SdlSound::sampleLoad(int, const std::string& file, unsigned, int) {
    std::string path = file;
    std::replace(path.begin(), path.end(), '\\', '/');
    const auto content = readRegularFile(path, WaveLimits::kMaxFileBytes);
    if (!content) return nullptr;
    auto samples = converter_.decodeWave(*content, format_);
    if (!samples) return nullptr;
    auto sample = std::make_unique<SdlSample>();
    sample->pcm = std::move(*samples);
    sample->format = format_;
    samples_.push_back(std::move(sample));
    return samples_.back().get();
}

int SdlSound::playSound(int channel, SampleHandle handle) {
    if (!handle || !open_) return -1;
    auto* sample = static_cast<SdlSample*>(handle);
    // A sample loaded before the device opened may need the device's format;
    // it cannot be playing yet, so converting it here is safe.
    if (!convert(*sample, format_)) return -1;
    const DeviceLock lock(device_);
    return mixer_.play(channel == FSOUND_FREE ? -1 : channel, sample->samples(), sample->count());
}

bool SdlSound::stopSound(int channel) {
    if (!open_) return false;
    if (channel != FSOUND_ALL && channel < 0) return false;
    const DeviceLock lock(device_);
    if (channel == FSOUND_ALL)
        mixer_.stopAll();
    else
        mixer_.stop(channel);
    return true;
}

void SdlSound::sampleFree(SampleHandle handle) {
    if (!handle) return;
    const auto it = std::find_if(samples_.begin(), samples_.end(), [&](const auto& s) { return s.get() == handle; });
    if (it == samples_.end()) return;
    if (open_) {
        // Once the lock is held the audio thread is not reading the data.
        const DeviceLock lock(device_);
        mixer_.stopUsing((*it)->samples());
    }
    samples_.erase(it);
}

void SdlSound::close() {
    stopTone();
    if (!open_) return;
    // Closing waits for the audio thread to finish.
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    mixer_.stopAll();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
    format_ = PcmFormat{};
}

void SdlSound::startTone(std::uint16_t divisor) { mixer_.startTone(divisor); }

void SdlSound::stopTone() { mixer_.stopTone(); }

}  // namespace vorlak
