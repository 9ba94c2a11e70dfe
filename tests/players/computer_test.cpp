#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "card_text.h"
#include "players/computer.h"

namespace {

struct BegRow {
    const char* hand;  // spades are trumps
    bool expected;
};

// Runs a decision on a fresh pack with the 5 of spades turned up.
template <typename Decide>
bool decide(const char* hand, Decide decision)
{
    CardStore store;
    buildDeck(store);
    CardText text(store);
    Card* kicked = text.trick("5S");
    return decision(text.hand(hand), kicked);
}

}  // namespace

TEST(WantsToBeg, StandsOnLengthOrAHighTrump)
{
    const std::vector<BegRow> rows = {
        {"2S 3S 4S 9D 8C 7H", false},
        {"2S 5S 9D 8C 7H 6H", false},   // the 2 with a companion below the jack
        {"2S 10S 9D 8C 7H 6H", false},
        {"2S JS 9D 8C 7H 6H", true},
        {"9S JS 9D 8C 7H 6H", true},
        {"3S 9S 9D 8C 7H 6H", true},
        {"4S QS 9D 8C 7H 6H", false},   // a queen above is enough
        {"AS 9D 8C 7H 6H 4H", false},
        {"KS 10D 10C 8C 7H 6H", false},
        {"KS 10D 9C 8C 7H 6H", true},
        {"JS 10D 10C 8C 7H 6H", true},
        {"AD KC QH JH 10H 9D", true},   // no trump
    };
    for (const BegRow& row : rows) {
        SCOPED_TRACE(row.hand);
        EXPECT_EQ(decide(row.hand, wantsToBeg), row.expected);
    }
    EXPECT_TRUE(wantsToBeg(nullptr, nullptr));
}

TEST(DealerAcceptsBeg, TakesOneOnStrengthUnlessThatLosesTheGame)
{
    // expected: the answer with the beggars on 5 of 14.
    const std::vector<BegRow> rows = {
        {"2S QS 9D 8C 7H 6H", false},
        {"3S QS 9D 8C 7H 6H", true},    // the dealer needs a king or an ace
        {"4S KS 9D 8C 7H 6H", false},
        {"3S AS 9D 8C 7H 6H", false},
        {"2S 5S 9D 8C 7H 6H", true},
        {"2S 3S 4S 9D 8C 7H", false},
        {"AS 9D 8C 7H 6H 4H", false},
        {"KS 10D 10C 8C 7H 6H", false},
        {"KS 10D 9C 8C 7H 6H", true},
        {"JS 10D 10C 8C 7H 6H", true},
        {"AD KC QH JH 10H 9D", true},
    };
    struct Score {
        int beggars;
        int target;
        bool alwaysAccepts;
    };
    const std::vector<Score> scores = {{5, 14, false}, {12, 14, false}, {13, 14, true},
                                       {6, 7, true},   {5, 7, false},   {6, 14, false}, {14, 14, false}};
    for (const Score& score : scores) {
        for (const BegRow& row : rows) {
            SCOPED_TRACE(std::string(row.hand) + " at " + std::to_string(score.beggars) + " of " +
                         std::to_string(score.target));
            const bool accepts = decide(row.hand, [&](const Card* hand, const Card* kicked) {
                return dealerAcceptsBeg(hand, kicked, score.beggars, score.target);
            });
            EXPECT_EQ(accepts, score.alwaysAccepts || row.expected);
        }
    }
    EXPECT_TRUE(dealerAcceptsBeg(nullptr, nullptr, 5, 14));
}
