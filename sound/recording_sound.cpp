#include "sound/recording_sound.h"

#include <algorithm>

namespace vorlak {

namespace {
struct RecordedSample : Sample {
    std::string name;
};
const std::string& nameOf(SampleHandle sample) { return static_cast<RecordedSample*>(sample)->name; }
}  // namespace

std::string fileNameOf(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

RecordingSound::RecordingSound() = default;

RecordingSound::~RecordingSound() {
    for (Sample* s : loaded_) delete static_cast<RecordedSample*>(s);
}

void RecordingSound::record(std::string what) { calls_.push_back({now_ ? now_() : 0, std::move(what)}); }

bool RecordingSound::setOutput(int outputType) {
    record("output " + std::to_string(outputType));
    return true;
}

bool RecordingSound::init(int mixRate, int maxSoftwareChannels, unsigned flags) {
    record("init " + std::to_string(mixRate) + " " + std::to_string(maxSoftwareChannels) + " " +
           std::to_string(flags));
    return true;
}

SampleHandle RecordingSound::sampleLoad(int, const std::string& file, unsigned, int) {
    const std::string name = fileNameOf(file);
    record("load " + file);
    if (missing_.count(name)) return nullptr;
    loaded_.push_back(new RecordedSample{{}, name});
    return loaded_.back();
}

int RecordingSound::playSound(int, SampleHandle sample) {
    record(sample ? "play " + nameOf(sample) : "play null");
    return sample ? 0 : -1;
}

bool RecordingSound::stopSound(int channel) {
    record(channel == FSOUND_ALL ? "stop all" : "stop " + std::to_string(channel));
    return true;
}

void RecordingSound::sampleFree(SampleHandle sample) {
    record(sample ? "free " + nameOf(sample) : "free null");
    if (!sample) return;
    auto it = std::find(loaded_.begin(), loaded_.end(), sample);
    if (it != loaded_.end()) {
        delete static_cast<RecordedSample*>(*it);
        loaded_.erase(it);
    }
}

void RecordingSound::close() { record("close"); }

void RecordingSound::startTone(std::uint16_t divisor) {
    toneOn_ = true;
    divisor_ = divisor;
    record("tone " + std::to_string(divisor));
}

void RecordingSound::stopTone() {
    toneOn_ = false;
    record("tone off");
}

}  // namespace vorlak
