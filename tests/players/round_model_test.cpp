#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/tricks.h"
#include "players/round_model.h"
#include "random_round.h"

namespace {

class RecordingHooks : public GameHooks {
public:
    void recordGameResult(const GameState&, int winnerTeam) override { winner = winnerTeam; }
    void endSession(GameState&) override {}
    int winner = -2;
};

std::array<CardSet, 4> handsOf(const GameState& game)
{
    std::array<CardSet, 4> hands{};
    for (int s = 0; s < 4; ++s) hands[s] = cardSetOf(game.seats[s].hand);
    return hands;
}

}  // namespace

// The search trusts its model of a round; here the model plays the same
// cards as the engine, round after random round, under every rule setting:
// the same legal cards at every turn, the same trick winners and turns, the
// same penalties, and the same scores (or bullseye) at the end.
TEST(RoundModel, PlaysAndScoresRoundsAsTheEngineDoes)
{
    std::mt19937 rng(20261210);
    int bullseyes = 0;
    int underTrumpPoints = 0;
    for (int round = 0; round < 3000; ++round) {
        const RoundSetup setup = randomSetup(rng);
        GameState game;
        WatchingTable table;
        RecordingHooks hooks;
        game.table = &table;
        game.hooks = &hooks;
        dealRandomRound(game, setup, rng);

        RoundModel model = roundFromView(makeSeatView(game, game.turn, false), handsOf(game));
        std::vector<int> engineWinners;
        std::vector<int> modelWinners;
        std::array<int32_t, 2> summaryScores{{-99, -99}};
        table.onTrick = [&engineWinners](int seat) { engineWinners.push_back(seat); };
        table.onRoundSummary = [&game, &summaryScores](const RoundSummary&) {
            summaryScores = {{game.teams[0].score, game.teams[1].score}};
        };

        while (game.isSeat(game.turn)) {
            SCOPED_TRACE("round " + std::to_string(round));
            const int seat = game.turn;
            ASSERT_EQ(model.turn, seat);
            CardSet engineLegal = 0;
            for (const Card* c = game.seats[seat].hand; c; c = c->next)
                if (isLegalPlay(game, seat, c)) engineLegal |= cardBit(cardIndex(c));
            ASSERT_EQ(legalCards(model), engineLegal);

            // Mostly legal cards, sometimes any card: the engine takes a
            // reneed from a player, and so must the model.
            const CardSet from = rng() % 10 == 0 ? cardSetOf(game.seats[seat].hand) : engineLegal;
            std::vector<int> choices;
            for (CardSet c = from; c; c &= c - 1) choices.push_back(__builtin_ctzll(c));
            const int card = choices[rng() % choices.size()];
            const bool underTrump = isUnderTrumpPlay(model, card);

            const int before = game.seats[seat].team->score;
            applyPlay(game, seat, findCardByIndex(game.seats[seat].hand, card));
            playCard(model, card);
            if (model.trickLength == 0 && model.bullseyeTeam < 0) modelWinners.push_back(model.turn);
            if (model.bullseyeTeam >= 0) break;
            // The last card scores the round and clears it in the engine.
            if (model.over()) continue;
            if (underTrump && setup.rules.underTrumpPenalty == UNDER_TRUMP_ONE_POINT) {
                ++underTrumpPoints;
                EXPECT_EQ(game.teams[RoundModel::teamOf(seat)].score, before - 1);
            }
            ASSERT_EQ(model.scores[RoundModel::teamOf(seat)], game.seats[seat].team->score);
        }
        EXPECT_EQ(modelWinners, engineWinners);
        const int reached = scoreRound(model);
        if (model.bullseyeTeam >= 0) {
            ++bullseyes;
            EXPECT_EQ(hooks.winner, model.bullseyeTeam);
            continue;
        }
        EXPECT_EQ(summaryScores[0], model.scores[0]) << "round " << round;
        EXPECT_EQ(summaryScores[1], model.scores[1]) << "round " << round;
        EXPECT_EQ(hooks.winner, reached < 0 ? -2 : reached) << "round " << round;
    }
    // The rare paths were taken.
    EXPECT_GT(bullseyes, 10);
    EXPECT_GT(underTrumpPoints, 10);
}

// Hearts led, then the 6 and king of spades (trumps): the 4 of spades is an
// under-trump unless the hand held nothing above the trick's lowest trump
// and no card of another suit.
TEST(RoundModel, UnderTrumpIsForgivenOnlyWhenForced)
{
    auto spade = [](int rank) { return 3 * 13 + rank - 2; };
    struct Case {
        std::vector<int> hand;  // spades held with the 4
        bool punished;
    };
    const Case cases[] = {{{9}, true}, {{5}, false}, {{2, 5}, false}, {{14}, true}};
    for (const Case& c : cases) {
        RoundModel r;
        r.trump = 3;
        r.rules.underTrumpPenalty = UNDER_TRUMP_ONE_POINT;
        r.trickCards = {{static_cast<int8_t>(2 * 13 + 5 - 2), static_cast<int8_t>(spade(6)),
                         static_cast<int8_t>(spade(13)), -1}};
        r.trickSeats = {{0, 3, 1, -1}};
        r.trickLength = 3;
        r.turn = 2;
        r.hands[2] = cardBit(spade(4));
        for (int rank : c.hand) r.hands[2] |= cardBit(spade(rank));
        SCOPED_TRACE(::testing::PrintToString(c.hand));
        EXPECT_EQ(isUnderTrumpPlay(r, spade(4)), c.punished);
        EXPECT_EQ((sensibleCards(r) & cardBit(spade(4))) == 0, c.punished);
    }
}
