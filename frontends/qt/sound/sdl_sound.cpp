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

std::optional<std::vector<std::int16_t>> SdlSound::convert(std::span<const std::int16_t> samples, PcmFormat from,
                                                           PcmFormat to) {
    const auto channelsOk = [](int c) { return c >= 1 && c <= WaveLimits::kMaxChannels; };
    if (from.rate <= 0 || to.rate <= 0 || !channelsOk(from.channels) || !channelsOk(to.channels)) return std::nullopt;
    if (from == to) return std::vector<std::int16_t>(samples.begin(), samples.end());
    // Bound the result before making any of it: the frames it will have at
    // the output rate, and its size.
    const std::uint64_t frames = samples.size() / static_cast<std::size_t>(from.channels);
    if (frames > static_cast<std::uint64_t>(WaveLimits::kMaxSeconds) * static_cast<std::uint64_t>(from.rate))
        return std::nullopt;
    const std::uint64_t expected = (frames * static_cast<std::uint64_t>(to.rate) + static_cast<std::uint64_t>(from.rate) - 1) /
                                   static_cast<std::uint64_t>(from.rate);
    // The resampler may add a few frames of its filter at the end.
    const std::uint64_t allowed = (expected + 4096) * static_cast<std::uint64_t>(to.channels);
    if (allowed * sizeof(std::int16_t) > kMaxConvertedBytes) return std::nullopt;
    std::vector<std::int16_t> out;
    if (frames == 0) return out;

    SDL_AudioStream* stream = SDL_NewAudioStream(kSampleFormat, static_cast<Uint8>(from.channels), from.rate,
                                                 kSampleFormat, static_cast<Uint8>(to.channels), to.rate);
    if (!stream) return std::nullopt;
    out.reserve(static_cast<std::size_t>(expected * static_cast<std::uint64_t>(to.channels)));
    // In pieces, so that SDL's own work buffers stay small too.
    const std::size_t piece = 4096 * static_cast<std::size_t>(from.channels);
    std::vector<std::int16_t> got(4096 * static_cast<std::size_t>(to.channels));
    bool ok = true;
    const auto drain = [&] {
        while (ok && SDL_AudioStreamAvailable(stream) > 0) {
            const int bytes = SDL_AudioStreamGet(stream, got.data(), static_cast<int>(got.size() * sizeof(std::int16_t)));
            if (bytes <= 0) break;
            out.insert(out.end(), got.begin(), got.begin() + bytes / static_cast<int>(sizeof(std::int16_t)));
            ok = out.size() <= allowed;
        }
    };
    for (std::size_t at = 0; ok && at < samples.size(); at += piece) {
        const std::size_t n = std::min(piece, samples.size() - at);
        ok = SDL_AudioStreamPut(stream, samples.data() + at, static_cast<int>(n * sizeof(std::int16_t))) == 0;
        drain();
    }
    if (ok) ok = SDL_AudioStreamFlush(stream) == 0;
    drain();
    SDL_FreeAudioStream(stream);
    if (!ok) return std::nullopt;
    out.resize(out.size() - out.size() % static_cast<std::size_t>(to.channels));
    return out;
}

bool SdlSound::convert(SdlSample& sample, PcmFormat to) const {
    if (sample.format == to) return true;
    auto converted = convert(sample.pcm, sample.format, to);
    if (!converted) return false;
    sample.pcm = std::move(*converted);
    sample.format = to;
    return true;
}

std::optional<std::vector<std::int16_t>> SdlSound::decode(std::span<const std::uint8_t> file, PcmFormat to) {
    auto wave = decodeWave(file);
    if (!wave) return std::nullopt;
    if (PcmFormat{wave->rate, wave->channels} == to) return std::move(wave->samples);
    return convert(wave->samples, {wave->rate, wave->channels}, to);
}

SampleHandle SdlSound::sampleLoad(int, const std::string& file, unsigned, int) {
    std::string path = file;
    std::replace(path.begin(), path.end(), '\\', '/');
    const auto content = readRegularFile(path, WaveLimits::kMaxFileBytes);
    if (!content) return nullptr;
    auto samples = decode(*content, format_);
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
