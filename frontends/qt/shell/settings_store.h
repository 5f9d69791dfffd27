// The user's settings: the launcher's two choices, kept as decimal text under
// Selvane/Vorlak (on Windows the registry key Software\Selvane\Vorlak of the
// current user, on Linux ~/.config/Selvane/Vorlak.conf).
#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <stdexcept>

namespace vorlak {

// A value stored as something other than text.
class InvalidDataType : public std::runtime_error {
public:
    explicit InvalidDataType(const QString& name);
};

class Registro {
public:
    // Opens the user's store, creating it empty when it does not exist.
    Registro();
    // The store in the file at `path`. Anything there but a regular file
    // (a named pipe, a folder, a device) counts as a store with no values
    // that keeps nothing written to it, and is said once on standard error.
    explicit Registro(const QString& path);

    bool valueExists(const QString& name) const;
    // The stored decimal text as a number; the fallback when the value is
    // missing or its text is not a decimal integer. Throws InvalidDataType
    // when the value is not text.
    int readInteger(const QString& name, int fallback) const;
    // Stored as text and written through at once, so that a program that
    // ends right after still keeps it. A store that cannot be written is
    // left as it is.
    void writeInteger(const QString& name, int value);

private:
    mutable std::optional<QSettings> settings_;  // none where no regular file can be
};

// A decimal integer with an optional sign and nothing else, within 32 bits.
std::optional<int> parseDecimal(const QString& text);

}  // namespace vorlak
