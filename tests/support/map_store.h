// Settings kept in a map, keyed "section/key", for tests that must see what
// was written and what reached the backing file.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "records/settings_store.h"

class MapStore : public SettingsStore {
public:
    std::optional<std::string> readString(const std::string& section, const std::string& key) const override
    {
        const auto it = values.find(section + "/" + key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void writeString(const std::string& section, const std::string& key, const std::string& value) override
    {
        values[section + "/" + key] = value;
        ++writes;
    }
    void flush() override
    {
        flushed = values;
        flushedWrites = writes;
    }

    std::map<std::string, std::string> values;
    int writes = 0;
    // What the last flush would have put in the file.
    std::map<std::string, std::string> flushed;
    int flushedWrites = 0;
};
