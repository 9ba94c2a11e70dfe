#include "engine/deal.h"

#include "fixture.h"

class ActionsTest : public GameFixture {};

TEST_F(ActionsTest, SendersReachEverySeatWithAConnectionOnce)
{
    seatPlayers(4);
    game.seats[2].connection = 5;
    game.seats[3].connection = 5;  // two seats behind one connection get it twice, as sent
    clearSeatName(game.seats[1]);
    game.seats[1].connection = 7;  // not in play: nothing
    sendPlay(game, 0, cardOf(game, "AS"));
    const auto actions = sent();
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].seat, 0);
    EXPECT_EQ(actions[0].card, 51);
    EXPECT_EQ(actions[0].action, ACTION_PLAY);
    EXPECT_EQ(game.seats[0].hand, nullptr) << "sending changes nothing";
}

TEST_F(ActionsTest, CardlessSendersCarryMinusOneAndTheDealer)
{
    seatPlayers(4);
    game.dealer = 3;
    sendGiveOne(game);
    sendRedeal(game);
    sendBeg(game, 1);
    const auto actions = sent();
    EXPECT_EQ(actions[0].seat, 3);
    EXPECT_EQ(actions[0].card, NO_CARD);
    EXPECT_EQ(actions[1].action, ACTION_REDEAL);
    EXPECT_EQ(actions[2].seat, 1);
}

TEST_F(ActionsTest, PlaysOutOfTurnAreDroppedWithoutARedraw)
{
    seatPlayers(4);
    giveHand(0, {"2C"});
    for (int turn : {int(TURN_DEALING), int(TURN_BEGGING), int(TURN_IDLE), 3}) {
        game.turn = turn;
        const int draws = table.draws;
        apply(ACTION_PLAY, 0, indexOf("2C"));
        apply(ACTION_PLAY, 4, indexOf("2C"));
        EXPECT_EQ(table.draws, draws);
        EXPECT_EQ(countCards(game.seats[0].hand), 1);
    }
}

TEST_F(ActionsTest, PlayOfACardNotInHandChangesNothingButRedraws)
{
    seatPlayers(4);
    setTrump("3S");
    giveHand(0, {"2C"});
    game.turn = 0;
    table.begOn = true;
    const int draws = table.draws;
    apply(ACTION_PLAY, 0, indexOf("AH"));
    apply(ACTION_PLAY, 0, 99);
    EXPECT_EQ(game.turn, 0);
    EXPECT_EQ(table.draws, draws + 2);
    EXPECT_FALSE(table.begOn) << "any accepted play closes the beg window";
}

// The last round's summary stays until the person has read it: no card,
// the round's first included, takes it away (the window closes it at the
// person's own next decision).
TEST_F(ActionsTest, NoCardClosesTheLastRoundsSummary)
{
    struct Case {
        const char* what;
        const char* inTrick;  // played before, or nothing
        const char* inPile;   // already won this round, or nothing
        int closes;
    };
    const Case cases[] = {
        {"first card of the round", nullptr, nullptr, 0},
        {"second card of the first trick", "3C", nullptr, 0},
        {"lead of a later trick", nullptr, "4D", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        initGame(game);
        table = RecordingTable{};
        seatPlayers(4);
        setTrump("3S");
        giveHand(0, {"2C"});
        if (c.inTrick) {
            Card* card = cardOf(game, c.inTrick);
            game.deck = removeCard(game.deck, card);
            card->holder = 3;
            game.trick = card;
            game.trickCount = 1;
        }
        if (c.inPile) {
            Card* card = cardOf(game, c.inPile);
            game.deck = removeCard(game.deck, card);
            game.teams[1].pile = card;
        }
        game.turn = 0;
        apply(ACTION_PLAY, 0, indexOf("2C"));
        EXPECT_EQ(table.summaryCloses, c.closes);
    }
}

TEST_F(ActionsTest, BegActsOnTheDealerWhateverItsSeatSays)
{
    seatPlayers(4, REMOTE);
    game.dealer = 1;
    game.seats[1].kind = LOCAL_HUMAN;
    game.turn = 2;
    table.answers = {false};
    apply(ACTION_BEG, 3);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0].action, ACTION_GIVE_ONE);
    EXPECT_EQ(sent()[0].seat, 1);
}

TEST_F(ActionsTest, UnknownCodesOnlyRedraw)
{
    seatPlayers(4);
    const int draws = table.draws;
    apply(42, 0, 3);
    apply(-1, 0, 3);
    EXPECT_EQ(table.draws, draws + 2);
    EXPECT_EQ(countCards(game.deck), 52);
}

// A whole game of one person's seat driven like the computers: every action
// goes out once over the loopback and is applied once.
TEST_F(ActionsTest, WholeGameOfComputersPlaysToTheEnd)
{
    seatPlayers(4, COMPUTER);
    computers.begWhenAsked = true;
    game.turn = TURN_DEALING;
    table.answers = {false};
    chooseDealer(game);
    int applied = 0;
    while (loop.deliverOne(game)) {
        ++applied;
        ASSERT_LT(applied, 100000);
        int cards = countCards(game.deck) + countCards(game.kicked) + countCards(game.trick);
        for (const Seat& s : game.seats) cards += countCards(s.hand);
        for (const Team& t : game.teams) cards += countCards(t.pile);
        ASSERT_EQ(cards, 52);
    }
    EXPECT_EQ(hooks.recorded, 1);
    EXPECT_EQ(hooks.sessionsEnded, 1);
    EXPECT_EQ(game.turn, TURN_IDLE);
}

// An action read inside a pause of another (a network peer's next deal read
// during the last trick's pause) waits until that one is done.
TEST_F(ActionsTest, ActionsReceivedDuringAnotherApplyAfterIt)
{
    seatPlayers(4, REMOTE);
    setTrump("3S");
    game.dealer = 2;
    for (int s = 0; s < 4; ++s) giveHand(s, {s == 0 ? "2C" : s == 1 ? "3C" : s == 2 ? "4C" : "5C"});
    game.turn = 0;
    apply(ACTION_PLAY, 0, indexOf("2C"));
    apply(ACTION_PLAY, 3, indexOf("5C"));
    apply(ACTION_PLAY, 1, indexOf("3C"));
    GameAction nextDeal;
    nextDeal.seat = 0;
    nextDeal.card = indexOf("AH");
    nextDeal.action = ACTION_DEAL;
    bool dealtDuringTrick = false;
    bool delivered = false;
    table.pump = [&] {
        if (delivered) return;
        delivered = true;
        receiveAction(game, nextDeal);
        dealtDuringTrick = game.seats[0].hand != nullptr;
    };
    std::vector<int> applied;
    game.afterAction = [&](const GameAction& a) { applied.push_back(a.action); };
    GameAction last;
    last.seat = 2;
    last.card = indexOf("4C");
    last.action = ACTION_PLAY;
    receiveAction(game, last);
    EXPECT_FALSE(dealtDuringTrick);
    EXPECT_EQ(applied, (std::vector<int>{ACTION_PLAY, ACTION_DEAL}));
    EXPECT_EQ(names(game.seats[0].hand), std::vector<std::string>{"AH"}) << "dealt after the round was gathered";
    EXPECT_EQ(table.summaries.size(), 1u);
}
