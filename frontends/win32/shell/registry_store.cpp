#include "frontends/win32/shell/registry_store.h"

#include <string>
#include <vector>

#include "frontends/win32/window/win32_text.h"

namespace vorlak {
namespace {

// Text longer than this is no number the launcher could store: read as it
// is cut, which is not a decimal integer either.
constexpr DWORD kMaxTextBytes = 256 * sizeof(wchar_t);

}  // namespace

RegistryStore::RegistryStore(HKEY root, const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &opened, nullptr) == ERROR_SUCCESS)
        key_ = opened;
}

RegistryStore::~RegistryStore() {
    if (key_) RegCloseKey(key_);
}

SettingsStore::Value RegistryStore::read(std::string_view name) const {
    Value value;
    if (!key_) return value;
    const std::wstring valueName = wideText(name);
    DWORD type = 0, bytes = 0;
    const LSTATUS found = RegQueryValueExW(key_, valueName.c_str(), nullptr, &type, nullptr, &bytes);
    if (found != ERROR_SUCCESS && found != ERROR_MORE_DATA) return value;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        value.kind = Value::Kind::NotText;
        return value;
    }
    std::vector<wchar_t> text(kMaxTextBytes / sizeof(wchar_t) + 1, L'\0');
    bytes = kMaxTextBytes;
    const LSTATUS read =
        RegQueryValueExW(key_, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
    if (read == ERROR_MORE_DATA) bytes = kMaxTextBytes;
    else if (read != ERROR_SUCCESS) return value;
    value.kind = Value::Kind::Text;
    // The stored text may or may not end with its terminating zero.
    std::wstring_view view(text.data(), bytes / sizeof(wchar_t));
    if (const auto zero = view.find(L'\0'); zero != std::wstring_view::npos) view = view.substr(0, zero);
    value.text = utf8Text(view);
    return value;
}

void RegistryStore::write(std::string_view name, std::string_view text) {
    if (!key_) return;
    const std::wstring data = wideText(text);
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));  // with its terminating zero
    RegSetValueExW(key_, wideText(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes);
}

}  // namespace vorlak
