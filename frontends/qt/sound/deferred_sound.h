// The sound layer loaded on first use: the SDL layer and the many libraries
// SDL pulls in are loaded from a module beside the program when the sound is
// first opened, so that starting the program does not pay for them.
//
// Until then, and for good if the module cannot be loaded, every call does
// what the SDL layer does with no device and no samples: nothing; a module
// that cannot be loaded is told apart by outputProblem().
#pragma once

#include <cstdint>
#include <string>

#include "sound/sound_library.h"

namespace vorlak {

// The one symbol the module exports: a new layer, seen through both
// interfaces of the same object, which is deleted through `sound`.
struct SoundModuleLayer {
    SoundLibrary* sound = nullptr;
    SpeakerTone* speaker = nullptr;
};
using SoundModuleFactory = SoundModuleLayer();
inline constexpr const char* kSoundModuleFactory = "vorlak_sound_module_create";

class DeferredSound : public SoundLibrary, public SpeakerTone {
public:
    explicit DeferredSound(std::string modulePath);
    ~DeferredSound() override;
    DeferredSound(const DeferredSound&) = delete;
    DeferredSound& operator=(const DeferredSound&) = delete;

    // The module in the running program's own folder (platform/program_module.h);
    // empty when that cannot be read, which keeps the sound off, saying why
    // in one line, as a missing module does.
    static std::string besideProgram(const char* selfLink = "/proc/self/exe");

    bool setOutput(int outputType) override;
    bool init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    SampleHandle sampleLoad(int index, const std::string& file, unsigned mode, int memoryLength) override;
    int playSound(int channel, SampleHandle sample) override;
    void keepReady(bool switchedOn) override;
    bool stopSound(int channel) override;
    void sampleFree(SampleHandle sample) override;
    void close() override;
    // Set once init() found the module missing or unusable: a phrase naming
    // the module's file, e.g. "/usr/lib/games/vorlak-simulator/vorlak-sound-sdl.so
    // is cut short (...)"; also said on standard error, once.
    std::string outputProblem() const override { return problem_; }

    void startTone(std::uint16_t divisor) override;
    void stopTone() override;

    bool isLoaded() const { return layer_.sound != nullptr; }

private:
    bool load();

    std::string modulePath_;
    int outputType_ = FSOUND_OUTPUT_NOSOUND;
    bool outputSet_ = false;
    bool loadTried_ = false;
    std::string problem_;
    SoundModuleLayer layer_;
};

}  // namespace vorlak
