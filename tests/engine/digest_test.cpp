// The digest that copies of a network game compare: alike for copies that
// differ only where each process may differ, unlike for any shared change.
#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

#include "engine/digest.h"

namespace {

void nameSeats(GameState& game)
{
    for (int i = 0; i < 4; ++i) setSeatName(game.seats[i], "P" + std::to_string(i));
}

TEST(SharedDigest, CopiesAlikeBeyondEachProcessesOwnPartsAgree)
{
    GameState a;
    GameState b;
    std::srand(1);
    initGame(a);
    std::srand(2);
    initGame(b);  // the undealt cards lie in another order
    nameSeats(a);
    nameSeats(b);
    setSeatName(b.seats[0], std::string(70, 'x'));  // a long name, as the wire cuts it elsewhere
    b.seats[0].kind = REMOTE;
    b.seats[3].connection = 4;
    b.localSeat = 3;
    b.tablePosition = {3, 2, 0, 1};
    EXPECT_EQ(sharedDigest(a), sharedDigest(b));
}

TEST(SharedDigest, AnySharedDifferenceShows)
{
    const std::function<void(GameState&)> changes[] = {
        [](GameState& g) { g.teams[1].score = 3; },
        [](GameState& g) { g.dealer = 2; },
        [](GameState& g) { g.turn = TURN_BEGGING; },
        [](GameState& g) { g.seats[2].bareJack = true; },
        [](GameState& g) { g.rules.target = 7; },
        [](GameState& g) { clearSeatName(g.seats[1]); },
        [](GameState& g) {
            Card* card = g.deck;
            g.deck = card->next;
            card->next = g.seats[1].hand;
            g.seats[1].hand = card;
        },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        GameState a;
        GameState b;
        initGame(a);
        initGame(b);
        nameSeats(a);
        nameSeats(b);
        changes[i](b);
        EXPECT_NE(sharedDigest(a), sharedDigest(b));
    }
}

}  // namespace
