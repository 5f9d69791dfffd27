#include "sound/sdl_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstring>

namespace vorlak {

struct SdlSound::SdlSample : Sample {
    std::vector<std::uint8_t> pcm;  // 16-bit signed, native order, in `format`
    PcmFormat format;
    Mix_Chunk chunk{};              // points into pcm; never freed by SDL_mixer
};

namespace {

constexpr Uint16 kSampleFormat = AUDIO_S16SYS;

bool driverExists(const char* name) {
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
        if (std::strcmp(SDL_GetAudioDriver(i), name) == 0) return true;
    return false;
}

void SDLCALL postMix(void* layer, Uint8* stream, int bytes) {
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) == 0 || channels <= 0) return;
    const int frames = bytes / static_cast<int>(sizeof(std::int16_t)) / channels;
    static_cast<SdlSound*>(layer)->addToneTo(reinterpret_cast<std::int16_t*>(stream), frames, channels, frequency);
}

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
    toneSounding_ = 0;
    tonePhase_ = 0.0;
    framesMixed_.store(0, std::memory_order_release);
    // Registered before the device starts, so that every frame it produces is
    // counted.
    Mix_SetPostMix(postMix, this);
    if (Mix_OpenAudioDevice(mixRate, kSampleFormat, 1, kBufferFrames, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) != 0) {
        Mix_SetPostMix(nullptr, nullptr);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    format_ = {rate, channels};
    driverInUse_ = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
    Mix_AllocateChannels(maxSoftwareChannels);
    open_ = true;
    return true;
}

bool SdlSound::convert(SdlSample& sample, PcmFormat to) const {
    if (sample.format == to) return true;
    SDL_AudioCVT cvt;
    const int needed = SDL_BuildAudioCVT(&cvt, kSampleFormat, static_cast<Uint8>(sample.format.channels),
                                         sample.format.rate, kSampleFormat, static_cast<Uint8>(to.channels), to.rate);
    if (needed < 0) return false;
    if (needed > 0 && !sample.pcm.empty()) {
        std::vector<std::uint8_t> buffer(sample.pcm.size() * static_cast<std::size_t>(cvt.len_mult));
        std::memcpy(buffer.data(), sample.pcm.data(), sample.pcm.size());
        cvt.buf = buffer.data();
        cvt.len = static_cast<int>(sample.pcm.size());
        if (SDL_ConvertAudio(&cvt) != 0) return false;
        buffer.resize(static_cast<std::size_t>(cvt.len_cvt));
        sample.pcm = std::move(buffer);
    }
    sample.format = to;
    sample.chunk.abuf = sample.pcm.data();
    sample.chunk.alen = static_cast<Uint32>(sample.pcm.size());
    return true;
}

SampleHandle SdlSound::sampleLoad(int, const std::string& file, unsigned, int) {
    std::string path = file;
    std::replace(path.begin(), path.end(), '\\', '/');
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    if (!stream) return nullptr;
    SDL_AudioSpec loaded;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(stream, 1, &loaded, &data, &length)) return nullptr;

    auto sample = std::make_unique<SdlSample>();
    // First to 16-bit at the file's own rate and channels, then to the output.
    SDL_AudioCVT cvt;
    const int needed = SDL_BuildAudioCVT(&cvt, loaded.format, loaded.channels, loaded.freq, kSampleFormat, loaded.channels,
                                         loaded.freq);
    bool decoded = needed >= 0;
    if (decoded) {
        sample->pcm.resize(static_cast<std::size_t>(length) * static_cast<std::size_t>(needed > 0 ? cvt.len_mult : 1));
        std::memcpy(sample->pcm.data(), data, length);
        if (needed > 0) {
            cvt.buf = sample->pcm.data();
            cvt.len = static_cast<int>(length);
            decoded = SDL_ConvertAudio(&cvt) == 0;
            sample->pcm.resize(static_cast<std::size_t>(cvt.len_cvt));
        }
    }
    SDL_FreeWAV(data);
    if (!decoded) return nullptr;
    sample->format = {loaded.freq, loaded.channels};
    sample->chunk.volume = MIX_MAX_VOLUME;
    sample->chunk.abuf = sample->pcm.data();
    sample->chunk.alen = static_cast<Uint32>(sample->pcm.size());
    if (!convert(*sample, format_)) return nullptr;
    samples_.push_back(std::move(sample));
    return samples_.back().get();
}

int SdlSound::playSound(int channel, SampleHandle handle) {
    if (!handle || !open_) return -1;
    auto* sample = static_cast<SdlSample*>(handle);
    // A sample loaded before the device opened may need the device's format;
    // it cannot be playing yet, so converting it here is safe.
    if (!convert(*sample, format_)) return -1;
    return Mix_PlayChannel(channel == FSOUND_FREE ? -1 : channel, &sample->chunk, 0);
}

bool SdlSound::stopSound(int channel) {
    if (!open_) return false;
    if (channel == FSOUND_ALL) {
        Mix_HaltChannel(-1);
        return true;
    }
    if (channel < 0) return false;
    Mix_HaltChannel(channel);
    return true;
}

void SdlSound::sampleFree(SampleHandle handle) {
    if (!handle) return;
    const auto it = std::find_if(samples_.begin(), samples_.end(), [&](const auto& s) { return s.get() == handle; });
    if (it == samples_.end()) return;
    if (open_) {
        // Halting takes the audio lock: once it returns, the mixer is done with the data.
        const int channels = Mix_AllocateChannels(-1);
        for (int c = 0; c < channels; ++c)
            if (Mix_GetChunk(c) == &(*it)->chunk) Mix_HaltChannel(c);
    }
    samples_.erase(it);
}

void SdlSound::close() {
    stopTone();
    if (!open_) return;
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mix_SetPostMix(nullptr, nullptr);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
    format_ = PcmFormat{};
}

void SdlSound::startTone(std::uint16_t divisor) { toneRequest_.store(kToneOn | divisor, std::memory_order_release); }

void SdlSound::stopTone() { toneRequest_.store(0, std::memory_order_release); }

void SdlSound::addToneTo(std::int16_t* samples, int frames, int channels, int rate) {
    const std::uint32_t request = toneRequest_.load(std::memory_order_acquire);
    if (request != 0) {
        // Starting from silence begins a fresh cycle; a new divisor only
        // changes the step, so the wave runs on without a break.
        if (toneSounding_ == 0) tonePhase_ = 0.0;
        const std::uint32_t divisor = (request & 0xFFFFu) ? (request & 0xFFFFu) : 0x10000u;
        const double step = kTimerClockHz / divisor / rate;
        for (int f = 0; f < frames; ++f) {
            const int level = tonePhase_ < 0.5 ? kToneAmplitude : -kToneAmplitude;
            for (int c = 0; c < channels; ++c) {
                std::int16_t& out = samples[f * channels + c];
                out = static_cast<std::int16_t>(std::clamp(out + level, -32768, 32767));
            }
            tonePhase_ += step;
            if (tonePhase_ >= 1.0) tonePhase_ -= 1.0;
        }
    }
    toneSounding_ = request;
    framesMixed_.fetch_add(static_cast<std::uint64_t>(frames), std::memory_order_acq_rel);
}

}  // namespace vorlak
