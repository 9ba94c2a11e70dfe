// The application's settings registry as the core sees it. The desktop
// program wraps FXRegistry; tests use a map.
#pragma once

#include <optional>
#include <string>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored value, or none when the entry does not exist.
    virtual std::optional<std::string> readString(const std::string& section, const std::string& key) const = 0;
    // Values are byte strings without zero or DEL (0x7F) bytes: the FOX
    // registry takes C strings and its file reads a value back only up to a
    // DEL. A write may reach the backing file only at the next flush.
    virtual void writeString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual void flush() = 0;
};
