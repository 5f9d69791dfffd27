#include "tests/sdl_sound/sound_output.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <thread>

namespace vorlak::test {

namespace fs = std::filesystem;

DiskOutput::DiskOutput() {
    dir_ = fs::temp_directory_path() / ("vorlak-sound-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir_ / "output.raw").c_str(), 1);
}

DiskOutput::~DiskOutput() {
    std::error_code ignored;
    if (!previousWorkingDir_.empty()) fs::current_path(previousWorkingDir_, ignored);
    fs::remove_all(dir_, ignored);
}

void DiskOutput::installSoundFolder(std::initializer_list<std::string> missing) {
    fs::create_directories(dir_ / "SOUND");
    for (const auto& entry : fs::directory_iterator(fs::path(VORLAK_ASSETS_DIR) / "SOUND")) {
        const std::string name = entry.path().filename().string();
        if (std::find(missing.begin(), missing.end(), name) == missing.end())
            fs::copy_file(entry.path(), dir_ / "SOUND" / name);
    }
    previousWorkingDir_ = fs::current_path();
    fs::current_path(dir_);
}

Pcm DiskOutput::read(const SdlSound& sound) const {
    std::ifstream in(dir_ / "output.raw", std::ios::binary);
    Pcm pcm;
    std::int16_t v;
    while (in.read(reinterpret_cast<char*>(&v), sizeof v)) pcm.push_back(v);
    const auto beforeMixing = pcm.size() - std::min<std::size_t>(pcm.size(), sound.framesMixed());
    pcm.erase(pcm.begin(), pcm.begin() + static_cast<std::ptrdiff_t>(beforeMixing));
    return pcm;
}

void waitForFrames(const SdlSound& sound, std::uint64_t frames) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (sound.framesMixed() < frames) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the audio device stopped producing output";
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void waitForMs(const SdlSound& sound, int ms) {
    waitForFrames(sound, sound.framesMixed() + static_cast<std::uint64_t>(ms) * 22050 / 1000);
}

Pcm readWave(const std::string& name) {
    SDL_AudioSpec wave;
    Uint8* data = nullptr;
    Uint32 length = 0;
    const std::string path = std::string(VORLAK_ASSETS_DIR) + "/SOUND/" + name;
    if (!SDL_LoadWAV(path.c_str(), &wave, &data, &length)) return {};
    Pcm pcm(length / 2);
    if (wave.format == AUDIO_S16LSB) std::memcpy(pcm.data(), data, pcm.size() * 2);
    else pcm.clear();  // the checks below want 16-bit files
    SDL_FreeWAV(data);
    return pcm;
}

bool isSilent(const Pcm& pcm, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < std::min(to, pcm.size()); ++i)
        if (pcm[i] != 0) return false;
    return true;
}

std::vector<std::size_t> zeroCrossings(const Pcm& pcm, std::size_t from, std::size_t to) {
    std::vector<std::size_t> at;
    for (std::size_t i = from + 1; i < std::min(to, pcm.size()); ++i)
        if ((pcm[i] >= 0) != (pcm[i - 1] >= 0)) at.push_back(i);
    return at;
}

}  // namespace vorlak::test
