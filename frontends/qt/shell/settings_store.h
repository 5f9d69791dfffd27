// The user's settings on the Linux desktop: the launcher's two choices, kept
// as text under Selvane/Vorlak (~/.config/Selvane/Vorlak.conf).
#pragma once

#include <QSettings>

#include "game/settings.h"

namespace vorlak {

class Registro : public SettingsStore {
public:
    // Opens the store, creating it empty when it does not exist.
    Registro();

    Value read(std::string_view name) const override;
    void write(std::string_view name, std::string_view text) override;

private:
    mutable QSettings settings_;
};

}  // namespace vorlak
