#include "engine/rule_choices.h"

#include <tuple>

namespace {

constexpr int LENGTH_SHORT_ITEM = 1;
constexpr int HANG_JACK_ONE_ITEM = 1;

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
    return enabling;
}
