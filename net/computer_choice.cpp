#include "net/computer_choice.h"

namespace {

constexpr const char* SECTION = "SETTINGS";
constexpr const char* KEY = "computer";

}  // namespace

ComputerChoice::ComputerChoice(SettingsStore& store)
    : store_(store), level_(computerLevelNamed(store.readString(SECTION, KEY).value_or("")))
{
}

void ComputerChoice::choose(ComputerLevel level)
{
    level_ = level;
    if (store_.readString(SECTION, KEY) == std::optional<std::string>(computerLevelName(level))) return;
    store_.writeString(SECTION, KEY, computerLevelName(level));
    store_.flush();
}
