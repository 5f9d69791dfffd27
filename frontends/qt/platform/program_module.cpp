#include "frontends/qt/platform/program_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace vorlak {

std::string besideProgram(std::string_view file, const char* selfLink) {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink(selfLink, buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return {};
    const std::string program(buffer.data(), static_cast<std::size_t>(length));
    // Only an absolute path names one file whatever the working directory.
    if (program.front() != '/') return {};
    return program.substr(0, program.rfind('/') + 1).append(file);
}

void* loadModuleSymbol(const std::string& path, const char* symbol, const char* what) {
    if (path.empty() || path.front() != '/') {
        std::fprintf(stderr, "vorlak-simulator: no %s: the program's own folder is unknown, so its module is not loaded\n",
                     what);
        return nullptr;
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = dlerror();
        std::fprintf(stderr, "vorlak-simulator: no %s: cannot load %s: %s\n", what, path.c_str(),
                     reason ? reason : "unknown error");
        return nullptr;
    }
    void* found = dlsym(module, symbol);
    if (!found) {
        std::fprintf(stderr, "vorlak-simulator: no %s: %s does not export %s\n", what, path.c_str(), symbol);
        dlclose(module);
    }
    return found;
}

}  // namespace vorlak
