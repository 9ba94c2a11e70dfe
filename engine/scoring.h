// The end of a round and of a game.
#pragma once

#include "engine/table.h"
#include "engine/game_state.h"

void scoreRound(GameState& game);
void endRound(GameState& game);
// The summary of the round just scored, built before resetRound clears it.
RoundSummary buildRoundSummary(const GameState& game);
std::string formatTeamHeading(const GameState& game, const Team& team);
// A team's players by name for a sentence: "Dread and Hana", or one name.
std::string teamNames(const GameState& game, const Team& team);
void bullseye(GameState& game, Team* team);
void gameOver(GameState& game, Team* winner);
