// Runs the sound layer against SDL's disk driver, which writes the mixed
// output to a file, and reads that output back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "frontends/qt/sound/sdl_sound.h"

namespace vorlak::test {

using Pcm = std::vector<std::int16_t>;

// A temporary folder holding the output file (and a SOUND folder when asked);
// sets the driver for the next device opened in this process.
class DiskOutput {
public:
    DiskOutput();
    ~DiskOutput();
    const std::filesystem::path& dir() const { return dir_; }
    // Copies the shipped SOUND folder here, leaving out `missing`, and makes
    // this the working directory, as the program runs.
    void installSoundFolder(std::initializer_list<std::string> missing = {});
    // The output, mono 16-bit, read after closing. Frame i is the i-th frame
    // `sound` mixed: the silence the device gave before the mixer started is
    // left out.
    Pcm read(const SdlSound& sound) const;

private:
    std::filesystem::path dir_;
    std::filesystem::path previousWorkingDir_;
};

// Waits until the device has produced `frames` frames in all.
void waitForFrames(const SdlSound& sound, std::uint64_t frames);
void waitForMs(const SdlSound& sound, int ms);

Pcm readWave(const std::string& name);  // a file of the shipped SOUND folder
bool isSilent(const Pcm& pcm, std::size_t from, std::size_t to);
// Indices where the sign flips.
std::vector<std::size_t> zeroCrossings(const Pcm& pcm, std::size_t from, std::size_t to);

}  // namespace vorlak::test
