#include <string>

#include <gtest/gtest.h>

#include "engine/rule_choices.h"

namespace {

// The values the dialog offers for each field, in wire order.
const std::array<std::vector<int32_t>, RULES_FIELD_COUNT> OFFERED = {{
    {0, 1, 2, 3, 4, 5},  // reneedRule
    {0, 1},              // noGamePointIfReneed
    {0, 1, 2},           // underTrumpPenalty
    {14, 7},             // target
    {3, 1},              // hangJackPoints
    {0, 1},              // tobagoRules
    {0, 1, 2},           // forceFollow
    {0, 1},              // forceBeg
}};

RuleSettings withField(int field, int32_t value)
{
    auto fields = rulesFields(RuleSettings{});
    fields[field] = value;
    return rulesFromFields(fields);
}

TEST(RuleChoices, DefaultsShowTheFirstItemsAndClearChecks)
{
    EXPECT_EQ(choicesFromRules(RuleSettings{}), RuleChoices{});
}

TEST(RuleChoices, EveryOfferedValueSurvivesLoadAndStore)
{
    for (int field = 0; field < RULES_FIELD_COUNT; ++field) {
        for (std::size_t item = 0; item < OFFERED[field].size(); ++item) {
            const RuleSettings rules = withField(field, OFFERED[field][item]);
            SCOPED_TRACE(testing::Message() << "field " << field << " value " << OFFERED[field][item]);
            ASSERT_TRUE(rulesAreOffered(rules));
            EXPECT_EQ(rulesFromChoices(choicesFromRules(rules)), rules);
        }
    }
}

TEST(RuleChoices, MenusShowTheItemOfTheirValue)
{
    struct Case {
        int field;
        int32_t value;
        int RuleChoices::*item;
        int expected;
    };
    const Case cases[] = {
        {0, 5, &RuleChoices::reneedItem, 5},      {2, 2, &RuleChoices::underTrumpItem, 2},
        {3, 14, &RuleChoices::lengthItem, 0},     {3, 7, &RuleChoices::lengthItem, 1},
        {4, 3, &RuleChoices::hangJackItem, 0},    {4, 1, &RuleChoices::hangJackItem, 1},
        {6, 2, &RuleChoices::followItem, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "field " << c.field << " value " << c.value);
        EXPECT_EQ(choicesFromRules(withField(c.field, c.value)).*c.item, c.expected);
    }
}

TEST(RuleChoices, AnyNonZeroFlagIsCheckedAndStoredAsOne)
{
    const int flagFields[] = {1, 5, 7};
    for (int field : flagFields) {
        SCOPED_TRACE(testing::Message() << "field " << field);
        const RuleSettings stored = rulesFromChoices(choicesFromRules(withField(field, -2)));
        EXPECT_EQ(rulesFields(stored)[field], 1);
    }
}

TEST(RuleChoices, EveryCombinationOfControlsSurvivesStoreAndLoad)
{
    int combinations = 0;
    RuleChoices c;
    for (c.reneedItem = 0; c.reneedItem < 6; ++c.reneedItem)
        for (c.followItem = 0; c.followItem < 3; ++c.followItem)
            for (c.underTrumpItem = 0; c.underTrumpItem < 3; ++c.underTrumpItem)
                for (c.lengthItem = 0; c.lengthItem < 2; ++c.lengthItem)
                    for (c.hangJackItem = 0; c.hangJackItem < 2; ++c.hangJackItem)
                        for (int flags = 0; flags < 8; ++flags) {
                            c.noGamePoint = flags & 1;
                            c.tobago = flags & 2;
                            c.forceBeg = flags & 4;
                            const RuleSettings rules = rulesFromChoices(c);
                            EXPECT_TRUE(rulesAreOffered(rules));
                            EXPECT_EQ(choicesFromRules(rules), c);
                            ++combinations;
                        }
    EXPECT_EQ(combinations, 6 * 3 * 3 * 2 * 2 * 8);
}

TEST(RuleEnabling, FollowsTheForceFollowAndReneedItems)
{
    constexpr bool Y = true;
    constexpr bool N = false;
    // Why greyed: A, force follow suit "Always"; R, no reneed rule is
    // chosen; T, "Only for trump" offers fewer rules; -, not greyed.
    struct Case {
        int follow;
        int reneed;
        bool reneedMenu;
        bool noGamePoint;
        std::array<bool, 6> items;
        const char* why;  // menu, check, items
    };
    const Case cases[] = {
        {FOLLOW_ALWAYS, RENEED_NONE, N, N, {Y, Y, Y, Y, Y, Y}, "AA-"},  // the first opening
        {FOLLOW_ALWAYS, RENEED_ALL_BULLSEYE, N, N, {Y, Y, Y, Y, Y, Y}, "AA-"},
        {FOLLOW_NEVER, RENEED_NONE, Y, N, {Y, Y, Y, Y, Y, Y}, "-R-"},
        {FOLLOW_NEVER, RENEED_ALL_ONE_POINT, Y, Y, {Y, Y, Y, Y, Y, Y}, "---"},
        {FOLLOW_ONLY_TRUMP, RENEED_NONE, Y, N, {Y, Y, N, N, N, Y}, "-RT"},
        {FOLLOW_ONLY_TRUMP, RENEED_HIGH_TRUMP_BULLSEYE, Y, Y, {Y, Y, N, N, N, Y}, "--T"},
        // A greyed item that was already shown stays shown and counts as a rule.
        {FOLLOW_ONLY_TRUMP, RENEED_TRUMP_BULLSEYE, Y, Y, {Y, Y, N, N, N, Y}, "--T"},
    };
    const auto kind = [](const std::string& why) {
        if (why.empty()) return '-';
        if (why.find("\"Always\"") != std::string::npos) return 'A';
        if (why.find("\"No Reneed\"") != std::string::npos) return 'R';
        if (why.find("\"Only for trump\"") != std::string::npos) return 'T';
        return '?';
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "follow " << c.follow << " reneed " << c.reneed);
        const RuleEnabling enabling = ruleEnabling(c.follow, c.reneed);
        EXPECT_EQ(enabling.reneedMenu, c.reneedMenu);
        EXPECT_EQ(enabling.noGamePointCheck, c.noGamePoint);
        EXPECT_EQ(enabling.reneedItems, c.items);
        const std::string why = {kind(enabling.reneedMenuWhy), kind(enabling.noGamePointWhy),
                                 kind(enabling.reneedItemsWhy)};
        EXPECT_EQ(why, c.why);
    }
}

}  // namespace
