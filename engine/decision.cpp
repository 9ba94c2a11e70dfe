#include "engine/decision.h"

#include "engine/game_state.h"
#include "engine/table.h"

namespace {

uint64_t cardsOf(const Card* list)
{
    uint64_t set = 0;
    for (; list; list = list->next) set |= uint64_t{1} << cardIndex(list);
    return set;
}

}  // namespace

Decision openDecision(const GameState& game)
{
    Decision d;
    if (!game.isSeat(game.turn)) return d;
    d.seat = game.turn;
    d.begOpen = game.table && game.table->begEnabled();
    d.kicked = game.kicked ? cardIndex(game.kicked) : NO_CARD;
    d.hand = cardsOf(game.seats[game.turn].hand);
    d.trick = cardsOf(game.trick);
    return d;
}

Decision computerDecision(const GameState& game)
{
    if (!game.isSeat(game.turn) || game.seats[game.turn].kind != COMPUTER) return {};
    return openDecision(game);
}
