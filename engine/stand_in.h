// A computer that plays on for a person whose program was lost, and the
// seat's return to that person when they join again.
#pragma once

#include "engine/actions.h"

// ACTION_TAKEOVER: the seat is stood in for from here on. The process that
// now drives it picks up whatever the seat owes the game at this point.
void applyTakeover(GameState& game, const GameAction& action);
// ACTION_RETURN: the seat's person plays it again from here on.
void applyReturn(GameState& game, const GameAction& action);

// Whether the eldest hand may still beg: play has not begun on a fresh
// deal, and no beg has been answered.
bool begDecisionOpen(const GameState& game);
