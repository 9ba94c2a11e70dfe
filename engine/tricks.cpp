#include "engine/tricks.h"

#include "engine/scoring.h"
#include "engine/table.h"

namespace {

constexpr int TRICK_PAUSE_MS = 1000;
constexpr int HUNG_JACK_TRICK_PAUSE_MS = 2000;
constexpr int UNDER_TRUMP_PAUSE_MS = 1800;

// Whether the card just played on a plain lead trumps under a trick that
// already holds only higher trumps, when the rest of the hand offered a
// card that would not have: one of another suit, or a trump above the
// trick's lowest. A seat left with nothing but lower trumps is not punished.
bool isUnderTrump(const GameState& game, const Card* played, const Card* restOfHand)
{
    const char trump = game.trumpSuit();
    const Card* lead = lastCard(game.trick);
    if (lead->suit == trump || played->suit != trump) return false;
    int lowest = 0;  // rank of the lowest trump already in the trick; 0 for none
    for (const Card* c = played->next; c; c = c->next)
        if (c->suit == trump && (!lowest || c->rank < lowest)) lowest = c->rank;
    if (!lowest || lowest <= played->rank) return false;
    for (const Card* c = restOfHand; c; c = c->next)
        if (c->suit != trump || c->rank > lowest) return true;
    return false;
}

// The seats of a team that a reneed call examines.
bool teamHas(const GameState& game, const Team& team, bool (*test)(const Seat&))
{
    if (test(*team.first)) return true;
    return game.seatCount != 2 && team.second && test(*team.second);
}

}  // namespace

bool isLegalPlay(const GameState& game, int seat, const Card* card)
{
    if (!game.trick) return true;
    const char trump = game.trumpSuit();
    if (card->suit == trump) return true;
    const Card* lead = lastCard(game.trick);
    const Card* hand = game.seats[seat].hand;
    switch (game.rules.forceFollow) {
    case FOLLOW_ALWAYS:
        return card->suit == lead->suit || !hasSuit(hand, lead->suit);
    case FOLLOW_ONLY_TRUMP:
        return lead->suit != trump || !hasSuit(hand, trump);
    default:
        return true;
    }
}

void applyPlay(GameState& game, int seatIndex, Card* card)
{
    Seat& seat = game.seats[seatIndex];
    Table& table = *game.table;
    seat.hand = removeCard(seat.hand, card);
    card->holder = seatIndex;
    card->next = game.trick;
    game.trick = card;
    const Card* lead = lastCard(game.trick);
    const char trump = game.trumpSuit();

    if (game.rules.underTrumpPenalty != UNDER_TRUMP_NONE && isUnderTrump(game, card, seat.hand)) {
        if (game.rules.underTrumpPenalty == UNDER_TRUMP_BULLSEYE) {
            bullseye(game, seat.team->opponent);
            return;
        }
        seat.team->score -= 1;
        refreshScores(game);
        table.showAnnouncement("Under Trump!");
        table.pauseDisplay(UNDER_TRUMP_PAUSE_MS);
    }

    if (card->suit != lead->suit && hasSuit(seat.hand, lead->suit)) {
        seat.reneged = true;
        if (lead->suit == trump) seat.renegedOnTrump = true;
    }

    game.turn = game.nextSeat[game.turn];
    if (game.trickCount + 1 == game.seatCount) {
        game.trickCount = 0;
        finishTrick(game);
    } else {
        game.trickCount += 1;
        runComputerTurn(game);
    }
}

int trickWinner(const GameState& game, const Card* trick)
{
    const char trump = game.trumpSuit();
    const Card* best = lastCard(const_cast<Card*>(trick));
    for (const Card* c = trick; c; c = c->next) {
        if (c->suit == trump) {
            if (best->suit != trump || c->rank > best->rank) best = c;
        } else if (c->suit == best->suit && c->rank > best->rank) {
            best = c;
        }
    }
    return best->holder;
}

void finishTrick(GameState& game)
{
    Table& table = *game.table;
    const int winner = trickWinner(game, game.trick);
    Team& winners = *game.seats[winner].team;
    game.turn = TURN_IDLE;
    table.drawTable(true);

    int pause = TRICK_PAUSE_MS;
    const char trump = game.trumpSuit();
    for (Card* c = game.trick; c; c = c->next) {
        if (c->suit == trump && c->rank == 11) {
            if (game.seats[c->holder].team == &winners) {
                winners.jackPoints = 1;
                winners.jackSafe = true;
            } else {
                winners.jackPoints = game.rules.hangJackPoints;
                winners.jackHung = true;
                table.showHangJack();
                pause = HUNG_JACK_TRICK_PAUSE_MS;
            }
        }
        game.lastTrick[c->holder] = cardIndex(c);
    }
    table.pauseDisplay(pause);

    Card* trick = game.trick;
    game.trick = nullptr;
    table.sweepTrickAway(trick, winner);
    winners.pile = prependList(winners.pile, trick);
    for (Team& team : game.teams) team.cardPoints = cardPoints(team.pile);

    game.turn = winner;
    if (game.seats[winner].hand) {
        refreshScores(game);
        runComputerTurn(game);
    } else {
        endRound(game);
    }
}

ReneedOutcome callReneed(GameState& game, int callerSeat)
{
    // Only while a round is in play: cards have been turned and the deal is over.
    if (!game.seatInPlay(callerSeat) || !game.kicked || game.turn == TURN_DEALING) return RENEED_CALL_IGNORED;
    Team& us = *game.seats[callerSeat].team;
    Team& them = *us.opponent;

    if (!teamHas(game, them, [](const Seat& s) { return s.reneged; })) {
        us.falseCalls += 1;
        if (us.falseCalls > 1) {
            us.score -= 1;
            refreshScores(game);
        }
        return RENEED_CALL_FALSE;
    }

    bool isBullseye = false;
    switch (game.rules.reneedRule) {
    case RENEED_NONE:
        break;
    case RENEED_ALL_BULLSEYE:
        isBullseye = true;
        break;
    case RENEED_TRUMP_BULLSEYE:
        isBullseye = teamHas(game, them, [](const Seat& s) { return s.renegedOnTrump; });
        break;
    case RENEED_BARE_JACK_BULLSEYE:
        isBullseye = teamHas(game, them, [](const Seat& s) { return s.renegedOnTrump && s.bareJack; });
        break;
    case RENEED_HIGH_TRUMP_BULLSEYE:
        isBullseye = teamHas(game, them, [](const Seat& s) { return s.renegedOnTrump && s.highTrump; });
        break;
    default:
        break;
    }

    if (!us.renegeCalled) them.renegeCalled = true;
    // A reneed is called once: calling it again finds nothing.
    for (Seat* seat : {them.first, them.second}) {
        if (seat) seat->reneged = seat->renegedOnTrump = false;
    }
    if (game.rules.reneedRule == RENEED_NONE) return RENEED_CALL_UNPUNISHED;
    if (isBullseye) {
        bullseye(game, &us);
        return RENEED_CALL_BULLSEYE;
    }
    them.score -= 1;
    refreshScores(game);
    return RENEED_CALL_POINT;
}

void applyCallReneed(GameState& game, const GameAction& action)
{
    const int caller = action.seat;
    const bool callerHere = game.seatInPlay(caller) && game.seats[caller].kind == LOCAL_HUMAN;
    switch (callReneed(game, caller)) {
    case RENEED_CALL_FALSE:
        if (callerHere) game.table->showInformation("Reneed", "No reneed was found.");
        break;
    case RENEED_CALL_UNPUNISHED:
        if (callerHere) game.table->showInformation("Reneed", "A reneed was found, but these rules give no penalty.");
        break;
    case RENEED_CALL_POINT:
        if (callerHere) game.table->showInformation("Reneed", "Reneed! The other team loses a point.");
        break;
    default:
        break;
    }
}
