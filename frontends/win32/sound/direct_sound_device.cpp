// DirectSound: one looping secondary buffer of a few segments. The thread
// wakes at each segment boundary (a notification, or its own short timeout
// where notifications are missing) and refills every segment that the play
// cursor has left behind.
#include "frontends/win32/sound/audio_device.h"

#include <mmsystem.h>
#include <dsound.h>

#include <atomic>
#include <thread>

namespace vorlak {
namespace {

// As many segments of one buffer each as waveOut has buffers queued.
constexpr int kSegments = 4;

template <typename T>
void release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

class DirectSoundDevice : public AudioDevice {
public:
    explicit DirectSoundDevice(HWND window) : window_(window) {}
    ~DirectSoundDevice() override { close(); }

    bool open(int rate, int channels, int bufferFrames, Fill fill) override {
        close();
        if (FAILED(DirectSoundCreate8(nullptr, &sound_, nullptr))) {
            sound_ = nullptr;
            return false;
        }
        const HWND owner = window_ ? window_ : GetDesktopWindow();
        sound_->SetCooperativeLevel(owner, window_ ? DSSCL_PRIORITY : DSSCL_NORMAL);

        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = static_cast<WORD>(channels);
        format.nSamplesPerSec = static_cast<DWORD>(rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(channels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        segmentBytes_ = static_cast<DWORD>(bufferFrames) * format.nBlockAlign;

        DSBUFFERDESC description{};
        description.dwSize = sizeof description;
        description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLPOSITIONNOTIFY;
        description.dwBufferBytes = segmentBytes_ * kSegments;
        description.lpwfxFormat = &format;
        IDirectSoundBuffer* plain = nullptr;
        if (FAILED(sound_->CreateSoundBuffer(&description, &plain, nullptr))) {
            release(sound_);
            return false;
        }
        buffer_ = plain;

        wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        IDirectSoundNotify* notify = nullptr;
        if (wake_ && SUCCEEDED(buffer_->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)))) {
            DSBPOSITIONNOTIFY positions[kSegments];
            for (int i = 0; i < kSegments; ++i) positions[i] = {segmentBytes_ * static_cast<DWORD>(i), wake_};
            notify->SetNotificationPositions(kSegments, positions);
            notify->Release();
        }

        fill_ = std::move(fill);
        frames_ = bufferFrames;
        rate_ = rate;
        // Every segment filled before playing starts.
        for (int i = 0; i < kSegments; ++i) fillSegment(i);
        nextSegment_ = 0;
        if (FAILED(buffer_->Play(0, 0, DSBPLAY_LOOPING))) {
            release(buffer_);
            release(sound_);
            CloseHandle(wake_);
            wake_ = nullptr;
            return false;
        }
        stopping_ = false;
        thread_ = std::thread([this] { run(); });
        return true;
    }

    void close() override {
        if (!sound_) return;
        if (thread_.joinable()) {
            stopping_ = true;
            SetEvent(wake_);
            thread_.join();
        }
        if (buffer_) buffer_->Stop();
        release(buffer_);
        release(sound_);
        if (wake_) CloseHandle(wake_);
        wake_ = nullptr;
    }

    std::uint64_t buffersFilled() const override { return filled_.load(); }

private:
    bool fillSegment(int segment) {
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0, secondBytes = 0;
        HRESULT locked = buffer_->Lock(segmentBytes_ * static_cast<DWORD>(segment), segmentBytes_, &first, &firstBytes,
                                       &second, &secondBytes, 0);
        if (locked == DSERR_BUFFERLOST) {
            buffer_->Restore();
            locked = buffer_->Lock(segmentBytes_ * static_cast<DWORD>(segment), segmentBytes_, &first, &firstBytes,
                                   &second, &secondBytes, 0);
        }
        if (FAILED(locked)) return false;
        // A segment never wraps, so the first part is all of it.
        fill_(static_cast<std::int16_t*>(first), frames_);
        buffer_->Unlock(first, firstBytes, second, secondBytes);
        filled_.fetch_add(1);
        return true;
    }

    void run() {
        // Half a segment: a missed notification costs at most that much.
        const DWORD timeoutMs = static_cast<DWORD>(frames_ * 500 / rate_) + 1;
        while (!stopping_) {
            WaitForSingleObject(wake_, timeoutMs);
            if (stopping_) break;
            DWORD play = 0, write = 0;
            if (FAILED(buffer_->GetCurrentPosition(&play, &write))) continue;
            const int playing = static_cast<int>(play / segmentBytes_);
            // Refill every segment between the last one filled and the one
            // now playing.
            while (nextSegment_ != playing) {
                if (!fillSegment(nextSegment_)) break;
                nextSegment_ = (nextSegment_ + 1) % kSegments;
            }
        }
    }

    HWND window_;
    IDirectSound8* sound_ = nullptr;
    IDirectSoundBuffer* buffer_ = nullptr;
    HANDLE wake_ = nullptr;
    DWORD segmentBytes_ = 0;
    int frames_ = 0;
    int rate_ = 22050;
    int nextSegment_ = 0;
    Fill fill_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> filled_{0};
};

}  // namespace

std::unique_ptr<AudioDevice> makeDirectSoundDevice(HWND window) { return std::make_unique<DirectSoundDevice>(window); }

}  // namespace vorlak
