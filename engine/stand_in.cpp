#include "engine/stand_in.h"

#include "engine/begging.h"
#include "engine/deal.h"
#include "engine/table.h"

namespace {

constexpr int LEFT_PAUSE_MS = 1800;
constexpr int BACK_PAUSE_MS = 1200;

bool noCardDealt(const GameState& game)
{
    if (game.kicked) return false;
    for (const Seat& seat : game.seats)
        if (seat.hand) return false;
    return true;
}

// The lost program may have owed the next move: the stand-in makes it.
void takeUpDuties(GameState& game, int seat)
{
    if (game.turn == seat) {
        if (begDecisionOpen(game)) game.table->setBegEnabled(true);
        runComputerTurn(game);
    } else if (game.dealer == seat && game.turn == TURN_BEGGING && game.kicked) {
        if (game.kicked->next)
            continueRunningPack(game, game.kicked->next);
        else
            applyBeg(game);  // the beg was never answered
    } else if (game.dealer == seat && game.turn == TURN_DEALING && noCardDealt(game)) {
        dealRound(game, 6);
    }
}

}  // namespace

bool begDecisionOpen(const GameState& game)
{
    return game.isSeat(game.turn) && game.turn == game.nextSeat[game.dealer] && !game.trick && game.kicked &&
           !game.kicked->next && !game.teams[0].pile && !game.teams[1].pile && !game.teams[0].tookOne &&
           !game.teams[1].tookOne;
}

void applyTakeover(GameState& game, const GameAction& action)
{
    if (!game.seatInPlay(action.seat) || game.seats[action.seat].standIn) return;
    Seat& seat = game.seats[action.seat];
    seat.standIn = true;
    if (game.hooks) game.hooks->seatTakenOver(game, action.seat);
    game.table->drawTable(true);
    game.table->showAnnouncement(seat.name + " left: a computer plays on");
    game.table->pauseDisplay(LEFT_PAUSE_MS);
    if (seat.kind == COMPUTER) takeUpDuties(game, action.seat);
}

void applyReturn(GameState& game, const GameAction& action)
{
    if (!game.seatInPlay(action.seat) || !game.seats[action.seat].standIn) return;
    Seat& seat = game.seats[action.seat];
    seat.standIn = false;
    if (game.hooks) game.hooks->seatReturned(game, action.seat);
    game.table->drawTable(true);
    game.table->showAnnouncement(seat.name + " is back");
    game.table->pauseDisplay(BACK_PAUSE_MS);
    if (seat.kind == LOCAL_HUMAN && game.turn == action.seat && begDecisionOpen(game)) game.table->setBegEnabled(true);
}
