// The window that sums up a round; it stays open while play goes on.
#pragma once

#include <string>

#include <fx.h>

#include "engine/table.h"

// Built hidden and not yet created; its " OK " button only hides it, and
// the owner deletes it before showing the next one.
FXDialogBox* buildRoundSummary(FXWindow* owner, const RoundSummary& summary);

// One team's column as one line of a label: "Ann && Bo: Gained 1 point.
// Played high, 3 points towards game".
std::string summaryNote(const RoundSummaryColumn& column);
