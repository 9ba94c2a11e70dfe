// Display > Statistics: the figures computed from the game records, and a
// small chart of the person's results over time.
#pragma once

#include <fx.h>

#include "records/game_statistics.h"

// Modal; returns when the person closes it.
void showStatistics(FXWindow* owner, const GameStatistics& statistics);
