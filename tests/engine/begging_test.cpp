#include "engine/begging.h"
#include "engine/deal.h"

#include "fixture.h"

// Dealer seat 0 with seat 3 as the eldest hand, after a fresh deal of six.
class BeggingTest : public GameFixture {
protected:
    void dealFresh(SeatKind dealerKind, SeatKind eldestKind, const char* kick = "4H")
    {
        seatPlayers(4, REMOTE);
        game.seats[0].kind = dealerKind;
        game.seats[3].kind = eldestKind;
        game.dealer = 0;
        game.turn = TURN_DEALING;
        computers.active = false;
        reserveAtBottom({kick, "JS", "5H", "7H"});
        dealRound(game, 6);
        loop.pending().pop_back();
        deliver();
        apply(ACTION_KICK, 0, indexOf(kick));
        computers.active = true;
    }
    int handSize(int seat) { return countCards(game.seats[seat].hand); }
};

TEST_F(BeggingTest, PersonDealerAtTargetMinusOneMustRunThePack)
{
    dealFresh(LOCAL_HUMAN, REMOTE);
    game.teams[1].score = 13;
    apply(ACTION_BEG, 3);
    EXPECT_EQ(table.boxes, std::vector<std::string>{"Notice: You accept the beg to avoid losing!"});
    EXPECT_EQ(table.summaryCloses, 1);
    EXPECT_EQ(game.turn, TURN_BEGGING);
    const auto actions = sent();
    ASSERT_EQ(actions.size(), 13u) << "three more cards each and a kick";
    EXPECT_EQ(actions.back().action, ACTION_KICK);
}

TEST_F(BeggingTest, PersonDealerIsAskedAndNoGivesOne)
{
    dealFresh(LOCAL_HUMAN, REMOTE);
    game.teams[1].score = 12;
    table.answers = {false};
    apply(ACTION_BEG, 3);
    ASSERT_EQ(table.boxes.size(), 1u);
    EXPECT_EQ(table.boxes[0].rfind("Question for Dealer: Accept beg?\n", 0), 0u) << table.boxes[0];
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0].action, ACTION_GIVE_ONE);
    deliver();
    EXPECT_EQ(game.teams[1].score, 13);
    EXPECT_TRUE(game.teams[1].tookOne);
    EXPECT_EQ(game.turn, 3);
    EXPECT_FALSE(table.begOn);
}

TEST_F(BeggingTest, RemoteDealerAnswersInItsOwnProcess)
{
    dealFresh(REMOTE, LOCAL_HUMAN);
    apply(ACTION_BEG, 3);
    EXPECT_EQ(game.turn, TURN_BEGGING);
    EXPECT_TRUE(loop.pending().empty());
    EXPECT_TRUE(table.boxes.empty());
}

// No box interrupts the person for what two computers decided: the answer
// is a note, made once the beg is closed, so the person's hand shows again.
TEST_F(BeggingTest, ComputerDealerTellsThePersonWhenBothAreComputers)
{
    struct Case {
        const char* beggar;
        bool accept;
        const char* note;
        int code;
    };
    const Case cases[] = {
        {"Papa Chunks", true, "Papa Chunks' beg accepted.", ACTION_DEAL},
        {"Horse", true, "Horse's beg accepted.", ACTION_DEAL},
        {"Papa Chunks", false, "Papa Chunks begged, take one!", ACTION_GIVE_ONE},
    };
    for (const Case& c : cases) {
        initGame(game);
        table = RecordingTable{};
        loop.pending().clear();
        dealFresh(COMPUTER, COMPUTER);
        setSeatName(game.seats[3], c.beggar);
        computers.acceptBeg = c.accept;
        table.begOn = true;
        std::vector<bool> begOpenAtNotes;
        table.onNote = [&] { begOpenAtNotes.push_back(table.begOn); };
        apply(ACTION_BEG, 3);
        EXPECT_EQ(table.pauses.back(), 600);
        EXPECT_TRUE(table.boxes.empty());
        EXPECT_EQ(table.notes, (std::vector<std::string>{c.beggar + std::string(" begs."), c.note}));
        EXPECT_EQ(begOpenAtNotes, (std::vector<bool>{true, false}));
        EXPECT_EQ(table.summaryCloses, 0) << "the last round's summary stays until read";
        EXPECT_FALSE(table.begOn);
        ASSERT_FALSE(loop.pending().empty());
        EXPECT_EQ(loop.pending().front().action, c.code);
    }
}

TEST_F(BeggingTest, EveryBegAndAnswerIsNotedOnTheTable)
{
    struct Case {
        const char* what;
        bool accept;
        const char* secondKick;  // after running the pack, or nothing
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {"give one", false, nullptr, {"P3 begs.", "P0 gives one."}},
        {"new suit", true, "JS",
         {"P3 begs.", "P0 runs the pack.", "P0 kicked the jack: 3 points to P0 and P1.", "New trumps: Spades"}},
        {"same suit, then a new one", true, "5H",
         {"P3 begs.", "P0 runs the pack.", "P0 runs the pack.", "P0 kicked the jack: 3 points to P0 and P1.",
          "New trumps: Spades"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        initGame(game);
        table = RecordingTable{};
        loop.pending().clear();
        dealFresh(LOCAL_HUMAN, REMOTE, "4H");
        table.answers = {c.accept};
        apply(ACTION_BEG, 3);
        if (c.secondKick) {
            loop.pending().pop_back();
            deliver();
            apply(ACTION_KICK, 0, indexOf(c.secondKick));
        }
        deliver();
        EXPECT_EQ(table.notes, c.notes);
    }
}

TEST_F(BeggingTest, RunningThePackToANewJackScoresAndPlaysNine)
{
    dealFresh(LOCAL_HUMAN, REMOTE, "4H");
    table.answers = {true};
    apply(ACTION_BEG, 3);
    loop.pending().pop_back();
    deliver();
    apply(ACTION_KICK, 0, indexOf("JS"));
    EXPECT_EQ(game.teams[0].score, 3);
    EXPECT_EQ(game.turn, 3);
    EXPECT_EQ(game.trumpSuit(), 'S');
    for (int s = 0; s < 4; ++s) EXPECT_EQ(handSize(s), 9);
    EXPECT_EQ(countCards(game.kicked), 2);
}

TEST_F(BeggingTest, SameSuitTwiceFillsTheHandsAndForcesARedeal)
{
    dealFresh(LOCAL_HUMAN, REMOTE, "4H");
    game.teams[0].score = 1;
    table.answers = {true};
    apply(ACTION_BEG, 3);
    loop.pending().pop_back();
    deliver();
    apply(ACTION_KICK, 0, indexOf("5H"));
    EXPECT_EQ(game.turn, TURN_BEGGING);
    loop.pending().pop_back();
    deliver();
    for (int s = 0; s < 4; ++s) EXPECT_EQ(handSize(s), 12);
    apply(ACTION_KICK, 0, indexOf("7H"));
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0].action, ACTION_REDEAL);
    loop.deliverOne(game);
    EXPECT_EQ(game.turn, TURN_DEALING);
    EXPECT_EQ(game.teams[0].score, 1);
    EXPECT_EQ(sent().size(), 25u) << "the same dealer deals six each again";
    EXPECT_EQ(game.dealer, 0);
}

TEST_F(BeggingTest, ForcedBegOnlyWhileTheWindowIsOpenAndWithoutTrumps)
{
    seatPlayers(4);
    setTrump("4S");
    giveHand(3, {"2H", "3D"});
    struct Case {
        bool rule, window, trumpInHand, mustBeg;
    };
    const Case cases[] = {
        {true, true, false, true},
        {false, true, false, false},
        {true, false, false, false},
        {true, true, true, false},
    };
    for (const Case& c : cases) {
        game.rules.forceBeg = c.rule;
        table.begOn = c.window;
        if (c.trumpInHand) giveHand(3, {"9S"});
        EXPECT_EQ(mustBeg(game, 3), c.mustBeg);
    }
}
