// The decision a game waits on. A computer's move answers one decision and
// is stale only once another is open: actions that leave the turn where it
// was (a reneed call, a takeover of another seat, a dropped play) do not
// make it stale.
#pragma once

#include <cstdint>

#include "engine/cards.h"

struct GameState;

struct Decision {
    int32_t seat = -1;         // the seat to move; -1 while no seat is
    bool begOpen = false;      // the eldest hand may still beg
    int32_t kicked = NO_CARD;  // the newest turned-up card: which deal
    uint64_t hand = 0;         // the seat's cards: which trick of the deal
    uint64_t trick = 0;

    bool operator==(const Decision& o) const
    {
        return seat == o.seat && begOpen == o.begOpen && kicked == o.kicked && hand == o.hand && trick == o.trick;
    }
    bool operator!=(const Decision& o) const { return !(*this == o); }
};

// The decision open now.
Decision openDecision(const GameState& game);
// The decision open now if a COMPUTER seat of this process must answer it;
// a decision of no seat otherwise.
Decision computerDecision(const GameState& game);
