// The user's settings in the registry: the launcher's two choices as decimal
// text (REG_SZ) under HKEY_CURRENT_USER\Software\Selvane\Vorlak.
#pragma once

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vorlak {

// A value stored as something other than text.
class InvalidDataType : public std::runtime_error {
public:
    explicit InvalidDataType(const std::string& name);  // "Invalid data type for '<name>'"
};

class RegistryStore {
public:
    static constexpr const wchar_t* kKey = L"Software\\Selvane\\Vorlak";

    // Opens the key, creating it when it does not exist. A key that can be
    // neither opened nor created reads as empty and takes no writes.
    explicit RegistryStore(HKEY root = HKEY_CURRENT_USER, const wchar_t* key = kKey);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    bool isOpen() const { return key_ != nullptr; }
    bool valueExists(const std::string& name) const;
    // The stored decimal text as a number; the fallback when the value is
    // missing or its text is not a decimal integer. Throws InvalidDataType
    // when the value is not text (REG_SZ or REG_EXPAND_SZ).
    int readInteger(const std::string& name, int fallback) const;
    // Stored as REG_SZ decimal text; false when it could not be written.
    bool writeInteger(const std::string& name, int value);

private:
    HKEY key_ = nullptr;
};

// A decimal integer with an optional sign and nothing else, within 32 bits.
std::optional<int> parseDecimal(std::wstring_view text);

}  // namespace vorlak
