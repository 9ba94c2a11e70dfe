#include "ui/fox_settings.h"

std::optional<std::string> FoxSettings::readString(const std::string& section, const std::string& key) const
{
    if (!registry_.existingEntry(section.c_str(), key.c_str())) return std::nullopt;
    return std::string(registry_.readStringEntry(section.c_str(), key.c_str(), ""));
}

void FoxSettings::writeString(const std::string& section, const std::string& key, const std::string& value)
{
    registry_.writeStringEntry(section.c_str(), key.c_str(), value.c_str());
}

void FoxSettings::flush() { registry_.write(); }
