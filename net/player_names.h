// The player names remembered between runs, and how the setup dialogs turn
// the typed names into seats.
#pragma once

#include <string>
#include <vector>

#include "engine/game_state.h"
#include "records/settings_store.h"

// The text a partner field shows when no partner plays at this machine.
constexpr const char* NO_PARTNER_NAME = "Nobody";

// The saved names live in the settings as one string, "SETTINGS"/"names":
// the names in the order they were first remembered, one per line.
class PlayerNames {
public:
    explicit PlayerNames(SettingsStore& store);

    const std::string& saved() const { return saved_; }
    // The saved names in order, without empty pieces.
    std::vector<std::string> list() const;
    // Adds a name that is not saved yet (exact, case-sensitive) and writes
    // the settings at once.
    void remember(const std::string& name);

    // Who played last at this machine: "SETTINGS"/"last" and "partner", the
    // partner empty when none played here.
    const std::string& lastName() const { return lastName_; }
    const std::string& lastPartner() const { return lastPartner_; }
    void rememberLast(const std::string& name, const std::string& partner);

private:
    SettingsStore& store_;
    std::string saved_;
    std::string lastName_;
    std::string lastPartner_;
};

// Splits a saved-names string at newlines, skipping empty pieces.
std::vector<std::string> splitSavedNames(const std::string& saved);

// Seats this machine's players as the setup dialogs ask: the player at seat
// 0; with duvanto two seats; otherwise four seats, and a partner at seat 1
// unless the partner field still says "Nobody" with the list's first entry
// current (partnerIsFirstEntry is also true when no entry is current).
void storeNames(GameState& game, const std::string& nameText, const std::string& partnerText,
                bool partnerIsFirstEntry, bool duvanto, PlayerNames& names);
