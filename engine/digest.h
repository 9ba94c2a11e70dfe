// A digest of the part of a game that every copy in a network game must
// hold alike: compared between processes after each round, and by the
// self-play tool after every action.
#pragma once

#include <cstdint>

#include "engine/game_state.h"

// Leaves out what differs between copies by design: the order of undealt
// cards, each process's own seat kinds, connections and table positions,
// and the names, which the wire carries cut to its field.
uint64_t sharedDigest(const GameState& game);
