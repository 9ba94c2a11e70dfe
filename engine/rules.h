// The eight rule variations of a game. On the wire the block is 32 bytes,
// each field little-endian at offset 4 x its number.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

enum : int32_t {
    RENEED_NONE = 0,
    RENEED_ALL_BULLSEYE = 1,
    RENEED_TRUMP_BULLSEYE = 2,
    RENEED_ALL_ONE_POINT = 3,
    RENEED_BARE_JACK_BULLSEYE = 4,
    RENEED_HIGH_TRUMP_BULLSEYE = 5,
};
enum : int32_t { UNDER_TRUMP_NONE = 0, UNDER_TRUMP_ONE_POINT = 1, UNDER_TRUMP_BULLSEYE = 2 };
enum : int32_t { FOLLOW_ALWAYS = 0, FOLLOW_ONLY_TRUMP = 1, FOLLOW_NEVER = 2 };

struct RuleSettings {
    int32_t reneedRule = RENEED_NONE;
    int32_t noGamePointIfReneed = 0;
    int32_t underTrumpPenalty = UNDER_TRUMP_NONE;
    int32_t target = 14;
    int32_t hangJackPoints = 3;
    int32_t tobagoRules = 0;
    int32_t forceFollow = FOLLOW_ALWAYS;
    int32_t forceBeg = 0;

    bool operator==(const RuleSettings& o) const;
    bool operator!=(const RuleSettings& o) const { return !(*this == o); }
};

constexpr int RULES_FIELD_COUNT = 8;
constexpr int RULES_SIZE = 32;
using RulesBytes = std::array<uint8_t, RULES_SIZE>;

// The fields in their wire order, for code that walks them.
std::array<int32_t, RULES_FIELD_COUNT> rulesFields(const RuleSettings& rules);
RuleSettings rulesFromFields(const std::array<int32_t, RULES_FIELD_COUNT>& fields);

RulesBytes encodeRules(const RuleSettings& rules);
RuleSettings decodeRules(const uint8_t* bytes);

// True when every field holds a value the rule dialog offers.
bool rulesAreOffered(const RuleSettings& rules);
