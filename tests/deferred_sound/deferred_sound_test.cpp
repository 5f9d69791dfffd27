#include "frontends/qt/sound/deferred_sound.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace vorlak {
namespace {

const std::string kStart = std::string(VORLAK_ASSETS_DIR) + "/SOUND/Start.wav";

// No sound card is needed: SDL's silent driver, whatever the environment says.
void useDummyDriver() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

bool sdlLoaded() {
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (sdl) dlclose(sdl);
    return sdl != nullptr;
}

// What the console does before PLAY and at the end of a program that never
// played: all of it must be silent and load nothing.
void callsBeforePlay(DeferredSound& sound) {
    EXPECT_FALSE(sound.stopSound(FSOUND_ALL));
    sound.startTone(54240);
    sound.stopTone();
    EXPECT_EQ(sound.playSound(FSOUND_FREE, nullptr), -1);
    for (int i = 0; i < 7; ++i) sound.sampleFree(nullptr);
    sound.close();
}

TEST(DeferredSound, LoadsNothingUntilOpened) {
    if (sdlLoaded()) GTEST_SKIP() << "SDL was loaded by an earlier test in this process";
    useDummyDriver();
    DeferredSound sound(VORLAK_SOUND_MODULE);
    callsBeforePlay(sound);
    EXPECT_TRUE(sound.setOutput(FSOUND_OUTPUT_DSOUND));
    EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, kStart, FSOUND_2D, 0), nullptr);
    EXPECT_FALSE(sound.isLoaded());
    EXPECT_FALSE(sdlLoaded());

    EXPECT_TRUE(sound.init(22050, 64, 0));
    EXPECT_TRUE(sound.isLoaded());
    EXPECT_TRUE(sdlLoaded());
}

TEST(DeferredSound, ForwardsOnceOpened) {
    useDummyDriver();
    DeferredSound sound(VORLAK_SOUND_MODULE);
    EXPECT_TRUE(sound.setOutput(FSOUND_OUTPUT_WINMM));
    ASSERT_TRUE(sound.init(22050, 64, 0));
    const SampleHandle start = sound.sampleLoad(FSOUND_FREE, kStart, FSOUND_2D, 0);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, kStart + ".missing", FSOUND_2D, 0), nullptr);
    EXPECT_GE(sound.playSound(FSOUND_FREE, start), 0);
    EXPECT_TRUE(sound.stopSound(FSOUND_ALL));
    sound.startTone(54240);
    sound.stopTone();
    sound.sampleFree(start);
    sound.close();
    // Closed, the layer behaves as the SDL layer does without a device.
    EXPECT_FALSE(sound.stopSound(FSOUND_ALL));
    // And opens again.
    EXPECT_TRUE(sound.init(22050, 64, 0));
    EXPECT_TRUE(sound.stopSound(FSOUND_ALL));
    sound.close();
}

TEST(DeferredSound, MissingModuleSaysSoOnceAndStaysSilent) {
    const std::string path = std::string(VORLAK_SOUND_MODULE) + ".absent";
    DeferredSound sound(path);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sound.init(22050, 64, 0));
    EXPECT_FALSE(sound.init(22050, 64, 0));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(sound.isLoaded());
    EXPECT_NE(said.find(path), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // one line
    EXPECT_EQ(sound.sampleLoad(FSOUND_FREE, kStart, FSOUND_2D, 0), nullptr);
    callsBeforePlay(sound);
}

// The program's folder comes from the link the system keeps to the program:
// an installed program at /usr/lib/games/vorlak-simulator/vorlak-simulator
// finds the module there, and a link that is not absolute names no folder.
TEST(DeferredSound, ModuleIsLookedForBesideTheProgram) {
    namespace fs = std::filesystem;
    const fs::path links = fs::temp_directory_path() / ("vorlak-self-" + std::to_string(std::random_device{}()));
    fs::create_directories(links);
    fs::create_symlink("/usr/lib/games/vorlak-simulator/vorlak-simulator", links / "installed");
    fs::create_symlink("vorlak-simulator", links / "relative");
    const std::string installed = DeferredSound::besideProgram((links / "installed").c_str());
    const std::string relative = DeferredSound::besideProgram((links / "relative").c_str());
    fs::remove_all(links);
    EXPECT_EQ(installed, "/usr/lib/games/vorlak-simulator/vorlak-sound-sdl.so");
    EXPECT_EQ(relative, "");
}

// The working directory is the player's (SOUND is read from it): a module
// planted there is never loaded, even when the program's own path is unknown.
TEST(DeferredSound, AModulePlantedInTheWorkingDirectoryIsNotLoaded) {
    namespace fs = std::filesystem;
    const fs::path work = fs::temp_directory_path() / ("vorlak-planted-" + std::to_string(std::random_device{}()));
    fs::create_directories(work);
    const std::string module = VORLAK_SOUND_MODULE;
    const fs::path planted = work / module.substr(module.rfind('/') + 1);
    fs::copy_file(module, planted);
    const fs::path before = fs::current_path();
    fs::current_path(work);

    const std::string path = DeferredSound::besideProgram("/proc/self/no-such-link");
    DeferredSound sound(path);
    testing::internal::CaptureStderr();
    const bool opened = sound.init(22050, 64, 0);
    const std::string said = testing::internal::GetCapturedStderr();
    void* loaded = dlopen(planted.c_str(), RTLD_NOW | RTLD_NOLOAD);
    fs::current_path(before);
    fs::remove_all(work);

    EXPECT_TRUE(path.empty()) << path;
    EXPECT_FALSE(opened);
    EXPECT_FALSE(sound.isLoaded());
    EXPECT_EQ(loaded, nullptr) << "the planted module was loaded";
    EXPECT_NE(said.find("no sound"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // one line
    callsBeforePlay(sound);
}

}  // namespace
}  // namespace vorlak
