// The user's settings in the registry: the launcher's two choices as text
// values (REG_SZ) under HKEY_CURRENT_USER\Software\Selvane\Vorlak. The core
// reads them as decimal integers (game/settings.h).
#pragma once

#include <windows.h>

#include "game/settings.h"

namespace vorlak {

class RegistryStore : public SettingsStore {
public:
    static constexpr const wchar_t* kKey = L"Software\\Selvane\\Vorlak";

    // Opens the key, creating it when it does not exist. A key that can be
    // neither opened nor created reads as empty and takes no writes.
    explicit RegistryStore(HKEY root = HKEY_CURRENT_USER, const wchar_t* key = kKey);
    ~RegistryStore() override;
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    bool isOpen() const { return key_ != nullptr; }
    // Text is REG_SZ or REG_EXPAND_SZ (as UTF-8); any other type is not text.
    Value read(std::string_view name) const override;
    // A REG_SZ value with its terminating zero.
    void write(std::string_view name, std::string_view text) override;

private:
    HKEY key_ = nullptr;
};

}  // namespace vorlak
