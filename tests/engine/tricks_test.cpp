#include "engine/tricks.h"

#include "fixture.h"

// Four people, spades trumps, play starting with seat 0 (order 0, 3, 1, 2).
class TrickTest : public GameFixture {
protected:
    TrickTest()
    {
        seatPlayers(4);
        setTrump("3S");
        game.dealer = 2;
        game.turn = 0;
    }
    void play(int seat, const char* card)
    {
        ASSERT_EQ(game.turn, seat);
        apply(ACTION_PLAY, seat, indexOf(card));
    }
};

TEST_F(TrickTest, LegalityUnderTheThreeFollowSettings)
{
    struct Case {
        int follow;
        const char* lead;
        std::initializer_list<const char*> hand;
        const char* card;
        bool legal;
    };
    const Case cases[] = {
        {FOLLOW_ALWAYS, nullptr, {"2C", "9H"}, "2C", true},
        {FOLLOW_ALWAYS, "5H", {"2C", "9H", "4S"}, "4S", true},
        {FOLLOW_ALWAYS, "5H", {"2C", "9H", "4S"}, "2C", false},
        {FOLLOW_ALWAYS, "5H", {"2C", "4S"}, "2C", true},
        {FOLLOW_ALWAYS, "5S", {"2C", "9H"}, "2C", true},
        {FOLLOW_ONLY_TRUMP, "5C", {"2C", "9D"}, "9D", true},
        {FOLLOW_ONLY_TRUMP, "5S", {"2C", "4S"}, "2C", false},
        {FOLLOW_ONLY_TRUMP, "5S", {"2C", "9D"}, "2C", true},
        {FOLLOW_NEVER, "5S", {"2C", "4S"}, "2C", true},
        {FOLLOW_NEVER, "5H", {"2C", "9H"}, "2C", true},
    };
    for (const Case& c : cases) {
        gatherCards(game);
        setTrump("3S");
        game.rules.forceFollow = c.follow;
        if (c.lead) {
            Card* lead = cardOf(game, c.lead);
            game.deck = removeCard(game.deck, lead);
            lead->holder = 2;
            game.trick = lead;
        }
        giveHand(0, c.hand);
        EXPECT_EQ(isLegalPlay(game, 0, cardOf(game, c.card)), c.legal)
            << c.follow << " lead " << (c.lead ? c.lead : "-") << " card " << c.card;
    }
}

TEST_F(TrickTest, TrickWinner)
{
    struct Case {
        std::vector<const char*> cards;  // in order of play, seats 0, 3, 1, 2
        int winner;
    };
    const Case cases[] = {
        {{"9H", "KH", "2S", "AH"}, 1},
        {{"5C", "AD", "7C", "KC"}, 2},
        {{"5C", "AD", "7C", "4C"}, 1},
        {{"QS", "AS", "2S", "KH"}, 3},
        {{"2D", "3H", "4C", "5H"}, 0},
    };
    const int order[] = {0, 3, 1, 2};
    for (const Case& c : cases) {
        Card* trick = nullptr;
        for (size_t i = 0; i < c.cards.size(); ++i) {
            Card* card = cardOf(game, c.cards[i]);
            card->holder = order[i];
            card->next = trick;
            trick = card;
        }
        EXPECT_EQ(trickWinner(game, trick), c.winner) << c.cards[0];
        for (Card& card : game.cards) card.next = nullptr;
    }
}

TEST_F(TrickTest, CompleteTrickGoesToTheWinnersPile)
{
    giveHand(0, {"9H", "2C"});
    giveHand(3, {"KH", "3C"});
    giveHand(1, {"4D", "4C"});
    giveHand(2, {"AH", "5C"});
    play(0, "9H");
    play(3, "KH");
    play(1, "4D");
    EXPECT_EQ(game.trickCount, 3);
    play(2, "AH");
    EXPECT_EQ(game.trickCount, 0);
    EXPECT_EQ(game.trick, nullptr);
    EXPECT_EQ(countCards(game.teams[1].pile), 4);
    EXPECT_EQ(game.teams[1].cardPoints, 7);
    EXPECT_EQ(game.turn, 2);
    EXPECT_EQ(table.sweeps, std::vector<int>{2});
    EXPECT_EQ(table.pauses, std::vector<int>{1000});
    EXPECT_EQ(game.lastTrick, (std::array<int32_t, 4>{indexOf("9H"), indexOf("4D"), indexOf("AH"), indexOf("KH")}));
    EXPECT_FALSE(game.seats[1].reneged) << "a diamond on a heart lead without hearts is no renege";
}

TEST_F(TrickTest, UnderTrumpCostsAPointOnlyBelowEveryTrumpOnAPlainLead)
{
    game.rules.underTrumpPenalty = UNDER_TRUMP_ONE_POINT;
    giveHand(0, {"5H", "2C"});
    giveHand(3, {"9S", "3C"});
    giveHand(1, {"4S", "4C"});
    giveHand(2, {"10S", "5C"});
    play(0, "5H");
    play(3, "9S");
    play(1, "4S");
    EXPECT_EQ(game.teams[0].score, -1);
    EXPECT_EQ(table.announcements, std::vector<std::string>{"Under Trump!"});
    EXPECT_EQ(table.pauses, std::vector<int>{1800});
    play(2, "10S");
    EXPECT_EQ(game.teams[1].score, 0);
    EXPECT_EQ(table.announcements.size(), 1u);
}

TEST_F(TrickTest, UnderTrumpOnATrumpLeadIsNoOffence)
{
    game.rules.underTrumpPenalty = UNDER_TRUMP_BULLSEYE;
    giveHand(0, {"9S", "2C"});
    giveHand(3, {"4S", "3C"});
    play(0, "9S");
    play(3, "4S");
    EXPECT_TRUE(table.announcements.empty());
    EXPECT_EQ(hooks.recorded, 0);
}

TEST_F(TrickTest, UnderTrumpBullseyeEndsTheGameForTheOtherTeam)
{
    game.rules.underTrumpPenalty = UNDER_TRUMP_BULLSEYE;
    game.teams[0].score = 9;
    game.teams[1].score = 3;
    game.seats[2].kind = game.seats[3].kind = REMOTE;
    giveHand(0, {"5H", "2C"});
    giveHand(3, {"9S", "3C"});
    giveHand(1, {"4S", "4C"});
    play(0, "5H");
    play(3, "9S");
    play(1, "4S");
    EXPECT_EQ(table.announcements, (std::vector<std::string>{"Bullseye!", "Game Over"}));
    EXPECT_EQ(table.pauses, std::vector<int>{1800});
    EXPECT_EQ(hooks.recorded, 1);
    EXPECT_EQ(hooks.winner, 1) << "awarded to the team of the lower score";
    EXPECT_EQ(hooks.scores, (std::array<int, 2>{9, 14})) << "the winners stand at the target";
}

// Trumping under is an offence only when the hand had a way not to: a card
// that is no trump, or a trump above the lowest trump in the trick.
TEST_F(TrickTest, ForcedUnderTrumpIsNoOffence)
{
    struct Case {
        std::vector<const char*> trumps;          // played after the heart lead, in turn
        std::initializer_list<const char*> hand;  // of the next seat, who plays the 4 of spades
        bool punished;
    };
    const Case cases[] = {
        {{"QS"}, {"4S"}, false},
        {{"QS"}, {"4S", "2S", "JS"}, false},
        {{"QS"}, {"4S", "4C"}, true},
        {{"QS"}, {"4S", "KS"}, true},
        {{"6S", "KS"}, {"4S", "9S"}, true},
        {{"6S", "KS"}, {"4S", "5S"}, false},
    };
    const int order[] = {0, 3, 1, 2};
    const char* spares[] = {"3C", "6C"};  // so that no hand runs out and the round is not scored
    for (const Case& c : cases) {
        initGame(game);
        seatPlayers(4);
        setTrump("3S");
        game.turn = 0;
        table.announcements.clear();
        game.rules.underTrumpPenalty = UNDER_TRUMP_ONE_POINT;
        giveHand(0, {"5H", "2C"});
        for (size_t i = 0; i < c.trumps.size(); ++i) giveHand(order[i + 1], {c.trumps[i], spares[i]});
        const int seat = order[c.trumps.size() + 1];
        giveHand(seat, c.hand);
        SCOPED_TRACE(::testing::PrintToString(names(game.seats[seat].hand)));
        play(0, "5H");
        for (size_t i = 0; i < c.trumps.size(); ++i) play(order[i + 1], c.trumps[i]);
        play(seat, "4S");
        EXPECT_EQ(game.seats[seat].team->score, c.punished ? -1 : 0);
        EXPECT_EQ(table.announcements.size(), c.punished ? 1u : 0u);
    }
}

TEST_F(TrickTest, JackOfTrumpsComesHomeOrIsHung)
{
    struct Case {
        const char* partnerCard;  // seat 1's card on seat 0's jack lead
        int hangJack;
        int team;
        int points;
        bool hung;
    };
    const Case cases[] = {
        {"QS", 3, 0, 1, false},
        {"2S", 3, 1, 3, true},
        {"2S", 1, 1, 1, true},
    };
    for (const Case& c : cases) {
        gatherCards(game);
        setTrump("3S");
        table = RecordingTable{};
        resetRound(game);
        game.turn = 0;
        game.rules.hangJackPoints = c.hangJack;
        giveHand(0, {"JS", "2C"});
        giveHand(3, {"4D", "3C"});
        giveHand(1, {c.partnerCard, "4C"});
        giveHand(2, {c.hung ? "KS" : "5D", "5C"});
        play(0, "JS");
        play(3, "4D");
        play(1, c.partnerCard);
        play(2, c.hung ? "KS" : "5D");
        EXPECT_EQ(game.teams[c.team].jackPoints, c.points);
        EXPECT_EQ(game.teams[1 - c.team].jackPoints, 0);
        EXPECT_EQ(table.hangJacks, c.hung ? 1 : 0);
        EXPECT_EQ(table.pauses, std::vector<int>{c.hung ? 2000 : 1000});
        EXPECT_EQ(game.teams[c.team].jackHung, c.hung);
        EXPECT_EQ(game.teams[c.team].jackSafe, !c.hung);
    }
}

TEST_F(TrickTest, RenegingIsRecordedSilently)
{
    giveHand(0, {"5S", "2C"});
    giveHand(3, {"9S", "3C", "4C"});
    giveHand(1, {"2H", "4S"});
    play(0, "5S");
    play(3, "3C");
    play(1, "2H");
    EXPECT_TRUE(game.seats[3].reneged);
    EXPECT_TRUE(game.seats[3].renegedOnTrump);
    EXPECT_TRUE(game.seats[1].reneged);
    EXPECT_FALSE(game.seats[0].reneged);
    EXPECT_TRUE(table.announcements.empty());
}

class ReneedCallTest : public TrickTest {
protected:
    // Seat 3 (team 1) has reneged; seat 0 calls.
    void renege(bool onTrump, bool bareJack, bool highTrump)
    {
        game.seats[3].reneged = true;
        game.seats[3].renegedOnTrump = onTrump;
        game.seats[3].bareJack = bareJack;
        game.seats[3].highTrump = highTrump;
        giveHand(0, {"2C"});
        giveHand(3, {"3C"});
        game.teams[0].score = 5;
        game.teams[1].score = 6;
    }
};

TEST_F(ReneedCallTest, PenaltyFollowsTheReneedRule)
{
    enum { NONE, POINT, BULLSEYE };
    struct Case {
        int rule;
        bool onTrump, bareJack, highTrump;
        int penalty;
    };
    const Case cases[] = {
        {RENEED_NONE, true, true, true, NONE},
        {RENEED_ALL_BULLSEYE, false, false, false, BULLSEYE},
        {RENEED_TRUMP_BULLSEYE, true, false, false, BULLSEYE},
        {RENEED_TRUMP_BULLSEYE, false, false, false, POINT},
        {RENEED_ALL_ONE_POINT, true, true, true, POINT},
        {RENEED_BARE_JACK_BULLSEYE, true, true, false, BULLSEYE},
        {RENEED_BARE_JACK_BULLSEYE, true, false, true, POINT},
        {RENEED_BARE_JACK_BULLSEYE, false, true, false, POINT},
        {RENEED_HIGH_TRUMP_BULLSEYE, true, false, true, BULLSEYE},
        {RENEED_HIGH_TRUMP_BULLSEYE, false, false, true, POINT},
    };
    for (const Case& c : cases) {
        initGame(game);
        seatPlayers(4);
        setTrump("3S");
        game.turn = 0;
        hooks = RecordingHooks{};
        game.rules.reneedRule = c.rule;
        renege(c.onTrump, c.bareJack, c.highTrump);
        apply(ACTION_CALL_RENEED, 0);
        SCOPED_TRACE("rule " + std::to_string(c.rule));
        EXPECT_EQ(hooks.recorded, c.penalty == BULLSEYE ? 1 : 0);
        if (c.penalty == BULLSEYE) continue;
        EXPECT_EQ(game.teams[1].score, c.penalty == POINT ? 5 : 6);
        EXPECT_EQ(game.teams[0].score, 5);
        EXPECT_TRUE(game.teams[1].renegeCalled);
    }
}

// A bullseye wins the game for the callers whatever they stood at, and
// they end it at the target, never beyond.
TEST_F(ReneedCallTest, BullseyeWinsAtTheTargetFromAnyScore)
{
    struct Case {
        int callers, others;
    };
    for (const Case& c : {Case{-1, 6}, Case{5, 6}, Case{13, 0}, Case{-3, 13}}) {
        initGame(game);
        seatPlayers(4);
        setTrump("3S");
        game.turn = 0;
        hooks = RecordingHooks{};
        game.rules.reneedRule = RENEED_ALL_BULLSEYE;
        renege(false, false, false);
        game.teams[0].score = c.callers;
        game.teams[1].score = c.others;
        apply(ACTION_CALL_RENEED, 0);
        SCOPED_TRACE(std::to_string(c.callers) + " to " + std::to_string(c.others));
        EXPECT_EQ(hooks.recorded, 1);
        EXPECT_EQ(hooks.winner, 0);
        EXPECT_EQ(hooks.scores, (std::array<int, 2>{14, c.others}));
        EXPECT_EQ(table.announcements.back(), "You Win!");
    }
}

TEST_F(ReneedCallTest, FalseCallsCostFromTheSecondOn)
{
    giveHand(0, {"2C"});
    game.teams[0].score = 5;
    for (int expected : {5, 4, 3}) {
        apply(ACTION_CALL_RENEED, 1);
        EXPECT_EQ(game.teams[0].score, expected);
    }
    EXPECT_EQ(game.teams[0].falseCalls, 3);
    EXPECT_EQ(table.boxes.size(), 3u);
}

TEST_F(ReneedCallTest, CallOutsideARoundIsIgnored)
{
    game.seats[3].reneged = true;
    game.rules.reneedRule = RENEED_ALL_ONE_POINT;
    for (int turn : {int(TURN_DEALING)}) {
        game.turn = turn;
        apply(ACTION_CALL_RENEED, 0);
    }
    game.turn = 0;
    apply(ACTION_CALL_RENEED, 9);
    EXPECT_EQ(game.teams[1].score, 0);
    EXPECT_FALSE(game.teams[1].renegeCalled);
}

TEST_F(ReneedCallTest, TwoSeatsLookOnlyAtTheFirstSeat)
{
    initGame(game);
    seatPlayers(2);
    setTrump("3S");
    game.turn = 0;
    game.rules.reneedRule = RENEED_ALL_ONE_POINT;
    game.seats[3].reneged = true;  // not in play
    apply(ACTION_CALL_RENEED, 0);
    EXPECT_EQ(game.teams[0].falseCalls, 1);
    game.seats[2].reneged = true;
    apply(ACTION_CALL_RENEED, 0);
    EXPECT_EQ(game.teams[1].score, -1);
}

TEST_F(ReneedCallTest, TheSameReneedIsPunishedOnlyOnce)
{
    game.rules.reneedRule = RENEED_ALL_ONE_POINT;
    renege(false, false, false);
    apply(ACTION_CALL_RENEED, 0);
    EXPECT_EQ(game.teams[1].score, 5);
    apply(ACTION_CALL_RENEED, 0);
    EXPECT_EQ(game.teams[1].score, 5) << "a second call on the same reneed is a false call";
    EXPECT_EQ(game.teams[0].falseCalls, 1);
}
