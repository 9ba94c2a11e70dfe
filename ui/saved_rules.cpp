#include "ui/saved_rules.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr const char* RULES_SECTION = "Rules";
// In the order of the rule fields.
constexpr const char* RULE_KEYS[RULES_FIELD_COUNT] = {
    "reneedRule", "noGamePointIfReneed", "underTrumpPenalty", "target",
    "hangJackPoints", "tobagoRules", "forceFollow", "forceBeg",
};

std::optional<int32_t> parseInt(const std::string& text)
{
    // strtol would pass over leading blanks and a plus sign.
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

RuleSettings loadRules(const SettingsStore& store)
{
    const auto defaults = rulesFields(RuleSettings{});
    auto fields = defaults;
    for (int i = 0; i < RULES_FIELD_COUNT; ++i) {
        const std::optional<std::string> stored = store.readString(RULES_SECTION, RULE_KEYS[i]);
        const std::optional<int32_t> value = stored ? parseInt(*stored) : std::nullopt;
        if (!value) continue;
        // Judged alone among defaults, so one bad entry costs only itself.
        auto trial = defaults;
        trial[i] = *value;
        if (rulesAreOffered(rulesFromFields(trial))) fields[i] = *value;
    }
    return rulesFromFields(fields);
}

void saveRules(SettingsStore& store, const RuleSettings& rules)
{
    const auto fields = rulesFields(rules);
    for (int i = 0; i < RULES_FIELD_COUNT; ++i) store.writeString(RULES_SECTION, RULE_KEYS[i], std::to_string(fields[i]));
    store.flush();
}
