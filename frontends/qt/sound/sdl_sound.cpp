#include "frontends/qt/sound/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "sound/wave_file.h"

namespace vorlak {

struct SdlSound::SdlSample : Sample {
    std::vector<std::int16_t> pcm;  // interleaved, in `format`
    PcmFormat format;
    const std::int16_t* samples() const { return pcm.data(); }
    std::size_t count() const { return pcm.size(); }
};

// One opening of the device: what its callback mixes for, until the layer
// lets it go (it then plays silence until SDL has closed it).
struct SdlSound::Playback {
    SdlSound* owner = nullptr;
    bool live = true;             // under the owner's mixLock_
    std::uint64_t silentFrames = 0;  // under mixLock_, as `live`
    bool silenceReported = false;     // likewise
};

namespace {

constexpr Uint16 kSampleFormat = AUDIO_S16SYS;

bool driverExists(const char* name) {
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
        if (std::strcmp(SDL_GetAudioDriver(i), name) == 0) return true;
    return false;
}

}  // namespace

// Runs on SDL's audio thread.
void SDLCALL SdlSound::fill(void* userdata, Uint8* stream, int bytes) {
    auto& playback = *static_cast<Playback*>(userdata);
    SdlSound& self = *playback.owner;
    bool reportSilence = false;
    {
        const std::lock_guard lock(self.mixLock_);
        if (!playback.live) {
            std::memset(stream, 0, static_cast<std::size_t>(bytes));
            return;
        }
        const int frames = bytes / static_cast<int>(sizeof(std::int16_t)) / self.mixer_.outputChannels();
        self.mixer_.mix(reinterpret_cast<std::int16_t*>(stream), frames);
        if (!self.mixer_.silent()) {
            playback.silentFrames = 0;
            playback.silenceReported = false;
        } else {
            playback.silentFrames += static_cast<std::uint64_t>(frames);
            const auto closeAfter = static_cast<std::uint64_t>(self.format_.rate) * kCloseAfterMs / 1000;
            reportSilence = playback.silentFrames >= closeAfter && !playback.silenceReported;
            playback.silenceReported = playback.silenceReported || reportSilence;
        }
    }
    if (reportSilence) {
        const std::lock_guard lock(self.stateLock_);
        self.silenceReported_ = true;
        self.closeOrdered_.notify_one();
    }
}

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

SDL_AudioDeviceID SdlSound::openDevice(Playback& playback, SDL_AudioSpec* obtained, int allowedChanges) {
    SDL_AudioSpec wanted{};
    wanted.freq = format_.rate;
    wanted.format = kSampleFormat;
    wanted.channels = static_cast<Uint8>(format_.channels);
    wanted.samples = kBufferFrames;
    wanted.callback = fill;
    wanted.userdata = &playback;
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, obtained, allowedChanges);
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
    format_ = {mixRate, 1};
    auto playback = std::make_unique<Playback>();
    playback->owner = this;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device =
        openDevice(*playback, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        format_ = PcmFormat{};
        return false;
    }
    // Reopened later in exactly this format, which the samples are in.
    format_ = {obtained.freq, obtained.channels};
    driverInUse_ = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
    // The device is paused until here, so every frame it produces is counted.
    mixer_.setOutput(obtained.freq, obtained.channels);
    mixer_.allocateChannels(maxSoftwareChannels);
    {
        const std::lock_guard lock(stateLock_);
        device_ = device;
        playback_ = std::move(playback);
        silenceReported_ = false;
        quit_ = false;
        ready_ = false;
    }
    closer_ = std::thread([this] { closeInSilence(); });
    SDL_PauseAudioDevice(device, 0);
    open_ = true;
    return true;
}

// Waits, without waking, for the audio thread to report silence; then closes
// the device unless something sounds again by then. The UI thread may open
// a new device meanwhile: SDL keeps the two apart.
void SdlSound::closeInSilence() {
    std::unique_lock state(stateLock_);
    while (true) {
        closeOrdered_.wait(state, [this] { return quit_ || silenceReported_; });
        if (quit_) return;
        silenceReported_ = false;
        if (device_ == 0 || ready_) continue;
        {
            const std::lock_guard lock(mixLock_);
            if (!mixer_.silent()) continue;
            playback_->live = false;
        }
        const SDL_AudioDeviceID device = std::exchange(device_, 0);
        std::unique_ptr<Playback> playback = std::move(playback_);
        closing_ = true;
        state.unlock();
        SDL_CloseAudioDevice(device);  // waits for its thread, after it drained
        playback.reset();
        state.lock();
        closing_ = false;
    }
}

void SdlSound::ensureDevice() {
    if (!open_) return;
    {
        const std::lock_guard state(stateLock_);
        if (device_ != 0) return;
    }
    auto playback = std::make_unique<Playback>();
    playback->owner = this;
    // The exact format, which SDL converts from if the system's has changed.
    const SDL_AudioDeviceID device = openDevice(*playback, nullptr, 0);
    if (device == 0) return;  // silent; the next sound tries again
    {
        const std::lock_guard state(stateLock_);
        device_ = device;
        playback_ = std::move(playback);
    }
    SDL_PauseAudioDevice(device, 0);
}

bool SdlSound::deviceOpen() {
    const std::lock_guard state(stateLock_);
    return device_ != 0 || closing_;
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
    int played;
    {
        const std::lock_guard lock(mixLock_);
        played = mixer_.play(channel == FSOUND_FREE ? -1 : channel, sample->samples(), sample->count());
    }
    if (played >= 0) ensureDevice();
    return played;
}

bool SdlSound::stopSound(int channel) {
    if (!open_) return false;
    if (channel != FSOUND_ALL && channel < 0) return false;
    const std::lock_guard lock(mixLock_);
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
    {
        // Once the lock is held the audio thread is not reading the data.
        const std::lock_guard lock(mixLock_);
        mixer_.stopUsing((*it)->samples());
    }
    samples_.erase(it);
}

void SdlSound::close() {
    stopTone();
    if (!open_) return;
    {
        const std::lock_guard state(stateLock_);
        quit_ = true;
        closeOrdered_.notify_one();
    }
    closer_.join();
    // Closing waits for the audio thread to finish.
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    playback_.reset();
    mixer_.stopAll();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
    format_ = PcmFormat{};
}

void SdlSound::startTone(std::uint16_t divisor) {
    mixer_.startTone(divisor);
    ensureDevice();
}

void SdlSound::stopTone() { mixer_.stopTone(); }

void SdlSound::keepReady(bool switchedOn) {
    if (!open_) return;
    {
        const std::lock_guard state(stateLock_);
        ready_ = switchedOn;
        if (!switchedOn && playback_) {
            // The silence to wait for counts from now.
            const std::lock_guard lock(mixLock_);
            playback_->silentFrames = 0;
            playback_->silenceReported = false;
        }
    }
    if (switchedOn) ensureDevice();
}

}  // namespace vorlak
