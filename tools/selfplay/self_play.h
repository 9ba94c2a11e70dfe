// Headless play: whole games among computer seats through the real
// dispatcher and senders, over an in-memory loop or real loopback TCP,
// with the game's invariants checked after every applied action.
#pragma once

#include <cstdint>
#include <ostream>

#include "engine/rules.h"

enum class SelfPlayTransport { MEMORY, TCP };

struct SelfPlayOptions {
    int games = 100;
    int seats = 4;
    unsigned seed = 1;
    RuleSettings rules;
    SelfPlayTransport transport = SelfPlayTransport::MEMORY;
    // Team 1 plays random legal cards and random beg decisions.
    bool randomOpponent = false;
    // Prints every applied action.
    bool verbose = false;
    // First listening port tried by the tcp transport.
    uint16_t basePort = 4100;
    // Peer processes of a network game (4, 3 or 2), each with its own game
    // copy, listener and session; 0 plays a local game.
    int network = 0;
};

struct SelfPlayResult {
    long games = 0;
    long rounds = 0;
    long actions = 0;
    long won[2] = {0, 0};
    long violations = 0;
    // Network games: points of the action stream where the copies differed.
    long divergences = 0;
    bool allFinished = true;
    double seconds = 0;
};

SelfPlayResult runSelfPlay(const SelfPlayOptions& options, std::ostream& log);
// The network games of runSelfPlay.
void playNetworkGames(const SelfPlayOptions& options, SelfPlayResult& result, std::ostream& log);

// "games=N rounds=R actions=A won0=W0 won1=W1 violations=V seconds=T games_per_second=G",
// with " divergences=D" after violations for network games.
void printSummary(const SelfPlayResult& result, std::ostream& out, bool network = false);
