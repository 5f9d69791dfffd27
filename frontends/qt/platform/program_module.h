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

// Loads the module at `path` (which must be absolute) and returns its exported
// `symbol`. On failure it says why in one line, "vorlak-simulator: no <what>:
// ...", and returns null. A loaded module stays loaded.
void* loadModuleSymbol(const std::string& path, const char* symbol, const char* what);

}  // namespace vorlak
