#include <gtest/gtest.h>

#include "engine/rules.h"

TEST(Rules, DefaultsInOrder)
{
    const auto fields = rulesFields(RuleSettings{});
    EXPECT_EQ(fields, (std::array<int32_t, 8>{0, 0, 0, 14, 3, 0, 0, 0}));
}

TEST(Rules, EncodesLittleEndianAtFourTimesFieldNumber)
{
    RulesBytes bytes = encodeRules(RuleSettings{});
    const RulesBytes expected{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 0,
                              3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
    RuleSettings odd;
    odd.reneedRule = -2;  // two's complement survives the trip
    odd.forceBeg = 0x01020304;
    bytes = encodeRules(odd);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(bytes[28], 0x04);
    EXPECT_EQ(bytes[31], 0x01);
    EXPECT_EQ(decodeRules(bytes.data()), odd);
}

TEST(Rules, DecodesARulesMessageBody)
{
    const std::array<int32_t, 8> values{0, 0, 2, 7, 1, 1, 2, 1};
    uint8_t body[32] = {};
    for (int i = 0; i < 8; ++i) body[4 * i] = static_cast<uint8_t>(values[i]);
    const RuleSettings r = decodeRules(body);
    EXPECT_EQ(r.reneedRule, RENEED_NONE);
    EXPECT_EQ(r.noGamePointIfReneed, 0);
    EXPECT_EQ(r.underTrumpPenalty, UNDER_TRUMP_BULLSEYE);
    EXPECT_EQ(r.target, 7);
    EXPECT_EQ(r.hangJackPoints, 1);
    EXPECT_EQ(r.tobagoRules, 1);
    EXPECT_EQ(r.forceFollow, FOLLOW_NEVER);
    EXPECT_EQ(r.forceBeg, 1);
    EXPECT_TRUE(rulesAreOffered(r));
}

TEST(Rules, OnlyOfferedValuesAreAccepted)
{
    struct Case {
        int field;
        int32_t value;
        bool offered;
    };
    const Case cases[] = {
        {0, 5, true}, {0, 6, false}, {0, -1, false}, {1, 2, false}, {2, 3, false}, {3, 7, true},
        {3, 0, false}, {3, 21, false}, {4, 1, true}, {4, 2, false}, {5, 1, true}, {6, 3, false}, {7, -1, false},
    };
    for (const Case& c : cases) {
        auto fields = rulesFields(RuleSettings{});
        fields[c.field] = c.value;
        EXPECT_EQ(rulesAreOffered(rulesFromFields(fields)), c.offered) << "field " << c.field << " = " << c.value;
    }
}
