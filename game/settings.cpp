#include "game/settings.h"

#include <algorithm>
#include <limits>

namespace vorlak {

InvalidDataType::InvalidDataType(std::string_view name)
    : std::runtime_error("Invalid data type for '" + std::string(name) + "'") {}

std::optional<int> parseDecimal(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

int readInteger(const SettingsStore& store, std::string_view name, int fallback) {
    const SettingsStore::Value value = store.read(name);
    switch (value.kind) {
        case SettingsStore::Value::Kind::Missing: return fallback;
        case SettingsStore::Value::Kind::NotText: throw InvalidDataType(name);
        case SettingsStore::Value::Kind::Text: break;
    }
    return parseDecimal(value.text).value_or(fallback);
}

void writeInteger(SettingsStore& store, std::string_view name, int value) { store.write(name, std::to_string(value)); }

SettingsStore::Value MemorySettings::read(std::string_view name) const {
    const auto it = std::find_if(values_.begin(), values_.end(), [&](const Entry& e) { return e.name == name; });
    return it == values_.end() ? Value{} : it->value;
}

void MemorySettings::write(std::string_view name, std::string_view text) {
    const auto it = std::find_if(values_.begin(), values_.end(), [&](const Entry& e) { return e.name == name; });
    const Value value{Value::Kind::Text, std::string(text)};
    if (it == values_.end())
        values_.push_back({std::string(name), value});
    else
        it->value = value;
}

void MemorySettings::putNotText(std::string_view name) {
    write(name, "");
    std::find_if(values_.begin(), values_.end(), [&](const Entry& e) { return e.name == name; })->value.kind =
        Value::Kind::NotText;
}

}  // namespace vorlak
