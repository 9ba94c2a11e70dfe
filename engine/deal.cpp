#include "engine/deal.h"

#include <cstdlib>

#include "engine/begging.h"
#include "engine/scoring.h"
#include "engine/table.h"

namespace {

constexpr int DEAL_ORDER[4] = {0, 2, 1, 3};
constexpr int KICK_PAUSE_MS = 2200;

}  // namespace

const KickScore* kickScore(const RuleSettings& rules, int rank)
{
    static const KickScore six{2, &Team::sixesKicked, "Six kicked!", "the six"};
    static const KickScore jack{3, &Team::jacksKicked, "Jack kicked!", "the jack"};
    static const KickScore ace{1, &Team::acesKicked, "Ace kicked!", "the ace"};
    static const KickScore two{2, &Team::twosKicked, "Two kicked!", "the two"};
    const bool tobago = rules.tobagoRules != 0;
    switch (rank) {
    case 6: return tobago ? nullptr : &six;
    case 11: return &jack;
    case 14: return &ace;
    case 2: return tobago ? &two : nullptr;
    default: return nullptr;
    }
}

std::string kickNote(const GameState& game, const KickScore& score)
{
    const Seat& dealer = game.seats[game.dealer];
    const std::string points = score.points == 1 ? "1 point" : std::to_string(score.points) + " points";
    return dealer.name + " kicked " + score.card + ": " + points + " to " + teamNames(game, *dealer.team) + ".";
}

bool drivesSeat(const GameState& game, int seat) { return game.isSeat(seat) && game.seats[seat].kind != REMOTE; }

void chooseDealer(GameState& game)
{
    if (!game.hosting) return;
    if (game.seatCount == 4)
        sendSetDealer(game, std::rand() % 4);
    else if (game.seatCount == 2)
        sendSetDealer(game, (std::rand() % 2) * 2);
}

void dealRound(GameState& game, int cardsEach)
{
    // Walk the local deck without changing it: the cards move only when the
    // deal actions come back.
    Card* card = game.deck;
    for (int round = 0; round < cardsEach; ++round) {
        for (int seat : DEAL_ORDER) {
            if (!game.seats[seat].inPlay()) continue;
            if (!card) {
                sendRedeal(game);
                return;
            }
            sendDealCard(game, seat, card);
            card = card->next;
        }
    }
    if (!card)
        sendRedeal(game);
    else
        sendKick(game, card);
}

void applySetDealer(GameState& game, const GameAction& action)
{
    if (!game.seatInPlay(action.seat)) return;
    game.dealer = action.seat;
    if (drivesSeat(game, game.dealer)) dealRound(game, 6);
}

void applyDealCard(GameState& game, const GameAction& action)
{
    if (!game.seatInPlay(action.seat)) return;
    Card* card = findCardByIndex(game.deck, action.card);
    if (!card) return;
    // Every process sees the dealer's answer only as the cards it deals.
    if (startsPackRun(game)) game.table->showNote(game.seats[game.dealer].name + " runs the pack.");
    game.deck = removeCard(game.deck, card);
    Seat& seat = game.seats[action.seat];
    seat.hand = insertSorted(card, seat.hand);
}

bool applyKick(GameState& game, const GameAction& action)
{
    Card* card = findCardByIndex(game.deck, action.card);
    if (!card) return true;
    game.deck = removeCard(game.deck, card);

    const Card* previous = game.kicked;
    const int eldest = game.nextSeat[game.dealer];
    int pause = 0;
    // A card that scored had its pause when it was turned; one that did not gets it now.
    if (previous && !kickScore(game.rules, previous->rank)) pause = KICK_PAUSE_MS;
    if (pause == 0 && game.turn == TURN_BEGGING && game.seats[eldest].kind != LOCAL_HUMAN) pause = KICK_PAUSE_MS;

    card->next = game.kicked;
    game.kicked = card;
    game.table->drawTable(true);
    if (previous && previous->suit != card->suit) pause = 0;

    Team& dealerTeam = *game.seats[game.dealer].team;
    if (const KickScore* score = kickScore(game.rules, card->rank)) {
        dealerTeam.score += score->points;
        dealerTeam.*(score->counter) += 1;
        game.table->showAnnouncement(score->banner);
        game.table->showNote(kickNote(game, *score));
        pause = KICK_PAUSE_MS;
    }
    game.table->pauseDisplay(pause);
    game.table->drawTable(true);
    refreshScores(game);

    if (dealerTeam.score >= game.rules.target) {
        gameOver(game, winningTeam(game));
        return false;
    }
    if (game.turn == TURN_DEALING) {
        game.turn = eldest;
        markPlayStart(game);
        if (game.seats[eldest].kind != REMOTE) {
            game.table->setBegEnabled(true);
            game.table->drawTable(true);
        }
        runComputerTurn(game);
    } else if (game.turn == TURN_BEGGING) {
        continueRunningPack(game, previous);
    }
    return true;
}

void applyRedeal(GameState& game)
{
    // The flags describe hands that were just thrown in; the next kick of
    // a fresh deal sets them again.
    for (Seat& seat : game.seats) seat.bareJack = seat.highTrump = false;
    gatherCards(game);
    game.turn = TURN_DEALING;
    if (drivesSeat(game, game.dealer)) dealRound(game, 6);
}

void markPlayStart(GameState& game)
{
    const char trump = game.trumpSuit();
    for (Seat& seat : game.seats) {
        Card* jack = findJack(seat.hand, trump);
        if (jack && countSuit(seat.hand, trump) == 1) seat.bareJack = true;
        for (Card* c = seat.hand; c; c = c->next)
            if (c->suit == trump && c->rank >= 10) seat.highTrump = true;
    }
}
