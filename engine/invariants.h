// Checks of what must hold between any two applied actions.
#pragma once

#include <string>
#include <vector>

#include "engine/game_state.h"

// Every card in exactly one list, hands in ascending card index, turn one of
// its allowed values (a seat in play when it is a seat), trickCount below
// seatCount. With scoresRefreshed, also both scores at most the target.
std::vector<std::string> gameViolations(const GameState& game, bool scoresRefreshed);
