// Random rounds in a real engine game, for checking the Expert's own model
// of a round and its view of a seat against the engine.
#pragma once

#include <functional>
#include <random>

#include "engine/actions.h"
#include "engine/headless_table.h"

// A table that reports each trick's winner and the scores when the round
// summary is shown, and a hook that reports the end of a game.
class WatchingTable : public HeadlessTable {
public:
    void sweepTrickAway(Card*, int winnerSeat) override
    {
        if (onTrick) onTrick(winnerSeat);
    }
    std::function<void(int)> onTrick;
};

struct RoundSetup {
    int seatCount = 4;
    int handSize = 6;
    RuleSettings rules;
    int scores[2] = {0, 0};
    bool renegeCalled[2] = {false, false};
    int dealer = 0;
};

// Any rules the dialog offers, scores short of the target, 6, 9 or 12
// cards each, two or four seats.
RoundSetup randomSetup(std::mt19937& rng);

// Seats the game (every seat REMOTE, so the engine deals and decides
// nothing by itself), deals the hands from a deck shuffled by rng, turns up
// one card and gives the eldest hand the turn.
void dealRandomRound(GameState& game, const RoundSetup& setup, std::mt19937& rng);
