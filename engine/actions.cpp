#include "engine/actions.h"

#include <cassert>
#include <cstdio>

#include "engine/begging.h"
#include "engine/deal.h"
#include "engine/invariants.h"
#include "engine/stand_in.h"
#include "engine/table.h"
#include "engine/tricks.h"

void sendAction(GameState& game, int seat, int code, const Card* card)
{
    GameAction action;
    action.seat = seat;
    action.card = card ? cardIndex(card) : NO_CARD;
    action.action = code;
    if (!game.outbox) return;
    if (game.actionRoute != -1) {
        game.outbox->sendAction(game.actionRoute, action);
        return;
    }
    for (const Seat& s : game.seats)
        if (s.inPlay() && s.connection != -1) game.outbox->sendAction(s.connection, action);
}

void sendPlay(GameState& game, int seat, const Card* card) { sendAction(game, seat, ACTION_PLAY, card); }
void sendBeg(GameState& game, int seat) { sendAction(game, seat, ACTION_BEG, nullptr); }
void sendGiveOne(GameState& game) { sendAction(game, game.dealer, ACTION_GIVE_ONE, nullptr); }
void sendDealCard(GameState& game, int seat, const Card* card) { sendAction(game, seat, ACTION_DEAL, card); }
void sendKick(GameState& game, const Card* card) { sendAction(game, game.dealer, ACTION_KICK, card); }
void sendSetDealer(GameState& game, int seat) { sendAction(game, seat, ACTION_SET_DEALER, nullptr); }
void sendRedeal(GameState& game) { sendAction(game, game.dealer, ACTION_REDEAL, nullptr); }
void sendCallReneed(GameState& game, int seat) { sendAction(game, seat, ACTION_CALL_RENEED, nullptr); }
void sendTakeover(GameState& game, int seat) { sendAction(game, seat, ACTION_TAKEOVER, nullptr); }
void sendReturn(GameState& game, int seat) { sendAction(game, seat, ACTION_RETURN, nullptr); }

namespace {

void askComputers(GameState& game, const Decision& open)
{
    game.computersAsked = open;
    // A seat whose person is back is handed over at its turn, when nobody
    // else can be sending: every copy then takes the return at one point.
    const int seat = game.turn;
    if (game.isSeat(seat) && game.seats[seat].standIn && game.seats[seat].kind == COMPUTER && game.hooks &&
        game.hooks->handSeatBack(game, seat))
        return;
    if (game.computers) game.computers->runComputerTurn(game);
}

#ifndef NDEBUG
void assertInvariants(const GameState& game)
{
    const std::vector<std::string> found = gameViolations(game, true);
    for (const std::string& v : found) std::fprintf(stderr, "game invariant broken: %s\n", v.c_str());
    assert(found.empty());
}
#endif

}  // namespace

void runComputerTurn(GameState& game)
{
    const Decision open = computerDecision(game);
    if (open.seat >= 0 && open == game.computersAsked) return;
    askComputers(game, open);
}

void checkComputerTurn(GameState& game)
{
    const Decision open = computerDecision(game);
    if (open == game.computersAsked) return;
    if (open.seat < 0) {
        game.computersAsked = open;
        return;
    }
    askComputers(game, open);
}

void recheckComputerTurn(GameState& game)
{
    game.computersAsked = {};
    checkComputerTurn(game);
}

static void applyPlayAction(GameState& game, const GameAction& action)
{
    game.table->setBegEnabled(false);
    Card* card = findCardByIndex(game.seats[action.seat].hand, action.card);
    if (!card) return;
    applyPlay(game, action.seat, card);
}

void receiveAction(GameState& game, const GameAction& action)
{
    game.arrived.push_back(action);
    if (game.applyingAction) return;
    game.applyingAction = true;
    while (!game.arrived.empty()) {
        const GameAction next = game.arrived.front();
        game.arrived.pop_front();
        // Counted first: a choice made while this one applies belongs to it.
        ++game.appliedActions;
        applyAction(game, next);
#ifndef NDEBUG
        assertInvariants(game);
#endif
        if (game.afterAction) game.afterAction(next);
        // Level-triggered: whatever the action was, the computers are asked
        // for a decision that is open and unanswered now.
        checkComputerTurn(game);
    }
    game.applyingAction = false;
}

void applyAction(GameState& game, const GameAction& action)
{
    switch (action.action) {
    case ACTION_PLAY:
        // Only the seat whose turn it is may play; anything else is dropped
        // without even a redraw.
        if (!game.isSeat(action.seat) || action.seat != game.turn) return;
        applyPlayAction(game, action);
        break;
    case ACTION_BEG:
        applyBeg(game);
        break;
    case ACTION_GIVE_ONE:
        applyGiveOne(game);
        break;
    case ACTION_DEAL:
        applyDealCard(game, action);
        break;
    case ACTION_KICK:
        if (!applyKick(game, action)) return;  // the kick ended the game
        break;
    case ACTION_SET_DEALER:
        applySetDealer(game, action);
        break;
    case ACTION_REDEAL:
        applyRedeal(game);
        break;
    case ACTION_CALL_RENEED:
        applyCallReneed(game, action);
        break;
    case ACTION_TAKEOVER:
        applyTakeover(game, action);
        break;
    case ACTION_RETURN:
        applyReturn(game, action);
        break;
    default:
        break;
    }
    game.table->drawTable(true);
}
