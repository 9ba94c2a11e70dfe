// The settings store of the program: the application's FOX registry, kept in
// ~/.foxrc/zok/marvanto.
#pragma once

#include <fx.h>

#include "records/settings_store.h"

class FoxSettings : public SettingsStore {
public:
    explicit FoxSettings(FXRegistry& registry) : registry_(registry) {}

    std::optional<std::string> readString(const std::string& section, const std::string& key) const override;
    void writeString(const std::string& section, const std::string& key, const std::string& value) override;
    // Writes the registry file now rather than when the program exits.
    void flush() override;

private:
    FXRegistry& registry_;
};
