#include "frontends/qt/platform/program_module.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

// The running program's own ELF header, placed by the linker: a module must
// match its class, byte order and machine.
extern "C" const ElfW(Ehdr) __ehdr_start __attribute__((visibility("hidden")));

namespace vorlak {
namespace {

// Closes the descriptor when it goes.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// Reads up to `size` bytes at `offset`: how many there were.
std::size_t readUpTo(int fd, void* into, std::size_t size, std::uint64_t offset) {
    auto* bytes = static_cast<char*>(into);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// The end of a table of `count` entries of `size` bytes at `offset`, or
// UINT64_MAX when that does not fit in 64 bits.
std::uint64_t tableEnd(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    if (count != 0 && size > (UINT64_MAX - offset) / count) return UINT64_MAX;
    return offset + count * size;
}

std::string bytes(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

}  // namespace

std::string besideProgram(std::string_view file, const char* selfLink) {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink(selfLink, buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return {};
    const std::string program(buffer.data(), static_cast<std::size_t>(length));
    // Only an absolute path names one file whatever the working directory.
    if (program.front() != '/') return {};
    return program.substr(0, program.rfind('/') + 1).append(file);
}

std::string moduleFileProblem(const std::string& path) {
    // Not blocking: a named pipe opens at once, and is then refused.
    const FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) {
        const int error = errno;
        return path + (error == ENOENT ? " is missing" : std::string(" cannot be opened: ") + std::strerror(error));
    }
    struct stat status {};
    if (fstat(file.fd, &status) != 0) return path + " cannot be read: " + std::strerror(errno);
    if (!S_ISREG(status.st_mode)) return path + " is not a regular file";
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size == 0) return path + " is empty";

    const ElfW(Ehdr)& own = __ehdr_start;
    ElfW(Ehdr) header{};
    const std::size_t got = readUpTo(file.fd, &header, sizeof header, 0);
    if (got < SELFMAG || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return path + " is not a program module (it has no ELF header)";
    if (got >= EI_NIDENT && header.e_ident[EI_CLASS] != own.e_ident[EI_CLASS]) {
        const auto bits = [](unsigned char elfClass) { return elfClass == ELFCLASS32 ? "32" : "64"; };
        if (header.e_ident[EI_CLASS] != ELFCLASS32 && header.e_ident[EI_CLASS] != ELFCLASS64)
            return path + " is damaged: its ELF class is unknown";
        return path + " is a " + bits(header.e_ident[EI_CLASS]) + "-bit module; this program is " +
               bits(own.e_ident[EI_CLASS]) + "-bit";
    }
    if (got < sizeof header)
        return path + " is cut short (a damaged install or an interrupted copy): it has " + bytes(size) +
               ", less than its ELF header";
    if (header.e_ident[EI_DATA] != own.e_ident[EI_DATA])
        return path + " is a module for a machine of the other byte order";
    if (header.e_machine != own.e_machine)
        return path + " is a module for another kind of machine (ELF machine " + std::to_string(header.e_machine) +
               "; this one is " + std::to_string(own.e_machine) + ")";
    if (header.e_type != ET_DYN)
        return path + " is not a shared object (ELF type " + std::to_string(header.e_type) + ")";
    if (header.e_ident[EI_VERSION] != EV_CURRENT || header.e_version != EV_CURRENT ||
        header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phnum == PN_XNUM ||
        (header.e_shoff != 0 && header.e_shentsize != sizeof(ElfW(Shdr))))
        return path + " is damaged: its ELF header is not one of a module";

    // Every byte the headers place in the file must be there: the program
    // header table, every segment's file part, the section header table.
    std::uint64_t needed = tableEnd(header.e_phoff, header.e_phnum, header.e_phentsize);
    if (needed <= size) {
        std::vector<ElfW(Phdr)> segments(header.e_phnum);
        const std::size_t tableSize = segments.size() * sizeof(ElfW(Phdr));
        if (readUpTo(file.fd, segments.data(), tableSize, header.e_phoff) != tableSize)
            return path + " cannot be read";
        for (const ElfW(Phdr)& segment : segments)
            if (segment.p_filesz > 0) {
                const std::uint64_t end = tableEnd(segment.p_offset, 1, segment.p_filesz);
                if (end > needed) needed = end;
            }
    }
    if (header.e_shoff != 0) {
        const std::uint64_t end = tableEnd(header.e_shoff, header.e_shnum ? header.e_shnum : 1, header.e_shentsize);
        if (end > needed) needed = end;
    }
    if (needed > size) {
        const std::string described = needed == UINT64_MAX ? "more than a file can hold" : bytes(needed);
        return path + " is cut short (a damaged install or an interrupted copy): it has " + bytes(size) +
               ", its headers describe " + described;
    }
    return {};
}

ModuleSymbol loadModuleSymbol(const std::string& path, const char* symbol) {
    if (path.empty() || path.front() != '/')
        return {nullptr, "the program's own folder is unknown, so its module is not loaded"};
    if (std::string problem = moduleFileProblem(path); !problem.empty()) return {nullptr, std::move(problem)};
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = dlerror();
        return {nullptr, "cannot load " + path + ": " + (reason ? reason : "unknown error")};
    }
    void* found = dlsym(module, symbol);
    if (!found) {
        dlclose(module);
        return {nullptr, path + " does not export " + symbol};
    }
    return {found, {}};
}

void* loadModuleSymbol(const std::string& path, const char* symbol, const char* what) {
    ModuleSymbol loaded = loadModuleSymbol(path, symbol);
    if (!loaded.address) std::fprintf(stderr, "vorlak-simulator: no %s: %s\n", what, loaded.problem.c_str());
    return loaded.address;
}

}  // namespace vorlak
