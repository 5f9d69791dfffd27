#include "frontends/qt/sound/deferred_sound.h"

#include "frontends/qt/platform/program_module.h"

#include <cstdio>
#include <utility>

#ifndef VORLAK_SOUND_MODULE_FILE
#error "VORLAK_SOUND_MODULE_FILE names the module file"
#endif

namespace vorlak {

DeferredSound::DeferredSound(std::string modulePath) : modulePath_(std::move(modulePath)) {}

// The module stays loaded: SDL may still hold threads and exit handlers of
// its own, and the process is ending anyway.
DeferredSound::~DeferredSound() { delete layer_.sound; }

std::string DeferredSound::besideProgram(const char* selfLink) {
    return vorlak::besideProgram(VORLAK_SOUND_MODULE_FILE, selfLink);
}

bool DeferredSound::load() {
    if (loadTried_) return isLoaded();
    loadTried_ = true;
    const ModuleSymbol factory = loadModuleSymbol(modulePath_, kSoundModuleFactory);
    if (factory.address) layer_ = reinterpret_cast<SoundModuleFactory*>(factory.address)();
    if (!layer_.sound || !layer_.speaker) {
        problem_ = factory.address ? modulePath_ + " made no sound layer" : factory.problem;
        std::fprintf(stderr, "vorlak-simulator: no sound: %s\n", problem_.c_str());
        delete layer_.sound;
        layer_ = {};
        return false;
    }
    if (outputSet_) layer_.sound->setOutput(outputType_);
    return true;
}

bool DeferredSound::setOutput(int outputType) {
    if (isLoaded()) return layer_.sound->setOutput(outputType);
    outputType_ = outputType;
    outputSet_ = true;
    return true;
}

bool DeferredSound::init(int mixRate, int maxSoftwareChannels, unsigned flags) {
    return load() && layer_.sound->init(mixRate, maxSoftwareChannels, flags);
}

SampleHandle DeferredSound::sampleLoad(int index, const std::string& file, unsigned mode, int memoryLength) {
    return isLoaded() ? layer_.sound->sampleLoad(index, file, mode, memoryLength) : nullptr;
}

void DeferredSound::keepReady(bool switchedOn) {
    if (isLoaded()) layer_.sound->keepReady(switchedOn);
}

int DeferredSound::playSound(int channel, SampleHandle sample) {
    return isLoaded() ? layer_.sound->playSound(channel, sample) : -1;
}

bool DeferredSound::stopSound(int channel) { return isLoaded() && layer_.sound->stopSound(channel); }

void DeferredSound::sampleFree(SampleHandle sample) {
    if (isLoaded()) layer_.sound->sampleFree(sample);
}

void DeferredSound::close() {
    if (isLoaded()) layer_.sound->close();
}

void DeferredSound::startTone(std::uint16_t divisor) {
    if (isLoaded()) layer_.speaker->startTone(divisor);
}

void DeferredSound::stopTone() {
    if (isLoaded()) layer_.speaker->stopTone();
}

}  // namespace vorlak
