#include "engine/deal.h"

#include "fixture.h"

class DealTest : public GameFixture {};

TEST_F(DealTest, DealerSendsOneCardAtATimeInSeatOrderThenAKick)
{
    struct Case {
        int seats;
        std::vector<int> order;
    };
    for (const Case& c : {Case{4, {0, 2, 1, 3}}, Case{2, {0, 2}}}) {
        loop.pending().clear();
        seatPlayers(c.seats);
        apply(ACTION_SET_DEALER, 0);
        const auto actions = sent();
        const size_t deals = 6 * c.order.size();
        ASSERT_EQ(actions.size(), deals + 1) << c.seats << " seats";
        for (size_t i = 0; i < deals; ++i) {
            EXPECT_EQ(actions[i].action, ACTION_DEAL);
            EXPECT_EQ(actions[i].seat, c.order[i % c.order.size()]);
        }
        EXPECT_EQ(actions.back().action, ACTION_KICK);
        // Sending changed nothing yet: the cards move when the actions come back.
        EXPECT_EQ(countCards(game.deck), 52);
        EXPECT_EQ(game.seats[0].hand, nullptr);
    }
}

TEST_F(DealTest, AppliedDealFillsSortedHandsAndTheKickGivesTheEldestTheTurn)
{
    seatPlayers(4);
    game.turn = TURN_DEALING;
    apply(ACTION_SET_DEALER, 2);
    deliver();
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(countCards(game.seats[s].hand), 6);
        int previous = -1;
        for (Card* c = game.seats[s].hand; c; c = c->next) {
            EXPECT_GT(cardIndex(c), previous);
            previous = cardIndex(c);
        }
    }
    EXPECT_EQ(countCards(game.kicked), 1);
    EXPECT_EQ(countCards(game.deck), 27);
    EXPECT_EQ(game.turn, game.nextSeat[2]);
    EXPECT_TRUE(table.begOn);
}

TEST_F(DealTest, KickedCardScoresForTheDealersTeam)
{
    struct Case {
        const char* card;
        bool tobago;
        int points;
        int32_t Team::*counter;
        const char* banner;
        const char* note;  // who kicked and what it gave
    };
    const Case cases[] = {
        {"6H", false, 2, &Team::sixesKicked, "Six kicked!", "P1 kicked the six: 2 points to P0 and P1."},
        {"6H", true, 0, nullptr, nullptr, nullptr},
        {"2H", true, 2, &Team::twosKicked, "Two kicked!", "P1 kicked the two: 2 points to P0 and P1."},
        {"2H", false, 0, nullptr, nullptr, nullptr},
        {"JH", false, 3, &Team::jacksKicked, "Jack kicked!", "P1 kicked the jack: 3 points to P0 and P1."},
        {"JH", true, 3, &Team::jacksKicked, "Jack kicked!", "P1 kicked the jack: 3 points to P0 and P1."},
        {"AH", false, 1, &Team::acesKicked, "Ace kicked!", "P1 kicked the ace: 1 point to P0 and P1."},
        {"KH", false, 0, nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        initGame(game);
        table = RecordingTable{};
        seatPlayers(4, REMOTE);
        game.rules.tobagoRules = c.tobago;
        game.dealer = 1;
        game.turn = TURN_DEALING;
        apply(ACTION_KICK, 1, indexOf(c.card));
        const Team& dealers = game.teams[0];
        SCOPED_TRACE(std::string(c.card) + (c.tobago ? " tobago" : ""));
        EXPECT_EQ(dealers.score, c.points);
        EXPECT_EQ(game.teams[1].score, 0);
        if (c.counter) {
            EXPECT_EQ(dealers.*(c.counter), 1);
            EXPECT_EQ(table.announcements, std::vector<std::string>{c.banner});
            EXPECT_EQ(table.notes, std::vector<std::string>{c.note});
            EXPECT_EQ(table.pauses, std::vector<int>{2200});
        } else {
            EXPECT_TRUE(table.announcements.empty());
            EXPECT_TRUE(table.notes.empty());
            EXPECT_TRUE(table.pauses.empty());
        }
        EXPECT_EQ(game.turn, game.nextSeat[1]);
        EXPECT_FALSE(table.begOn) << "the eldest plays at another machine";
    }
}

// Running the pack turns another card of the same suit: the card before it
// is held on the table now unless it scored, and so had its pause already.
TEST_F(DealTest, RunningThePackPausesOnAPreviousCardThatScoredNothing)
{
    struct Case {
        const char* previous;
        bool tobago;
        bool paused;
    };
    const Case cases[] = {
        {"6H", true, true},
        {"6H", false, false},
        {"2H", true, false},
        {"2H", false, true},
        {"KH", false, true},
    };
    for (const Case& c : cases) {
        initGame(game);
        table = RecordingTable{};
        seatPlayers(4, REMOTE);
        game.rules.tobagoRules = c.tobago;
        game.dealer = 1;
        game.seats[game.nextSeat[1]].kind = LOCAL_HUMAN;
        game.turn = TURN_BEGGING;
        setTrump(c.previous);
        apply(ACTION_KICK, 1, indexOf("9H"));
        SCOPED_TRACE(std::string(c.previous) + (c.tobago ? " tobago" : ""));
        EXPECT_EQ(table.pauses, c.paused ? std::vector<int>{2200} : std::vector<int>{});
    }
}

TEST_F(DealTest, SecondJackInARoundCountsTwice)
{
    seatPlayers(4, REMOTE);
    game.dealer = 0;
    game.turn = TURN_BEGGING;
    setTrump("JS");
    game.teams[0].jacksKicked = 1;
    apply(ACTION_KICK, 0, indexOf("JH"));
    EXPECT_EQ(game.teams[0].jacksKicked, 2);
}

TEST_F(DealTest, KickThatReachesTheTargetEndsTheGameBeforeAnyBeg)
{
    seatPlayers(4);
    game.seats[1].kind = COMPUTER;
    game.dealer = 0;
    game.turn = TURN_DEALING;
    game.teams[0].score = 12;
    const int drawsBefore = table.draws;
    apply(ACTION_KICK, 0, indexOf("JC"));
    EXPECT_EQ(game.teams[0].score, 0) << "the game was reset after it ended";
    EXPECT_EQ(hooks.recorded, 1);
    EXPECT_EQ(table.announcements, (std::vector<std::string>{"Jack kicked!", "You Win!"}));
    EXPECT_EQ(table.boxes, std::vector<std::string>{"Game over: Play again?"});
    EXPECT_EQ(hooks.sessionsEnded, 1);
    EXPECT_FALSE(game.seats[0].inPlay());
    EXPECT_EQ(game.turn, TURN_IDLE);
    EXPECT_FALSE(table.begOn);
    EXPECT_EQ(countCards(game.deck), 52);
    EXPECT_EQ(table.draws - drawsBefore, 2) << "no redraw after the kick that ended the game";
}

TEST_F(DealTest, CappedScoreAtSevenEndsAShortGame)
{
    // The kick's point ends a network game: no question, and the session
    // ends before the result is told, for the table is cleared with it.
    struct Case {
        int seatCount;
        SeatKind kind;
        SessionMode mode;
        const char* banner;
        const char* told;
    };
    for (const Case& c : {Case{4, REMOTE, MODE_HOSTING, "Game Over", "Game over: P2 and P3 win, 7 to 5."},
                          Case{4, LOCAL_HUMAN, MODE_JOINED, "You Win!", "Game over: You win, 7 to 5."},
                          Case{2, REMOTE, MODE_JOINED, "Game Over", "Game over: P2 wins, 7 to 5."}}) {
        initGame(game);
        seatPlayers(c.seatCount, c.kind);
        game.seats[0].kind = REMOTE;
        game.rules.target = 7;
        game.dealer = 2;
        game.turn = TURN_DEALING;
        game.teams[0].score = 5;
        game.teams[1].score = 6;
        table.announcements.clear();
        table.boxes.clear();
        table.answers = {true};
        hooks.sessionsEnded = 0;
        game.sessionMode = c.mode;
        size_t boxesAtSessionEnd = 99;
        hooks.onEndSession = [&] { boxesAtSessionEnd = table.boxes.size(); };
        apply(ACTION_KICK, 2, indexOf("AD"));
        EXPECT_EQ(table.announcements.back(), c.banner);
        EXPECT_EQ(table.boxes, std::vector<std::string>{c.told});
        EXPECT_EQ(hooks.sessionsEnded, 1);
        EXPECT_EQ(boxesAtSessionEnd, 0u) << "told before its session ended";
        EXPECT_EQ(game.teams[1].score, 0) << "the game was reset after the box";
    }
}

TEST_F(DealTest, BegButtonOpensOnlyWhenTheEldestIsDrivenHere)
{
    struct Case {
        SeatKind eldest;
        bool enabled;
    };
    computers.active = false;
    for (const Case& c : {Case{REMOTE, false}, Case{COMPUTER, true}, Case{LOCAL_HUMAN, true}}) {
        initGame(game);
        table.begOn = false;
        seatPlayers(4, REMOTE);
        game.dealer = 0;
        game.seats[3].kind = c.eldest;
        game.turn = TURN_DEALING;
        apply(ACTION_KICK, 0, indexOf("4C"));
        EXPECT_EQ(table.begOn, c.enabled) << c.eldest;
    }
}

TEST_F(DealTest, RedealKeepsKickPointsAndTheSameDealerDealsAgain)
{
    seatPlayers(4);
    computers.active = false;
    game.turn = TURN_DEALING;
    reserveAtBottom({"AC"});
    apply(ACTION_SET_DEALER, 1);
    loop.pending().pop_back();  // replace the kick with an ace
    deliver();
    apply(ACTION_KICK, 1, indexOf("AC"));
    ASSERT_EQ(game.teams[0].score, 1);
    apply(ACTION_REDEAL, 3);
    EXPECT_EQ(countCards(game.deck), 52);
    EXPECT_EQ(game.kicked, nullptr);
    EXPECT_EQ(game.teams[0].score, 1);
    EXPECT_EQ(game.teams[0].acesKicked, 1);
    EXPECT_EQ(game.turn, TURN_DEALING);
    EXPECT_EQ(game.dealer, 1);
    EXPECT_EQ(loop.pending().size(), 25u);
}

TEST_F(DealTest, ActionsNamingNoCardOrNoSeatInPlayAreIgnored)
{
    seatPlayers(2);
    game.dealer = 0;
    game.turn = TURN_DEALING;
    const struct {
        int code, seat, card;
    } cases[] = {
        {ACTION_SET_DEALER, 7, NO_CARD}, {ACTION_SET_DEALER, -1, NO_CARD}, {ACTION_SET_DEALER, 1, NO_CARD},
        {ACTION_DEAL, 0, 64}, {ACTION_DEAL, 0, -5}, {ACTION_DEAL, 3, 0}, {ACTION_DEAL, 9, 0},
        {ACTION_KICK, 0, 52}, {ACTION_KICK, 0, -1},
    };
    for (const auto& c : cases) apply(c.code, c.seat, c.card);
    EXPECT_TRUE(loop.pending().empty());
    EXPECT_EQ(game.dealer, 0);
    EXPECT_EQ(countCards(game.deck), 52);
    EXPECT_EQ(game.kicked, nullptr);
    EXPECT_EQ(game.turn, TURN_DEALING);
}

TEST_F(DealTest, MarkPlayStartSetsBareJackAndHighTrump)
{
    seatPlayers(4);
    setTrump("3H");
    giveHand(0, {"JH", "2C"});
    giveHand(1, {"10H", "2H"});
    giveHand(2, {"9H", "8H"});
    giveHand(3, {"AS"});
    markPlayStart(game);
    EXPECT_TRUE(game.seats[0].bareJack);
    EXPECT_TRUE(game.seats[0].highTrump);
    EXPECT_FALSE(game.seats[1].bareJack);
    EXPECT_TRUE(game.seats[1].highTrump);
    EXPECT_FALSE(game.seats[2].highTrump);
    EXPECT_FALSE(game.seats[3].highTrump);
}

// The flags describe the hand a seat held when play began: a re-deal throws
// that hand in, running the pack keeps it.
TEST_F(DealTest, RedealClearsBareJackAndHighTrumpRunningThePackKeepsThem)
{
    seatPlayers(4);
    computers.active = false;
    game.dealer = 1;
    game.turn = TURN_BEGGING;
    setTrump("3H");
    for (Seat& seat : game.seats) seat.bareJack = seat.highTrump = true;
    apply(ACTION_KICK, 1, indexOf("4C"));
    for (const Seat& seat : game.seats) EXPECT_TRUE(seat.bareJack && seat.highTrump) << game.seatIndex(&seat);
    apply(ACTION_REDEAL, 1);
    for (const Seat& seat : game.seats) EXPECT_FALSE(seat.bareJack || seat.highTrump) << game.seatIndex(&seat);
}
