#include "frontends/win32/shell/registry_store.h"

#include <limits>
#include <vector>

namespace vorlak {
namespace {

// Value names are the program's own ASCII names.
std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// No decimal integer of 32 bits needs more: longer text reads as not a number.
constexpr DWORD kMaxTextBytes = 64 * sizeof(wchar_t);

}  // namespace

InvalidDataType::InvalidDataType(const std::string& name)
    : std::runtime_error("Invalid data type for '" + name + "'") {}

RegistryStore::RegistryStore(HKEY root, const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &opened, nullptr) == ERROR_SUCCESS)
        key_ = opened;
}

RegistryStore::~RegistryStore() {
    if (key_) RegCloseKey(key_);
}

bool RegistryStore::valueExists(const std::string& name) const {
    return key_ && RegQueryValueExW(key_, wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

int RegistryStore::readInteger(const std::string& name, int fallback) const {
    if (!key_) return fallback;
    const std::wstring valueName = wide(name);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key_, valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return fallback;
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidDataType(name);
    if (bytes > kMaxTextBytes) return fallback;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
        ERROR_SUCCESS)
        return fallback;
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidDataType(name);  // changed meanwhile
    // The stored text may or may not end with its terminating zero.
    std::wstring_view view(text.data(), bytes / sizeof(wchar_t));
    if (!view.empty() && view.back() == L'\0') view.remove_suffix(1);
    return parseDecimal(view).value_or(fallback);
}

bool RegistryStore::writeInteger(const std::string& name, int value) {
    if (!key_) return false;
    const std::wstring text = std::to_wstring(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));  // with its terminating zero
    return RegSetValueExW(key_, wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
           ERROR_SUCCESS;
}

std::optional<int> parseDecimal(std::wstring_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace vorlak
