// The user's settings on the Linux desktop: the launcher's two choices, kept
// as text under Selvane/Vorlak (~/.config/Selvane/Vorlak.conf).
#pragma once

#include <QSettings>
#include <QString>
#include <optional>

#include "game/settings.h"

namespace vorlak {

class Registro : public SettingsStore {
public:
    // Opens the user's store, creating it empty when it does not exist.
    Registro();
    // The store in the file at `path`. Anything there but a regular file
    // (a named pipe, a folder, a device) counts as a store with no values
    // that keeps nothing written to it, and is said once on standard error.
    explicit Registro(const QString& path);

    Value read(std::string_view name) const override;
    void write(std::string_view name, std::string_view text) override;

private:
    mutable std::optional<QSettings> settings_;  // none where no regular file can be
};

}  // namespace vorlak
