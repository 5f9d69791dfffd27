// Modules the program loads from beside itself. The folder is the program's
// own, as the system tells it; never the working directory (the player's
// choice, and where the SOUND folder is read) nor a search path, so that no
// file planted there is ever loaded.
#pragma once

#include <string>
#include <string_view>

namespace vorlak {

// The absolute path of `file` in the running program's folder, read through
// `selfLink`; empty when that cannot be read or is not absolute.
std::string besideProgram(std::string_view file, const char* selfLink = "/proc/self/exe");

// Why the file at `path` cannot be loaded as a module of this program, as a
// phrase that names the file ("/x/m.so is not a regular file"); empty when it
// can be. Checked against the file's own ELF headers without loading it: a
// regular file, a shared object of this machine's class, byte order and
// architecture, long enough for every segment its program headers describe
// and for its section header table. Loading a file cut short (a damaged
// install, an interrupted copy) would end the program with SIGBUS, and
// opening a named pipe would wait for a writer.
std::string moduleFileProblem(const std::string& path);

struct ModuleSymbol {
    void* address = nullptr;  // null when the module could not be had
    std::string problem;      // why not, naming the file; empty on success
};

// Loads the module at `path` (which must be absolute), once its file has
// passed moduleFileProblem, and returns its exported `symbol`. A loaded
// module stays loaded. Reports nothing itself.
ModuleSymbol loadModuleSymbol(const std::string& path, const char* symbol);

// The same, saying why on standard error in one line, "vorlak-simulator: no
// <what>: <problem>", when it fails.
void* loadModuleSymbol(const std::string& path, const char* symbol, const char* what);

}  // namespace vorlak
