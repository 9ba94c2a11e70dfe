#include "players/computer.h"

#include <cstdlib>

#include "engine/actions.h"
#include "engine/table.h"
#include "engine/tricks.h"
#include "players/strategy.h"

namespace {

constexpr int TEN = 10;
constexpr int JACK = 11;
constexpr int QUEEN = 12;
constexpr int ACE = 14;

// What both beg decisions look at in a hand.
struct TrumpHolding {
    int trumps = 0;
    int tens = 0;  // of any suit, the trump ten included
    int low = 0;   // ranks of the lowest and highest trump
    int high = 0;
};

TrumpHolding holdingOf(const Card* hand, const Card* kicked)
{
    const char trump = kicked ? kicked->suit : 0;
    TrumpHolding h;
    for (const Card* c = hand; c; c = c->next) {
        if (c->rank == TEN) ++h.tens;
        if (c->suit != trump) continue;
        if (h.trumps == 0 || c->rank < h.low) h.low = c->rank;
        if (h.trumps == 0 || c->rank > h.high) h.high = c->rank;
        ++h.trumps;
    }
    return h;
}

// A lone queen or king counts only with two tens beside it.
bool loneTrumpHolds(const TrumpHolding& h) { return h.high == ACE || (h.high > JACK && h.tens >= 2); }

}  // namespace

bool wantsToBeg(const Card* hand, const Card* kicked)
{
    if (!hand) return true;
    const TrumpHolding h = holdingOf(hand, kicked);
    if (h.trumps >= 3) return false;
    if (h.trumps == 2) return !(h.high > JACK || (h.low == 2 && h.high != JACK));
    if (h.trumps == 1) return !loneTrumpHolds(h);
    return true;
}

bool dealerAcceptsBeg(const Card* hand, const Card* kicked, int beggarScore, int target)
{
    // Giving one point would hand the beggars the game.
    if (beggarScore == target - 1) return true;
    if (!hand) return true;
    const TrumpHolding h = holdingOf(hand, kicked);
    if (h.trumps >= 3) return false;
    if (h.trumps == 2) return !(h.high > QUEEN || (h.low == 2 && h.high == QUEEN));
    if (h.trumps == 1) return !loneTrumpHolds(h);
    return true;
}

void TurnDriver::runComputerTurn(GameState& game)
{
    // Always first: this repaints between computer moves and may apply an
    // action already waiting, which can move the turn.
    game.table->processPendingEvents();
    const bool begOpen = game.table->begEnabled();
    const int seat = game.turn;
    if (!game.isSeat(seat) || game.seats[seat].kind != COMPUTER) return;
    const Decision answers = openDecision(game);
    if (begOpen && begs(game, seat)) {
        sendComputerAction(pace_, game, answers, ACTION_BEG, nullptr);
        return;
    }
    if (const Card* card = cardToPlay(game, seat)) sendComputerAction(pace_, game, answers, ACTION_PLAY, card);
}

void sendComputerAction(ComputerPace* pace, GameState& game, const Decision& answers, int code, const Card* card)
{
    if (!pace) {
        sendAction(game, answers.seat, code, card);
        return;
    }
    pace->hold([&game, answers, code, card] {
        if (computerDecision(game) == answers)
            sendAction(game, answers.seat, code, card);
        else
            recheckComputerTurn(game);
    });
}

bool ComputerStrategy::begs(const GameState& game, int seat) { return wantsToBeg(game.seats[seat].hand, game.kicked); }

const Card* ComputerStrategy::cardToPlay(const GameState& game, int seat)
{
    Card* hand = game.seats[seat].hand;
    if (game.seatCount == 2) return chooseCardTwoSeat(hand, game.trick, game.kicked);
    return chooseCard(hand, game.trick, game.kicked);
}

bool ComputerStrategy::dealerAcceptsBeg(const GameState& game)
{
    const Seat& dealer = game.seats[game.dealer];
    return ::dealerAcceptsBeg(dealer.hand, game.kicked, dealer.team->opponent->score, game.rules.target);
}

bool RandomPlayer::begs(const GameState&, int) { return std::rand() % 2 == 0; }

const Card* RandomPlayer::cardToPlay(const GameState& game, int seat)
{
    Card* hand = game.seats[seat].hand;
    int legal = 0;
    for (const Card* c = hand; c; c = c->next)
        if (isLegalPlay(game, seat, c)) ++legal;
    if (legal == 0) return nullptr;
    int pick = std::rand() % legal;
    for (const Card* c = hand; c; c = c->next) {
        if (isLegalPlay(game, seat, c) && pick-- == 0) return c;
    }
    return nullptr;
}

bool RandomPlayer::dealerAcceptsBeg(const GameState&) { return std::rand() % 2 == 0; }

TurnDriver& TeamPlayers::playerOf(const GameState& game, int seat) const
{
    return *players_[game.teamIndex(game.seats[seat].team)];
}

bool TeamPlayers::begs(const GameState& game, int seat) { return playerOf(game, seat).begs(game, seat); }

const Card* TeamPlayers::cardToPlay(const GameState& game, int seat)
{
    return playerOf(game, seat).cardToPlay(game, seat);
}

bool TeamPlayers::dealerAcceptsBeg(const GameState& game)
{
    return playerOf(game, game.dealer).dealerAcceptsBeg(game);
}
