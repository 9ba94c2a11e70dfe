#include "engine/rule_choices.h"

#include <tuple>

namespace {

constexpr int LENGTH_SHORT_ITEM = 1;
constexpr int HANG_JACK_ONE_ITEM = 1;

// Greyed controls keep their values, and those are stored and played.
constexpr const char* ALWAYS_FOLLOW_WHY =
    "Greyed while Force follow suit is \"Always\":\nto change it, first set Force follow suit to\n\"Only for "
    "trump\" or \"Never\". What it shows stays in force.";
constexpr const char* NO_RENEED_WHY =
    "Greyed while the reneed rule is \"No Reneed\":\nto change it, first choose another reneed rule.\nWhat it "
    "shows stays in force.";
constexpr const char* TRUMP_ONLY_WHY = "Not offered while Force follow suit is \"Only for trump\".";

auto tied(const RuleChoices& c)
{
    return std::tie(c.reneedItem, c.noGamePoint, c.followItem, c.underTrumpItem, c.lengthItem, c.hangJackItem,
                    c.tobago, c.forceBeg);
}

}  // namespace

bool RuleChoices::operator==(const RuleChoices& o) const { return tied(*this) == tied(o); }

RuleChoices choicesFromRules(const RuleSettings& rules)
{
    RuleChoices c;
    c.reneedItem = rules.reneedRule;
    c.noGamePoint = rules.noGamePointIfReneed != 0;
    c.followItem = rules.forceFollow;
    c.underTrumpItem = rules.underTrumpPenalty;
    c.lengthItem = rules.target == 7 ? LENGTH_SHORT_ITEM : 0;
    c.hangJackItem = rules.hangJackPoints == 1 ? HANG_JACK_ONE_ITEM : 0;
    c.tobago = rules.tobagoRules != 0;
    c.forceBeg = rules.forceBeg != 0;
    return c;
}

RuleSettings rulesFromChoices(const RuleChoices& c)
{
    RuleSettings rules;
    rules.reneedRule = c.reneedItem;
    rules.noGamePointIfReneed = c.noGamePoint ? 1 : 0;
    rules.underTrumpPenalty = c.underTrumpItem;
    rules.target = c.lengthItem == LENGTH_SHORT_ITEM ? 7 : 14;
    rules.hangJackPoints = c.hangJackItem == HANG_JACK_ONE_ITEM ? 1 : 3;
    rules.tobagoRules = c.tobago ? 1 : 0;
    rules.forceFollow = c.followItem;
    rules.forceBeg = c.forceBeg ? 1 : 0;
    return rules;
}

RuleEnabling ruleEnabling(int followItem, int reneedItem)
{
    RuleEnabling enabling;
    enabling.reneedMenu = followItem != FOLLOW_ALWAYS;
    enabling.noGamePointCheck = enabling.reneedMenu && reneedItem != RENEED_NONE;
    for (int item = 0; item < static_cast<int>(RENEED_ITEMS.size()); ++item) {
        const bool trumpOnlyGreys =
            item == RENEED_TRUMP_BULLSEYE || item == RENEED_ALL_ONE_POINT || item == RENEED_BARE_JACK_BULLSEYE;
        enabling.reneedItems[item] = !(followItem == FOLLOW_ONLY_TRUMP && trumpOnlyGreys);
    }
    if (!enabling.reneedMenu) enabling.reneedMenuWhy = ALWAYS_FOLLOW_WHY;
    if (!enabling.noGamePointCheck) enabling.noGamePointWhy = enabling.reneedMenu ? NO_RENEED_WHY : ALWAYS_FOLLOW_WHY;
    if (followItem == FOLLOW_ONLY_TRUMP) enabling.reneedItemsWhy = TRUMP_ONLY_WHY;
    return enabling;
}

// Starting a game copies the waiting rules into force (local and hosted
// games alike); a joined game takes the host's.
const char* const RULES_TAKE_EFFECT =
    "Changes apply from the next game you start;\n"
    "a game in progress keeps its rules.\n"
    "A network game you join plays by the host's rules.";
