// The game the reader fuzz target feeds: four people at one machine, every
// action they send queued on an in-memory loopback and applied after each
// piece of input, as if it had come back through the socket.
#pragma once

#include <cstdlib>
#include <string>

#include "engine/loopback.h"
#include "tests/net/net_harness.h"

struct FuzzGame {
    FuzzGame()
    {
        std::srand(1);
        initGame(game);
        for (int i = 0; i < 4; ++i) setSeatName(game.seats[i], "P" + std::to_string(i));
        game.table = &table;
        game.outbox = &loopback;
        game.hosting = true;
        game.sessionMode = MODE_LOCAL;
        game.seats[0].connection = 0;
        game.turn = TURN_DEALING;
    }

    GameState game;
    QuietTable table;
    MemoryLoopback loopback;
};
