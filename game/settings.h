// The user's settings as the console's rules see them: named text values in
// a store that each front end provides (the registry key
// Software\Selvane\Vorlak on Windows, a settings file on Linux, the browser's
// storage), holding decimal integers.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorlak {

class SettingsStore {
public:
    struct Value {
        enum class Kind { Missing, Text, NotText } kind = Kind::Missing;
        std::string text;  // for Text
    };
    virtual ~SettingsStore() = default;
    virtual Value read(std::string_view name) const = 0;
    // Written through at once, so that a program that ends right after still
    // keeps it. A store that cannot be written is left as it is.
    virtual void write(std::string_view name, std::string_view text) = 0;
};

// A value stored as something other than text: "Invalid data type for 'NAME'".
class InvalidDataType : public std::runtime_error {
public:
    explicit InvalidDataType(std::string_view name);
};

// A decimal integer with an optional sign and nothing else, within 32 bits.
std::optional<int> parseDecimal(std::string_view text);

// The stored decimal text as a number; the fallback when the value is missing
// or its text is not a decimal integer. Throws InvalidDataType when the value
// is not text.
int readInteger(const SettingsStore& store, std::string_view name, int fallback);
void writeInteger(SettingsStore& store, std::string_view name, int value);

// A store in memory (tests, tools, and a front end with nowhere to keep them).
class MemorySettings : public SettingsStore {
public:
    Value read(std::string_view name) const override;
    void write(std::string_view name, std::string_view text) override;
    void putNotText(std::string_view name);  // as a value of another type would be
    void clear() { values_.clear(); }

private:
    struct Entry {
        std::string name;
        Value value;
    };
    std::vector<Entry> values_;
};

}  // namespace vorlak
