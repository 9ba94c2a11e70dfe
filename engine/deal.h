// The start of a round: choosing the dealer, dealing and the kick.
#pragma once

#include <string>

#include "engine/actions.h"

// What a turned-up card scores for the dealer's team, with its counter and
// banner; nullptr for a card that scores nothing under these rules.
struct KickScore {
    int points;
    int32_t Team::*counter;
    const char* banner;
    const char* card;  // as a note names it: "the jack"
};
const KickScore* kickScore(const RuleSettings& rules, int rank);
// Who kicked and how much it gave: "Dread kicked the jack: 3 points to Dread and Hana."
std::string kickNote(const GameState& game, const KickScore& score);

// A hosting process picks the first dealer at random and sends it.
void chooseDealer(GameState& game);
// In the dealer's process: sends cardsEach cards to every seat in play, one
// at a time in the order 0, 2, 1, 3, then one kick.
void dealRound(GameState& game, int cardsEach);

void applySetDealer(GameState& game, const GameAction& action);
void applyDealCard(GameState& game, const GameAction& action);
// Returns false when the kick ended the game.
bool applyKick(GameState& game, const GameAction& action);
void applyRedeal(GameState& game);
void markPlayStart(GameState& game);

// Whether this process deals, answers begs and so on for the dealer.
bool drivesSeat(const GameState& game, int seat);
