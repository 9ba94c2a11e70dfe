// What the rule variations dialog shows for a block of rule settings: the
// item of each option menu, the state of each check button, and which
// controls may be used. Kept apart from FOX so it is tested without a display.
#pragma once

#include <array>

#include "engine/rules.h"

constexpr std::array<const char*, 6> RENEED_ITEMS = {
    "No Reneed",           "All Reneeds are Bullseye",     "Trump Reneed is Bullseye",
    "All Reneeds 1 point", "Bare Jack Reneed is Bullseye", "High Trump Reneed is Bullseye",
};
constexpr std::array<const char*, 3> FOLLOW_ITEMS = {"Always", "Only for trump", "Never"};
constexpr std::array<const char*, 3> UNDER_TRUMP_ITEMS = {"None", "1 point", "Bullseye"};
constexpr std::array<const char*, 2> LENGTH_ITEMS = {"14 points", "7 points"};
constexpr std::array<const char*, 2> HANG_JACK_ITEMS = {"3 points", "1 point"};

struct RuleChoices {
    int reneedItem = 0;
    bool noGamePoint = false;
    int followItem = 0;
    int underTrumpItem = 0;
    int lengthItem = 0;
    int hangJackItem = 0;
    bool tobago = false;
    bool forceBeg = false;

    bool operator==(const RuleChoices& o) const;
};

RuleChoices choicesFromRules(const RuleSettings& rules);
RuleSettings rulesFromChoices(const RuleChoices& choices);

struct RuleEnabling {
    bool reneedMenu = false;
    bool noGamePointCheck = false;
    std::array<bool, RENEED_ITEMS.size()> reneedItems{};
    // Why a control is greyed, for its tooltip; empty while it is enabled.
    const char* reneedMenuWhy = "";
    const char* noGamePointWhy = "";
    const char* reneedItemsWhy = "";  // the same for every greyed reneed item
};

// The enabled controls follow from the force-follow and reneed items shown:
// under "Always" the reneed rules are greyed, under "Only for trump" three
// of the reneed items are, and the game-point check needs a reneed rule.
RuleEnabling ruleEnabling(int followItem, int reneedItem);

// Said under the dialog's controls: when its choices take effect.
extern const char* const RULES_TAKE_EFFECT;
