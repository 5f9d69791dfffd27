#include "frontends/win32/shell/program_folder.h"

#include <windows.h>

#include <vector>

namespace vorlak {

std::wstring programFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            std::wstring folder(path.data(), length);
            const auto slash = folder.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

bool enterProgramFolder() {
    const std::wstring folder = programFolder();
    return !folder.empty() && SetCurrentDirectoryW(folder.c_str());
}

}  // namespace vorlak
