// The level of the computer players chosen in Game Setup, remembered in the
// settings as "SETTINGS"/"computer": "Standard" or "Expert".
#pragma once

#include "players/computer_level.h"
#include "records/settings_store.h"

class ComputerChoice {
public:
    // A missing or unknown stored value reads as Standard.
    explicit ComputerChoice(SettingsStore& store);

    ComputerLevel level() const { return level_; }
    // Remembers the choice at once, unless the settings hold it already.
    void choose(ComputerLevel level);

private:
    SettingsStore& store_;
    ComputerLevel level_;
};
