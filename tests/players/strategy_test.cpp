#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "card_text.h"
#include "players/strategy.h"

namespace {

using Finder = std::function<Card*(Card* hand, char trump)>;

struct FinderRow {
    const char* what;
    Finder finder;
    const char* hand;
    const char* expected;
};

// Each row gets a fresh pack, so rows may reuse cards.
std::string runFinder(const FinderRow& row)
{
    CardStore store;
    buildDeck(store);
    CardText text(store);
    return nameOf(row.finder(text.hand(row.hand), 'S'));
}

Finder lowest(bool trumpFirst)
{
    return [trumpFirst](Card* hand, char trump) { return lowestCard(hand, trump, trumpFirst); };
}
Finder highest(bool trumpFirst)
{
    return [trumpFirst](Card* hand, char trump) { return highestCard(hand, trump, trumpFirst); };
}
Finder following(Card* (*finder)(Card*, char, char), char suit)
{
    return [finder, suit](Card* hand, char trump) { return finder(hand, trump, suit); };
}

struct PlayRow {
    const char* what;
    const char* hand;
    const char* trick;  // in order of play, lead first
    const char* expected;
};

// Spades are trumps unless a row says otherwise.
std::string play(Card* (*choose)(Card*, Card*, Card*), const PlayRow& row, char trump = 'S')
{
    CardStore store;
    buildDeck(store);
    CardText text(store);
    Card* hand = text.hand(row.hand);
    Card* trick = text.trick(row.trick);
    Card kicked;
    kicked.suit = trump;
    return nameOf(choose(hand, trick, &kicked));
}

void expectRows(Card* (*choose)(Card*, Card*, Card*), const std::vector<PlayRow>& rows)
{
    for (const PlayRow& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ": hand " + row.hand + ", trick " + row.trick);
        EXPECT_EQ(play(choose, row), row.expected);
    }
}

// Seeds rand() so that the next draw gives k = rand() % 3.
void seedForDraw(int k)
{
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        if (std::rand() % 3 == k) {
            std::srand(seed);
            return;
        }
    }
}

}  // namespace

TEST(Finders, FallbacksAndTiesFollowHandOrder)
{
    const std::vector<FinderRow> rows = {
        {"lowest trump", lowest(true), "3D 9S 5S", "5S"},
        {"lowest trump, none held", lowest(true), "5C 3D", "3D"},
        {"lowest plain, equal ranks", lowest(false), "5C 5D 9S", "5D"},
        {"lowest plain, none held", lowest(false), "9S 5S", "5S"},
        {"highest trump", highest(true), "AD 5S 9S", "9S"},
        {"highest trump, none held: lowest plain", highest(true), "QD 9C AH", "9C"},
        {"highest plain, equal ranks", highest(false), "KC KD 5S", "KD"},
        {"highest plain, none held: lowest trump", highest(false), "9S 5S", "5S"},
        {"lowest following", following(lowestFollowing, 'H'), "3D 9H 7H", "7H"},
        {"lowest following, void", following(lowestFollowing, 'H'), "8C 3D 5S", "3D"},
        {"lowest following, only trumps", following(lowestFollowing, 'H'), "9S 5S", "5S"},
        {"highest following", following(highestFollowing, 'H'), "3D 7H 9H", "9H"},
        {"highest following, void", following(highestFollowing, 'H'), "3D KC 5S", "KC"},
        {"highest following, only trumps", following(highestFollowing, 'H'), "9S 5S", "5S"},
        {"ten of the suit", [](Card* h, char) { return findTen(h, 'H'); }, "10D 10H", "10H"},
        {"no ten of the suit", [](Card* h, char) { return findTen(h, 'H'); }, "10D JH", "none"},
    };
    for (const FinderRow& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ": " + row.hand);
        EXPECT_EQ(runFinder(row), row.expected);
    }
}

TEST(Tactics, SpareTheJackGuardTheTenAvoidLeadingTens)
{
    const Finder sparing = lowTrumpSparingJack;
    const Finder guarded = lowTrumpGuarded;
    const Finder unlessTen = following(lowFollowingUnlessTen, 'H');
    const std::vector<FinderRow> rows = {
        {"sparing: jack lowest", sparing, "JS QS", "QS"},
        {"sparing: jack alone", sparing, "3D JS", "JS"},
        {"sparing: low trump", sparing, "4S JS", "4S"},
        {"sparing: no trump", sparing, "5C 3D", "3D"},
        {"guarded: 10 and J", guarded, "10S JS", "10S"},
        {"guarded: 10 and Q", guarded, "10S QS", "QS"},
        {"guarded: J and K", guarded, "JS KS", "KS"},
        {"guarded: ten alone", guarded, "3D 10S", "10S"},
        {"guarded: low trump", guarded, "3S 10S", "3S"},
        {"guarded: no trump", guarded, "5C 3D", "3D"},
        {"unless ten: low card", unlessTen, "3H 10H KH", "3H"},
        {"unless ten: ten lowest", unlessTen, "10H KH", "KH"},
        {"unless ten: ten alone", unlessTen, "10H 2S", "10H"},
        {"unless ten: void, plain ten lowest", unlessTen, "10D KC", "KC"},
    };
    for (const FinderRow& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ": " + row.hand);
        EXPECT_EQ(runFinder(row), row.expected);
    }
}

TEST(Strategy, LeadingDependsOnTheDrawAlike)
{
    struct Row {
        int k;
        const char* hand;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {0, "10D KC AH 3S", "AH"},  // the lowest plain card is a ten
        {2, "QD KC AH", "QD"},      // no trump: HT is the lowest plain card
        {0, "5D 5C 9S", "5D"},      // equal ranks: first in hand order
        {0, "10D 10C 4S", "10D"},   // the highest plain card is a ten too
        {0, "5S 9S", "5S"},         // no plain card
        {1, "5S 9S", "5S"},
        {1, "3D 10H 4S", "3D"},     // the highest plain card is a ten
        {1, "3D KC 4S", "KC"},
        {2, "3D KS", "KS"},
        {2, "3D 4S JS", "3D"},      // the jack is not above 11: as for k = 1
        {2, "3D 10H 4S", "3D"},
    };
    for (auto choose : {chooseCard, chooseCardTwoSeat}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string("k ") + std::to_string(row.k) + ", hand " + row.hand);
            seedForDraw(row.k);
            EXPECT_EQ(play(choose, {"", row.hand, "", ""}), row.expected);
        }
    }
}

TEST(Strategy, SecondToPlay)
{
    expectRows(chooseCard, {
        {"trump ten led, HT is the jack", "3D 4S JS", "10S", "4S"},
        {"low trump led, 10 and J", "10S JS", "3S", "10S"},
        {"low trump led, 10 and Q", "10S QS", "3S", "QS"},
        {"low trump led, J and K", "JS KS", "3S", "KS"},
        {"low lead, lowest follower", "3H 10H KH", "5H", "3H"},
        {"low lead, lowest follower a ten", "10H KH 4S", "5H", "KH"},
        {"high lead, beaten in suit", "3H KH 4S", "QH", "KH"},
        {"high lead, not beaten", "3H JH 4S", "QH", "3H"},
        {"ten led, beaten in suit", "3D JH", "10H", "JH"},
        {"ten led, trumped", "3H 9S 4S", "10H", "4S"},
        {"ten led, lowest trump the jack", "3H JS KS", "10H", "3H"},
        {"ten led, no trump", "3H 4D", "10H", "3H"},
        {"jack led, high trump", "4D 3S KS", "JS", "KS"},
        {"jack led, no high trump", "4D 3S 10S", "JS", "3S"},
        {"trump ten led, high trump", "4S QS", "10S", "QS"},
        {"trump ten led, jack alone", "3D JS", "10S", "JS"},
        {"trump ten led, no trump", "3D 5D", "10S", "3D"},
    });
}

TEST(Strategy, ThirdToPlay)
{
    expectRows(chooseCard, {
        {"king led, trump 6 second, jack held", "3D JS", "KS 6S", "JS"},
        {"king led, trump 6 second, ten held", "3S 10S", "KS 6S", "10S"},
        {"king led, trump 6 second", "3S 5S", "KS 6S", "3S"},
        {"king led, beaten second", "3S JS", "KS AS", "3S"},
        {"jack led, high trump beats second", "4S AS", "JS 3S", "AS"},
        {"jack led, highest not above jack", "4S 10S", "JS 3S", "4S"},
        {"jack led, plain second", "4S QS", "JS 3H", "QS"},
        {"jack led, second beats highest", "4S KS", "JS AS", "4S"},
        {"jack second, high trump", "4S QS", "5S JS", "QS"},
        {"jack second, lead not beaten", "4S KS", "AS JS", "4S"},
        {"ten led, HT the jack", "4S JS", "10S 3S", "4S"},
        {"ten led, beats second", "4S QS", "10S 3S", "QS"},
        {"plain ten second", "4S QS", "5S 10H", "4S"},
        {"plain lead, jack second, high trump", "3H QS", "5H JS", "QS"},
        {"plain lead, jack second, low trump", "3H 9S", "5H JS", "3H"},
        {"ten led, trumped low", "7H 5S", "10H 3H", "5S"},
        {"ten led, overtrumped", "7H 5S", "10H 4S", "5S"},
        {"ten led, trump too low", "3S 7H QH", "10H 4S", "7H"},
        {"ten led, followers too low to win", "5H 7H", "10H 3H", "5H"},
        {"ten second, no trump: high follower", "3H KH", "5H 10H", "KH"},
        {"ten second, only the jack: high follower", "3H KH JS", "5H 10H", "KH"},
        {"king led, ace", "2H AH", "KH 3H", "AH"},
        {"king led, low trump", "2H 4S", "KH 3H", "4S"},
        {"queen second, king", "2H KH", "5H QH", "KH"},
        {"queen second, jack not enough", "2H JH 4S", "5H QH", "4S"},
        {"queen second, trump ten", "2H 10S", "5H QH", "10S"},
        {"low cards", "2H 9H", "5H 3H", "2H"},
        {"low cards, lowest a ten", "10H AH", "5H 3H", "AH"},
    });
}

TEST(Strategy, FourthToPlay)
{
    expectRows(chooseCard, {
        // The one case that reneges: no trump, HT is the queen of diamonds.
        {"jack third, no trump", "QD AH", "5H 3C JS", "QD"},
        {"partner's jack beaten, LT is plain", "KD AH", "5H JS QS", "KD"},
        {"jack third, partner over it", "2H AS", "5H QS JS", "2H"},
        {"jack third, high trump", "2H KS", "5H 3C JS", "KS"},
        {"jack third, low trump", "2H 9S", "5H 3C JS", "2H"},
        {"partner's jack holds", "2H 4S", "5H JS 3S", "2H"},
        {"partner's jack beaten, LT over", "2H KS", "5H JS QS", "KS"},
        {"partner's jack beaten, HT over", "2H 3S AS", "5H JS QS", "AS"},
        {"partner's jack beaten, nothing over", "2H 3S", "5H JS QS", "2H"},
        {"partner's jack, ten in suit", "2H 10H", "5H JS 3C", "10H"},
        {"partner's jack, no ten", "2H KH", "5H JS 3C", "2H"},
        {"jack over a low trump", "2H JS", "5H 3H 4S", "JS"},
        {"jack under an ace", "2H JS", "5H 3H AS", "2H"},
        {"jack, partner over the third", "2H JS", "5H KS QS", "JS"},
        {"ten, all low", "2H 10H", "5H 3H 4H", "10H"},
        {"ten, partner trumped", "2H 10H", "KH 3S 4H", "10H"},
        {"ten, nothing for it", "2H 10H", "KH 3H 4H", "2H"},
        {"ten, third trumped", "2H 10H", "5H 3H 4S", "2H"},
        {"ten led, ace", "2H AH", "10H 3H 4H", "AH"},
        {"ten led, trump it", "2H 3S", "10H 3H 4H", "3S"},
        {"ten led, partner trumped", "3H 3S", "10H 2S 4H", "3H"},
        {"ten led, overtrump with LT", "3H 5S", "10H 2H 4S", "5S"},
        {"ten led, overtrump with HT", "3H 2S KS", "10H 2H 4S", "KS"},
        {"ten led, cannot overtrump", "3H 2S", "10H 2H 4S", "3H"},
        {"ten led, partner over the third", "3H 5S", "10H 6S 4S", "3H"},
        {"king led, ace", "2H AH", "KH 3H 4H", "AH"},
        {"king led, low trump", "2H 7S", "KH 3H 4H", "7S"},
        {"king led, trump above ten", "2H QS", "KH 3H 4H", "2H"},
        {"king led, partner trumped", "2H 7S", "KH 3S 4H", "2H"},
        {"king led, third trumped higher", "2H 7S", "KH 3H 8S", "2H"},
        {"king led, third trumped lower", "2H 9S", "KH 3H 8S", "9S"},
        {"low cards", "2H KH", "5H 3H 4H", "2H"},
        {"low cards, void, lowest a ten", "10D KC", "5H 3H 4H", "KC"},
        {"trump jack led, partner holds", "4S AS", "5S JS 3S", "4S"},
        {"trump jack led, HT takes", "2S AS", "JS 3S 4S", "AS"},
        {"trump jack third, HT over it", "2S AS", "5S 3S JS", "AS"},
        {"trump jack led, nothing takes", "2S 9S", "JS 3S 4S", "2S"},
        {"trump ten led, high trump", "2S KS", "10S 3S 4S", "KS"},
        {"trump ten led, low trumps", "2S 9S", "10S 3S 4S", "2S"},
        {"jack takes", "JS 2S", "5S 3S 6S", "JS"},
        {"partner holds, jack goes", "JS 2S", "5S 9S 6S", "JS"},
        {"jack under the king", "JS 2S", "KS 3S 4S", "2S"},
        {"partner holds, ten goes", "10S 2S", "5S 9S 6S", "10S"},
        {"all low, ten goes", "10S 2S", "5S 3S 6S", "10S"},
        {"king led, ten kept", "10S 2S", "KS 3S 4S", "2S"},
    });
}

TEST(Strategy, TwoSeatFollowing)
{
    expectRows(chooseCardTwoSeat, {
        {"trump ten led, jack above it", "3D 4S JS", "10S", "JS"},
        {"trump ten led, low trumps", "4S 9S", "10S", "4S"},
        {"low lead, ten before jack", "10H KH JS", "5H", "10H"},
        {"high lead, jack", "10H JS", "QH", "JS"},
        {"low lead", "2H KH", "5H", "2H"},
        {"high lead, beaten in suit", "2H KH 3S", "QH", "KH"},
        {"ten led, trumped", "2H 3S", "10H", "3S"},
        {"ten led, no trump, void", "3D", "10H", "3D"},
        {"king led, low trump", "2H 9S", "KH", "9S"},
        {"king led, trump ten kept", "2H 10S", "KH", "2H"},
        {"king led, no trump", "2H 3D", "KH", "2H"},
        {"jack led, high trump", "3S QS", "JS", "QS"},
        {"jack led, no high trump", "3S 10S", "JS", "3S"},
        {"low trump led, jack", "JS 3S", "5S", "JS"},
        {"queen led, jack kept", "JS 3S", "QS", "3S"},
        {"low trump led, ten", "10S 3S", "5S", "10S"},
        {"queen led, 10 and K", "10S KS", "QS", "KS"},
        {"low trump led, low trumps", "3S 9S", "5S", "3S"},
    });
}

TEST(Strategy, TrumpIsTheSuitOfTheNewestKick)
{
    const PlayRow row{"", "3H 4S", "10H", ""};
    EXPECT_EQ(play(chooseCard, row, 'S'), "4S");
    EXPECT_EQ(play(chooseCard, row, 'C'), "3H");

    CardStore store;
    buildDeck(store);
    CardText text(store);
    Card* hand = text.hand("3H 4S");
    Card* trick = text.trick("10H");
    Card* kicked = text.trick("2C 5S");  // 2C turned first, 5S after it
    EXPECT_EQ(nameOf(chooseCard(hand, trick, kicked)), "4S");
}

TEST(Strategy, RefusesWhatItCannotAnswer)
{
    CardStore store;
    buildDeck(store);
    CardText text(store);
    Card* hand = text.hand("3H 4S");
    Card* fullTrick = text.trick("5H 6H 7H 8H");
    Card* twoCards = text.trick("9H 10H");
    Card kicked;
    kicked.suit = 'S';
    EXPECT_EQ(chooseCard(nullptr, nullptr, &kicked), nullptr);
    EXPECT_EQ(chooseCardTwoSeat(nullptr, twoCards, &kicked), nullptr);
    EXPECT_EQ(chooseCard(hand, fullTrick, &kicked), nullptr);
    EXPECT_EQ(chooseCardTwoSeat(hand, twoCards, &kicked), nullptr);
    // Without a kick nothing is trump, and a card still comes back.
    EXPECT_EQ(nameOf(chooseCard(hand, twoCards, nullptr)), "3H");
}

TEST(Strategy, DrawsOnceOnEveryCall)
{
    struct Row {
        bool twoSeat;
        const char* hand;
        const char* trick;
    };
    const std::vector<Row> rows = {
        {false, "3H 4S", ""},
        {false, "3H 4S", "5H"},
        {false, "3H 4S", "5H 6H"},
        {false, "3H 4S", "5H 6H 7H"},
        {false, "", "5H"},
        {true, "3H 4S", ""},
        {true, "3H 4S", "5H"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.twoSeat ? "two seats" : "four seats") + ", trick " + row.trick);
        CardStore store;
        buildDeck(store);
        CardText text(store);
        Card* hand = text.hand(row.hand);
        Card* trick = text.trick(row.trick);
        Card kicked;
        kicked.suit = 'S';
        std::srand(11);
        (row.twoSeat ? chooseCardTwoSeat : chooseCard)(hand, trick, &kicked);
        const int afterCall = std::rand();
        std::srand(11);
        std::rand();
        EXPECT_EQ(afterCall, std::rand());
    }
}
