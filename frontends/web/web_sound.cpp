#include "frontends/web/web_sound.h"

#include <algorithm>

#include "sound/wave_file.h"

namespace vorlak {

WebSound::WebSound(FileReader files, AudioEnginePort& engine) : files_(std::move(files)), engine_(engine) {}

WebSound::~WebSound() { close(); }

std::string WebSound::pageFileName(const std::string& file) {
    std::string name = file;
    std::replace(name.begin(), name.end(), '\\', '/');
    while (name.starts_with("./")) name.erase(0, 2);
    return name;
}

bool WebSound::setOutput(int) { return true; }  // the page has one output

bool WebSound::init(int mixRate, int maxSoftwareChannels, unsigned) {
    if (open_) return true;
    rate_ = mixRate > 0 ? mixRate : 22050;
    if (const int engineRate = engine_.open(rate_, maxSoftwareChannels); engineRate > 0) rate_ = engineRate;
    open_ = true;
    return true;
}

SampleHandle WebSound::sampleLoad(int, const std::string& file, unsigned, int) {
    const auto bytes = files_ ? files_(pageFileName(file)) : std::nullopt;
    if (!bytes || bytes->size() > WaveLimits::kMaxFileBytes) return nullptr;
    // A file that is no wave, or one out of the reader's limits, is refused
    // and its effect stays silent.
    const auto mono = converter_.decodeWave(*bytes, PcmFormat{rate_, 1});
    if (!mono) return nullptr;
    auto sample = std::make_unique<WebSample>();
    sample->id = nextId_++;
    engine_.load(sample->id, *mono);
    samples_.push_back(std::move(sample));
    return samples_.back().get();
}

int WebSound::playSound(int, SampleHandle handle) {
    if (!handle || !open_) return -1;
    engine_.play(static_cast<WebSample*>(handle)->id);
    return 0;
}

bool WebSound::stopSound(int channel) {
    if (!open_) return false;
    if (channel != FSOUND_ALL && channel < 0) return false;
    engine_.stop(channel == FSOUND_ALL ? -1 : channel);
    return true;
}

void WebSound::sampleFree(SampleHandle handle) {
    if (!handle) return;
    const auto it = std::find_if(samples_.begin(), samples_.end(), [&](const auto& s) { return s.get() == handle; });
    if (it == samples_.end()) return;
    engine_.unload((*it)->id);  // the engine stops whatever plays it
    samples_.erase(it);
}

void WebSound::close() {
    stopTone();
    if (!open_) return;
    engine_.close();
    open_ = false;
}

void WebSound::startTone(std::uint16_t divisor) { engine_.tone(divisor); }

void WebSound::stopTone() { engine_.tone(std::nullopt); }

}  // namespace vorlak
