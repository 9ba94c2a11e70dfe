#include "engine/scoring.h"

#include "fixture.h"

// A round's piles laid out by hand: spades trumps, four seats.
class ScoringTest : public GameFixture {
protected:
    ScoringTest()
    {
        seatPlayers(4);
        setTrump("3S");
        game.dealer = 0;
    }
    // Puts cards into a team's pile, each marked as played by holder.
    void won(int team, int holder, std::initializer_list<const char*> cards)
    {
        for (const char* text : cards) {
            Card* c = cardOf(game, text);
            game.deck = removeCard(game.deck, c);
            c->holder = holder;
            c->next = game.teams[team].pile;
            game.teams[team].pile = c;
        }
        for (Team& t : game.teams) t.cardPoints = cardPoints(t.pile);
    }
};

TEST_F(ScoringTest, HighThenLowThenJackThenGameWithStops)
{
    game.teams[0].score = game.teams[0].startScore = 13;
    game.teams[1].score = game.teams[1].startScore = 13;
    won(0, 0, {"AS"});
    won(1, 2, {"2S", "10D", "10H"});
    game.teams[1].jackPoints = 1;
    scoreRound(game);
    EXPECT_EQ(game.teams[0].score, 14);
    EXPECT_EQ(game.teams[1].score, 13);
    EXPECT_TRUE(game.teams[0].wonHigh);
    EXPECT_FALSE(game.teams[1].wonLow);
}

TEST_F(ScoringTest, PointsGoToTheHolderNotTheTrickWinner)
{
    won(0, 3, {"KS", "4S"});  // team 0 took them, but seat 3 of team 1 played them
    won(1, 2, {"10C"});
    scoreRound(game);
    EXPECT_EQ(game.teams[1].score, 3) << "high, low and game";
    EXPECT_EQ(game.teams[0].score, 0);
}

TEST_F(ScoringTest, TableOfRounds)
{
    struct Case {
        const char* what;
        std::vector<const char*> pile0;  // played by seat 0
        std::vector<const char*> pile1;  // played by seat 2
        int jack0, jack1;
        bool noGamePoint, renegeCalled0;
        int score0, score1;
    };
    const Case cases[] = {
        {"one trump is high and low", {}, {"7S", "KD"}, 0, 0, false, false, 0, 3},
        {"no trump played", {"AD", "KD"}, {"QD"}, 0, 0, false, false, 1, 0},
        {"equal card points", {"10D", "10H", "10C", "10S"}, {"AD", "AH", "AC", "AS", "KD", "KH", "KC", "KS", "QD", "QH", "QC", "QS", "JD", "JC", "JH", "JS"}, 0, 0, false, false, 1, 1},
        {"jack points added", {"5S"}, {"4S"}, 3, 0, false, false, 4, 1},
        {"game withheld after a called renege", {"10D", "9S"}, {"2S"}, 0, 0, true, true, 1, 1},
        {"renege called but rule off", {"10D", "9S"}, {"2S"}, 0, 0, false, true, 2, 1},
    };
    for (const Case& c : cases) {
        gatherCards(game);
        setTrump("3S");
        for (Team& t : game.teams) {
            t.score = 0;
            t.wonGame = t.wonHigh = t.wonLow = false;
        }
        game.rules.noGamePointIfReneed = c.noGamePoint;
        game.teams[0].renegeCalled = c.renegeCalled0;
        for (const char* card : c.pile0) won(0, 0, {card});
        for (const char* card : c.pile1) won(1, 2, {card});
        game.teams[0].jackPoints = c.jack0;
        game.teams[1].jackPoints = c.jack1;
        scoreRound(game);
        EXPECT_EQ(game.teams[0].score, c.score0) << c.what;
        EXPECT_EQ(game.teams[1].score, c.score1) << c.what;
    }
}

TEST_F(ScoringTest, SummaryListsOnlyTheLinesThatApply)
{
    game.seatCount = 4;
    setSeatName(game.seats[0], "Ann");
    setSeatName(game.seats[1], "Bob");
    Team& t0 = game.teams[0];
    Team& t1 = game.teams[1];
    t0.wonHigh = t0.wonLow = t0.wonGame = true;
    t0.jackSafe = true;
    t0.acesKicked = 1;
    t0.jacksKicked = 2;
    t0.twosKicked = 2;
    t0.cardPoints = 1;
    t0.score = 6;
    t0.startScore = 0;
    t1.jackHung = true;
    t1.tookOne = true;
    t1.sixesKicked = 1;
    t1.cardPoints = 40;
    t1.score = 4;
    t1.startScore = 5;
    const RoundSummary s = buildRoundSummary(game);
    EXPECT_EQ(s.teams[0].heading, "Ann && Bob");
    EXPECT_EQ(s.teams[0].lines, (std::vector<std::string>{"Played high", "Played low", "Played jack safely", "Kicked an ace",
                                                          "Kicked 2 jacks", "Kicked 2 twos", "1 point towards game",
                                                          "Won game point"}));
    EXPECT_EQ(s.teams[0].gained, "Gained 6 points");
    EXPECT_EQ(s.teams[1].lines,
              (std::vector<std::string>{"Hung jack", "Took one", "Kicked a six", "40 points towards game"}));
    EXPECT_EQ(s.teams[1].gained, "Gained -1 points");
    t1.score = 6;
    EXPECT_EQ(buildRoundSummary(game).teams[1].gained, "Gained 1 point");
    configureTable(game, 2);
    EXPECT_EQ(buildRoundSummary(game).teams[0].heading, "Ann");
}

TEST_F(ScoringTest, EndRoundShowsTheSummaryAndPassesTheDeal)
{
    won(0, 0, {"AS", "2S"});
    won(1, 2, {"10D"});
    endRound(game);
    ASSERT_EQ(table.summaries.size(), 1u);
    EXPECT_EQ(table.summaries[0].teams[0].gained, "Gained 2 points");
    EXPECT_EQ(game.teams[0].score, 2);
    EXPECT_EQ(game.teams[0].startScore, 2);
    EXPECT_FALSE(game.teams[0].wonHigh) << "the round was reset";
    EXPECT_EQ(countCards(game.deck), 52);
    EXPECT_EQ(game.dealer, 3);
    EXPECT_EQ(game.turn, TURN_DEALING);
    EXPECT_EQ(loop.pending().size(), 25u) << "the next dealer deals";
}

TEST_F(ScoringTest, PlayAgainStartsANewGameWithTheSamePlayers)
{
    game.teams[0].score = 13;
    won(0, 0, {"AS"});
    table.answers = {true};
    endRound(game);
    EXPECT_EQ(table.announcements, std::vector<std::string>{"You Win!"});
    EXPECT_EQ(hooks.recorded, 1);
    EXPECT_EQ(game.teams[0].score, 0);
    EXPECT_EQ(game.turn, TURN_DEALING);
    EXPECT_TRUE(game.seats[2].inPlay());
    ASSERT_EQ(loop.pending().size(), 1u);
    EXPECT_EQ(loop.pending().front().action, ACTION_SET_DEALER);
    EXPECT_EQ(hooks.sessionsEnded, 0);
}

// Rules changed during a game wait for the next one: "Play again" is one.
TEST_F(ScoringTest, PlayAgainTakesTheRulesChosenDuringTheGame)
{
    game.pendingRules.target = 7;
    game.teams[0].score = 13;
    won(0, 0, {"AS"});
    table.answers = {true};
    endRound(game);
    EXPECT_EQ(game.rules.target, 7);
}
