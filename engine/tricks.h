// Trick play: legality, applying a play with its penalties, the winner of a
// trick, gathering it, and the reneed call.
#pragma once

#include "engine/actions.h"

bool isLegalPlay(const GameState& game, int seat, const Card* card);
void applyPlay(GameState& game, int seat, Card* card);
int trickWinner(const GameState& game, const Card* trick);
void finishTrick(GameState& game);

// What a reneed call found, for the caller to be told.
enum ReneedOutcome { RENEED_CALL_IGNORED, RENEED_CALL_FALSE, RENEED_CALL_UNPUNISHED, RENEED_CALL_POINT, RENEED_CALL_BULLSEYE };
ReneedOutcome callReneed(GameState& game, int callerSeat);
void applyCallReneed(GameState& game, const GameAction& action);
