#include "random_round.h"

#include <algorithm>
#include <vector>

#include "engine/deal.h"

RoundSetup randomSetup(std::mt19937& rng)
{
    auto pick = [&rng](int n) { return static_cast<int>(rng() % n); };
    RoundSetup s;
    s.seatCount = pick(2) ? 4 : 2;
    s.handSize = 6 + 3 * pick(3);
    s.rules.reneedRule = pick(6);
    s.rules.noGamePointIfReneed = pick(2);
    s.rules.underTrumpPenalty = pick(3);
    s.rules.target = pick(2) ? 14 : 7;
    s.rules.hangJackPoints = pick(2) ? 3 : 1;
    s.rules.tobagoRules = pick(2);
    s.rules.forceFollow = pick(3);
    s.rules.forceBeg = pick(2);
    for (int t = 0; t < 2; ++t) {
        s.scores[t] = pick(s.rules.target + 3) - 3;
        s.renegeCalled[t] = pick(4) == 0;
    }
    s.dealer = s.seatCount == 2 ? 2 * pick(2) : pick(4);
    return s;
}

void dealRandomRound(GameState& game, const RoundSetup& setup, std::mt19937& rng)
{
    initGame(game);
    configureTable(game, setup.seatCount);
    for (int s = 0; s < 4; ++s) {
        if (setup.seatCount == 2 && s % 2 == 1) continue;
        setSeatName(game.seats[s], "P" + std::to_string(s));
        game.seats[s].kind = REMOTE;
    }
    game.rules = setup.rules;
    for (int t = 0; t < 2; ++t) {
        game.teams[t].score = setup.scores[t];
        game.teams[t].renegeCalled = setup.renegeCalled[t];
    }
    game.dealer = setup.dealer;

    std::vector<Card*> deck;
    for (Card* c = game.deck; c; c = c->next) deck.push_back(c);
    // The deal depends on rng alone, not on the rand() shuffle of initGame.
    std::sort(deck.begin(), deck.end(), [](const Card* a, const Card* b) { return cardIndex(a) < cardIndex(b); });
    std::shuffle(deck.begin(), deck.end(), rng);
    size_t next = 0;
    for (int s = 0; s < 4; ++s) {
        if (!game.seatInPlay(s)) continue;
        for (int i = 0; i < setup.handSize; ++i) {
            Card* c = deck[next++];
            game.deck = removeCard(game.deck, c);
            game.seats[s].hand = insertSorted(c, game.seats[s].hand);
        }
    }
    Card* kick = deck[next];
    game.deck = removeCard(game.deck, kick);
    game.kicked = kick;
    game.turn = game.nextSeat[game.dealer];
    markPlayStart(game);
}
