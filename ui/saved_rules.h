// The rule variations remembered between runs, section "Rules" of the
// settings, one entry per rule.
#pragma once

#include "engine/rules.h"
#include "records/settings_store.h"

// Each rule read on its own: a missing entry, or one the rule dialog does not
// offer, gives that rule its default.
RuleSettings loadRules(const SettingsStore& store);
void saveRules(SettingsStore& store, const RuleSettings& rules);
