// A sound layer that plays nothing and keeps a log of what it was asked, for
// tests and for the headless scenario runner.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "sound/sound_library.h"

namespace vorlak {

class RecordingSound : public SoundLibrary, public SpeakerTone {
public:
    struct Call {
        std::int64_t time;  // from the time source, 0 without one
        std::string what;   // e.g. "play Start.wav", "stop all", "tone 59664", "tone off"
    };

    RecordingSound();
    ~RecordingSound() override;

    void setTimeSource(std::function<std::int64_t()> now) { now_ = std::move(now); }
    // File names (last path component) whose loading fails.
    void setMissingFiles(std::set<std::string> names) { missing_ = std::move(names); }

    const std::vector<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    bool toneSounding() const { return toneOn_; }
    std::uint16_t toneDivisor() const { return divisor_; }

    bool setOutput(int outputType) override;
    bool init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    SampleHandle sampleLoad(int index, const std::string& file, unsigned mode, int memoryLength) override;
    int playSound(int channel, SampleHandle sample) override;
    bool stopSound(int channel) override;
    void sampleFree(SampleHandle sample) override;
    void close() override;
    void startTone(std::uint16_t divisor) override;
    void stopTone() override;

private:
    void record(std::string what);

    std::function<std::int64_t()> now_;
    std::set<std::string> missing_;
    std::vector<Call> calls_;
    std::vector<Sample*> loaded_;
    bool toneOn_ = false;
    std::uint16_t divisor_ = 0;
};

// The last component of a path written with '\' or '/' separators.
std::string fileNameOf(const std::string& path);

}  // namespace vorlak
