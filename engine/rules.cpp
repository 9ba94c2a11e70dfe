#include "engine/rules.h"

#include "engine/byte_order.h"

std::array<int32_t, RULES_FIELD_COUNT> rulesFields(const RuleSettings& r)
{
    return {r.reneedRule, r.noGamePointIfReneed, r.underTrumpPenalty, r.target,
            r.hangJackPoints, r.tobagoRules, r.forceFollow, r.forceBeg};
}

RuleSettings rulesFromFields(const std::array<int32_t, RULES_FIELD_COUNT>& f)
{
    RuleSettings r;
    r.reneedRule = f[0];
    r.noGamePointIfReneed = f[1];
    r.underTrumpPenalty = f[2];
    r.target = f[3];
    r.hangJackPoints = f[4];
    r.tobagoRules = f[5];
    r.forceFollow = f[6];
    r.forceBeg = f[7];
    return r;
}

bool RuleSettings::operator==(const RuleSettings& o) const { return rulesFields(*this) == rulesFields(o); }

RulesBytes encodeRules(const RuleSettings& rules)
{
    RulesBytes bytes{};
    const auto fields = rulesFields(rules);
    for (int i = 0; i < RULES_FIELD_COUNT; ++i) putLe32(bytes.data() + 4 * i, fields[i]);
    return bytes;
}

RuleSettings decodeRules(const uint8_t* bytes)
{
    std::array<int32_t, RULES_FIELD_COUNT> fields{};
    for (int i = 0; i < RULES_FIELD_COUNT; ++i) fields[i] = getLe32(bytes + 4 * i);
    return rulesFromFields(fields);
}

bool rulesAreOffered(const RuleSettings& r)
{
    auto flag = [](int32_t v) { return v == 0 || v == 1; };
    return r.reneedRule >= 0 && r.reneedRule <= 5 && flag(r.noGamePointIfReneed) &&
           r.underTrumpPenalty >= 0 && r.underTrumpPenalty <= 2 && (r.target == 14 || r.target == 7) &&
           (r.hangJackPoints == 3 || r.hangJackPoints == 1) && flag(r.tobagoRules) &&
           r.forceFollow >= 0 && r.forceFollow <= 2 && flag(r.forceBeg);
}
