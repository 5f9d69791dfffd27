// waveOut: a ring of buffers handed to the wave mapper; the device signals an
// event as each one finishes, and the thread refills and queues it again.
#include "frontends/win32/sound/audio_device.h"

#include <mmsystem.h>

#include <atomic>
#include <thread>
#include <vector>

namespace vorlak {
namespace {

// Four buffers queued: an effect is mixed into the next buffer filled, and
// the queue rides out the scheduling hiccups of a busy machine.
constexpr int kBuffers = 4;

class WaveOutDevice : public AudioDevice {
public:
    ~WaveOutDevice() override { close(); }

    bool open(int rate, int channels, int bufferFrames, Fill fill) override {
        close();
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = static_cast<WORD>(channels);
        format.nSamplesPerSec = static_cast<DWORD>(rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(channels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!done_) return false;
        if (waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT) !=
            MMSYSERR_NOERROR) {
            device_ = nullptr;
            CloseHandle(done_);
            done_ = nullptr;
            return false;
        }
        fill_ = std::move(fill);
        frames_ = bufferFrames;
        channels_ = channels;
        samples_.assign(static_cast<std::size_t>(kBuffers) * bufferFrames * channels, 0);
        headers_.assign(kBuffers, WAVEHDR{});
        for (int i = 0; i < kBuffers; ++i) {
            WAVEHDR& h = headers_[i];
            h.lpData = reinterpret_cast<LPSTR>(buffer(i));
            h.dwBufferLength = static_cast<DWORD>(bufferFrames * channels * sizeof(std::int16_t));
            waveOutPrepareHeader(device_, &h, sizeof h);
            h.dwFlags |= WHDR_DONE;  // free to fill
        }
        stopping_ = false;
        thread_ = std::thread([this] { run(); });
        return true;
    }

    void close() override {
        if (!device_) return;
        stopping_ = true;
        SetEvent(done_);
        thread_.join();
        waveOutReset(device_);  // hands every queued buffer back
        for (WAVEHDR& h : headers_) waveOutUnprepareHeader(device_, &h, sizeof h);
        waveOutClose(device_);
        device_ = nullptr;
        CloseHandle(done_);
        done_ = nullptr;
    }

    std::uint64_t buffersFilled() const override { return filled_.load(); }

private:
    std::int16_t* buffer(int i) { return samples_.data() + static_cast<std::size_t>(i) * frames_ * channels_; }

    void run() {
        while (!stopping_) {
            for (int i = 0; i < kBuffers && !stopping_; ++i) {
                WAVEHDR& h = headers_[i];
                if (!(h.dwFlags & WHDR_DONE)) continue;
                fill_(buffer(i), frames_);
                h.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
                waveOutWrite(device_, &h, sizeof h);
                filled_.fetch_add(1);
            }
            WaitForSingleObject(done_, 100);
        }
    }

    HWAVEOUT device_ = nullptr;
    HANDLE done_ = nullptr;
    Fill fill_;
    int frames_ = 0;
    int channels_ = 1;
    std::vector<std::int16_t> samples_;
    std::vector<WAVEHDR> headers_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> filled_{0};
};

}  // namespace

std::unique_ptr<AudioDevice> makeWaveOutDevice() { return std::make_unique<WaveOutDevice>(); }

}  // namespace vorlak
