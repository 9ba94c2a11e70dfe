#include <cstdlib>
#include <set>

#include "fixture.h"

TEST(Cards, IndexRoundTripsForEveryCard)
{
    CardStore store;
    buildDeck(store);
    std::set<int> seen;
    for (const Card& c : store) {
        const int i = cardIndex(&c);
        EXPECT_EQ(suitOfIndex(i), c.suit);
        EXPECT_EQ(rankOfIndex(i), c.rank);
        seen.insert(i);
    }
    EXPECT_EQ(seen.size(), 52u);
    EXPECT_EQ(indexOf("2D"), 0);
    EXPECT_EQ(indexOf("AD"), 12);
    EXPECT_EQ(indexOf("2C"), 13);
    EXPECT_EQ(indexOf("AH"), 38);
    EXPECT_EQ(indexOf("AS"), 51);
}

TEST(Cards, DeckIsBuiltClubsSpadesDiamondsHearts)
{
    CardStore store;
    Card* deck = buildDeck(store);
    EXPECT_EQ(countCards(deck), 52);
    EXPECT_EQ(nameOf(deck), "2C");
    EXPECT_EQ(nameOf(nthCard(deck, 13)), "2S");
    EXPECT_EQ(nameOf(nthCard(deck, 26)), "2D");
    EXPECT_EQ(nameOf(nthCard(deck, 51)), "AH");
    EXPECT_EQ(nthCard(deck, 52), nullptr);
    EXPECT_EQ(cardPoints(deck), 80);
}

TEST(Cards, ShuffleKeepsAllCardsAndNeverLeavesTheTopCardOnTop)
{
    CardStore store;
    Card* deck = buildDeck(store);
    std::srand(3);
    for (int i = 0; i < 20; ++i) {
        Card* top = deck;
        deck = shuffleDeck(deck);
        EXPECT_EQ(countCards(deck), 52);
        EXPECT_NE(deck, top);
    }
    std::set<const Card*> distinct;
    for (Card* c = deck; c; c = c->next) distinct.insert(c);
    EXPECT_EQ(distinct.size(), 52u);
}

TEST(Cards, InsertSortedKeepsHandInIndexOrder)
{
    CardStore store;
    buildDeck(store);
    Card* hand = nullptr;
    for (Card& c : store) {
        c.next = nullptr;
        hand = insertSorted(&c, hand);
    }
    int previous = -1;
    for (Card* c = hand; c; c = c->next) {
        EXPECT_GT(cardIndex(c), previous);
        previous = cardIndex(c);
    }
    EXPECT_EQ(countCards(hand), 52);
}

TEST(Cards, SuitQueriesOnListsWithoutTheSuit)
{
    CardStore store;
    Card* deck = buildDeck(store);
    Card* clubs = deck;  // the first thirteen are the clubs
    nthCard(deck, 12)->next = nullptr;
    EXPECT_EQ(lowestOfSuit(clubs, 'H'), nullptr);
    EXPECT_EQ(highestOfSuit(clubs, 'H'), nullptr);
    EXPECT_FALSE(hasSuit(clubs, 'D'));
    EXPECT_EQ(nameOf(lowestOfSuit(clubs, 'C')), "2C");
    EXPECT_EQ(nameOf(highestOfSuit(clubs, 'C')), "AC");
    EXPECT_EQ(countSuit(clubs, 'C'), 13);
    EXPECT_EQ(nameOf(findJack(clubs, 'C')), "JC");
    EXPECT_EQ(findCardByIndex(clubs, 64), nullptr);
    EXPECT_EQ(findCardByIndex(clubs, -1), nullptr);
}

TEST(Cards, RemoveAndPrependRelink)
{
    CardStore store;
    Card* deck = buildDeck(store);
    Card* third = nthCard(deck, 2);
    deck = removeCard(deck, third);
    EXPECT_EQ(third->next, nullptr);
    EXPECT_EQ(countCards(deck), 51);
    Card* first = deck;
    deck = removeCard(deck, first);
    EXPECT_EQ(nameOf(deck), "3C");
    deck = prependList(deck, first);
    EXPECT_EQ(deck, first);
    EXPECT_EQ(prependList(deck, nullptr), deck);
    EXPECT_EQ(lastCard(nullptr), nullptr);
}

class StateTest : public GameFixture {};

TEST_F(StateTest, GatherCardsReturnsEveryCardToTheDeck)
{
    seatPlayers(4);
    giveHand(0, {"2D", "3D"});
    giveHand(3, {"AS"});
    setTrump("JH");
    game.teams[1].pile = nullptr;
    Card* won = cardOf(game, "KC");
    game.deck = removeCard(game.deck, won);
    game.teams[0].pile = won;
    gatherCards(game);
    EXPECT_EQ(countCards(game.deck), 52);
    for (const Seat& s : game.seats) EXPECT_EQ(s.hand, nullptr);
    EXPECT_EQ(game.kicked, nullptr);
    EXPECT_EQ(game.teams[0].pile, nullptr);
}

TEST_F(StateTest, WinningTeamPrefersTeamZeroWhenBothReachTheTarget)
{
    game.teams[0].score = 14;
    game.teams[1].score = 15;
    EXPECT_EQ(winningTeam(game), &game.teams[0]);
    game.teams[0].score = 13;
    EXPECT_EQ(winningTeam(game), &game.teams[1]);
    game.teams[1].score = 13;
    EXPECT_EQ(winningTeam(game), nullptr);
}

TEST_F(StateTest, ConfigureTableLinksSeatsForTwoAndFour)
{
    seatPlayers(4);
    configureTable(game, 2);
    EXPECT_EQ(game.nextSeat[0], 2);
    EXPECT_EQ(game.nextSeat[2], 0);
    EXPECT_EQ(game.partnerSeat, -1);
    EXPECT_FALSE(game.seats[1].inPlay());
    EXPECT_FALSE(game.seats[3].inPlay());
    EXPECT_EQ(game.teams[0].second, nullptr);
    configureTable(game, 4);
    EXPECT_EQ((std::array<int32_t, 4>{3, 2, 0, 1}), game.nextSeat);
    EXPECT_EQ(game.seats[0].next, &game.seats[3]);
    EXPECT_EQ(game.teams[1].second, &game.seats[3]);
    EXPECT_EQ(game.partnerSeat, 1);
}
