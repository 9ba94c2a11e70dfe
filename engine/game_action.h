// One game action: every change to a game in play is one of these.
#pragma once

#include <cstdint>

#include "engine/cards.h"

// Wire layout (12 bytes): seat, card, action; each 32-bit little-endian.
struct GameAction {
    int32_t seat = 0;
    int32_t card = NO_CARD;
    int32_t action = 0;
};
static_assert(sizeof(GameAction) == 12, "GameAction is three 32-bit fields");
