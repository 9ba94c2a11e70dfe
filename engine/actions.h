// Game actions: every change to a game is one of these, sent to every
// process of the game (the sender included) and applied in arrival order.
#pragma once

#include <cstdint>

#include "engine/game_state.h"


enum : int32_t {
    ACTION_PLAY = 0,
    ACTION_BEG = 1,
    ACTION_GIVE_ONE = 2,
    ACTION_DEAL = 3,
    ACTION_KICK = 4,
    ACTION_SET_DEALER = 5,
    ACTION_REDEAL = 6,
    // A reneed call; seat is the caller. Peers that predate it ignore it.
    ACTION_CALL_RENEED = 7,
    // Only the host sends these two, and only the host's connection is
    // believed. seat: the seat concerned; card: -1.
    // A computer at the host plays on for the person whose program was lost.
    ACTION_TAKEOVER = 8,
    // The person who left and joined again plays the seat from here on.
    ACTION_RETURN = 9,
};

// Senders: hand the action to the outbox once per seat that has a name and
// a connection. Sending never changes the sender's state.
void sendAction(GameState& game, int seat, int code, const Card* card);
void sendPlay(GameState& game, int seat, const Card* card);
void sendBeg(GameState& game, int seat);
void sendGiveOne(GameState& game);
void sendDealCard(GameState& game, int seat, const Card* card);
void sendKick(GameState& game, const Card* card);
void sendSetDealer(GameState& game, int seat);
void sendRedeal(GameState& game);
void sendCallReneed(GameState& game, int seat);
void sendTakeover(GameState& game, int seat);
void sendReturn(GameState& game, int seat);

// The single entry point that changes a game in play.
void applyAction(GameState& game, const GameAction& action);

// An action that has arrived. One that arrives while another is being
// applied (read inside a pause, a question box or the computer turn driver)
// waits until that one is done: a next round's deal must not land in the
// middle of the last trick of this one. So actions apply whole, one at a
// time, in the order they arrived.
void receiveAction(GameState& game, const GameAction& action);

// At a change of turn: runs the computer turn driver, if one is wired,
// unless it was already asked for the decision a computer seat of this
// process has open now.
void runComputerTurn(GameState& game);
// After any applied action: asks the driver only for an open decision of a
// computer seat of this process it was not asked for yet.
void checkComputerTurn(GameState& game);
// A held move found stale: asks for the decision open now, even if it was
// asked for before.
void recheckComputerTurn(GameState& game);
