#include "frontends/qt/sound/deferred_sound.h"

#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

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

// A module that cannot be had says which file and why, in the output
// problem and in one line on standard error, and leaves the sound off
// without ending the program: loading a file cut short would end it with
// SIGBUS, a named pipe would never open.
TEST(DeferredSound, ABrokenModuleIsNamedAndTheProgramGoesOn) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vorlak-broken-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    std::ifstream in(VORLAK_SOUND_MODULE, std::ios::binary);
    const std::vector<char> module{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(module.size(), 4096u);
    const auto write = [&](const std::string& name, std::vector<char> bytes) {
        std::ofstream(folder / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return (folder / name).string();
    };
    const auto patched = [&](std::size_t at, char value) {
        std::vector<char> bytes = module;
        bytes[at] = value;
        return bytes;
    };
    const auto cut = [&](std::size_t size) { return std::vector<char>(module.begin(), module.begin() + size); };
    // Where the loaded segments end in the file (the rest is symbols and
    // debugging information, which loading never reads).
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(module.data());
    std::size_t loadedEnd = 0;
    for (int i = 0; i < header->e_phnum; ++i) {
        const auto* segment = reinterpret_cast<const Elf64_Phdr*>(module.data() + header->e_phoff) + i;
        if (segment->p_type == PT_LOAD) loadedEnd = std::max<std::size_t>(loadedEnd, segment->p_offset + segment->p_filesz);
    }
    const char otherMachine = header->e_machine == EM_AARCH64
                                  ? static_cast<char>(EM_X86_64) : static_cast<char>(EM_AARCH64);
    const std::string pipe = (folder / "pipe.so").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> broken[] = {
        {write("half-loaded.so", cut(loadedEnd / 2)), "cut short"},
        {write("no-section-table.so", cut(module.size() - 1)), "cut short"},
        {write("header-only.so", cut(40)), "cut short"},
        {write("empty.so", {}), "empty"},
        {write("text.so", {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'}), "no ELF header"},
        {write("32-bit.so", patched(EI_CLASS, ELFCLASS32)), "32-bit"},
        {write("other-machine.so", patched(offsetof(Elf64_Ehdr, e_machine), otherMachine)), "another kind of machine"},
        {write("executable.so", patched(offsetof(Elf64_Ehdr, e_type), ET_EXEC)), "not a shared object"},
        {pipe, "not a regular file"},
    };
    for (const auto& [path, why] : broken) {
        DeferredSound sound(path);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(sound.init(22050, 64, 0)) << path;
        EXPECT_FALSE(sound.init(22050, 64, 0)) << path;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(sound.isLoaded()) << path;
        const std::string problem = sound.outputProblem();
        EXPECT_NE(problem.find(path), std::string::npos) << problem;
        EXPECT_NE(problem.find(why), std::string::npos) << problem;
        EXPECT_EQ(said, "vorlak-simulator: no sound: " + problem + "\n");
        callsBeforePlay(sound);
    }
    fs::remove_all(folder);
}

// A sound output that merely finds no device is no fault of the install.
TEST(DeferredSound, NoProblemWithTheModuleIsReportedAsNone) {
    useDummyDriver();
    DeferredSound sound(VORLAK_SOUND_MODULE);
    EXPECT_EQ(sound.outputProblem(), "");
    ASSERT_TRUE(sound.init(22050, 64, 0));
    EXPECT_EQ(sound.outputProblem(), "");
    sound.close();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(sound.init(22050, 64, 0));
    EXPECT_EQ(sound.outputProblem(), "");
    useDummyDriver();
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
