// Begging: the eldest hand's beg, the dealer's give-one or running the pack.
#pragma once

#include "engine/actions.h"

// A person who may beg, holds no trump and plays under "Force beg if no
// trumps" must beg rather than play.
bool mustBeg(const GameState& game, int seat);

void applyBeg(GameState& game);
void applyGiveOne(GameState& game);
// Whether the next card dealt is the first of a running of the pack: a beg
// is being answered and every hand holds the same multiple of three.
bool startsPackRun(const GameState& game);
// The rest of a kick that ends a running of the pack; previous is the card
// turned before it.
void continueRunningPack(GameState& game, const Card* previous);

// "%s%s beg accepted." with "'" or "'s" after the name.
std::string begAcceptedText(const std::string& name);
