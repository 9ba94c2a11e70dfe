#include "ui/click_rules.h"

#include "tests/engine/fixture.h"

namespace {

const TableLayout STANDARD(CardMetrics{71, 96}, 640, 580);

class ClickRules : public GameFixture {
protected:
    ClickRules()
    {
        seatPlayers(4, COMPUTER);
        game.seats[0].kind = LOCAL_HUMAN;
        game.dealer = 2;
        // Seat 0 holds 2D 5C 9C KH 3S AS; clubs are trumps.
        giveHand(0, {"2D", "5C", "9C", "KH", "3S", "AS"});
        setTrump("JC");
        game.turn = 0;
    }

    // The middle of the uncovered strip of card i of seat 0's hand.
    CardClick clickCard(int i)
    {
        const Point origin = STANDARD.handOrigin(POS_BOTTOM, countCards(game.seats[0].hand));
        return decideCardClick(game, STANDARD, origin.x + 20 * i + 10, origin.y + 40);
    }
    void lead(int seat, const char* card)
    {
        Card* c = cardOf(game, card);
        for (Card* cur = game.deck; cur; cur = cur->next)
            if (cur == c) game.deck = removeCard(game.deck, c);
        c->holder = seat;
        c->next = game.trick;
        game.trick = c;
    }
};

TEST_F(ClickRules, PlaysTheCardUnderThePointer)
{
    const CardClick click = clickCard(3);
    EXPECT_EQ(click.outcome, ClickOutcome::PLAY);
    EXPECT_EQ(click.card, cardOf(game, "KH"));
}

TEST_F(ClickRules, IgnoredUnlessAPersonHereIsToAct)
{
    for (int turn : {int(TURN_DEALING), int(TURN_BEGGING), int(TURN_IDLE), 3}) {
        game.turn = turn;
        EXPECT_EQ(clickCard(0).outcome, ClickOutcome::IGNORED) << turn;
    }
    game.turn = 0;
    game.seats[0].kind = REMOTE;
    EXPECT_EQ(clickCard(0).outcome, ClickOutcome::IGNORED);
}

TEST_F(ClickRules, IgnoredWhileThePackIsRunAgain)
{
    setTrump("4C");  // a second club turned: the dealer must run the pack again
    EXPECT_EQ(clickCard(0).outcome, ClickOutcome::IGNORED);
}

TEST_F(ClickRules, ClickBesideTheHandIsIgnored)
{
    EXPECT_EQ(decideCardClick(game, STANDARD, 20, 20).outcome, ClickOutcome::IGNORED);
}

TEST_F(ClickRules, ForcedBegRefusesEveryClickWhileTheBegIsOpen)
{
    game.seats[0].hand = removeCard(game.seats[0].hand, cardOf(game, "5C"));
    game.seats[0].hand = removeCard(game.seats[0].hand, cardOf(game, "9C"));
    game.rules.forceBeg = 1;
    table.begOn = true;
    EXPECT_EQ(clickCard(0).outcome, ClickOutcome::FORCED_TO_BEG);
    EXPECT_EQ(decideCardClick(game, STANDARD, 20, 20).outcome, ClickOutcome::FORCED_TO_BEG);

    // Without the rule, or once the beg is answered, the card may be played.
    game.rules.forceBeg = 0;
    EXPECT_EQ(clickCard(0).outcome, ClickOutcome::PLAY);
    game.rules.forceBeg = 1;
    table.begOn = false;
    EXPECT_EQ(clickCard(0).outcome, ClickOutcome::PLAY);
}

TEST_F(ClickRules, MustFollowTheSuitLed)
{
    lead(3, "QH");
    const CardClick offSuit = clickCard(0);  // 2D while holding KH
    EXPECT_EQ(offSuit.outcome, ClickOutcome::MUST_FOLLOW);
    EXPECT_EQ(countCards(game.seats[0].hand), 6);
    EXPECT_EQ(clickCard(1).outcome, ClickOutcome::PLAY);  // a trump may always be played
    EXPECT_EQ(clickCard(3).outcome, ClickOutcome::PLAY);
}

TEST_F(ClickRules, RoundInPlayFromTheKickUntilTheCardsAreGathered)
{
    EXPECT_TRUE(roundInPlay(game));
    gatherCards(game);
    EXPECT_FALSE(roundInPlay(game));
}

class LastTrick : public GameFixture {};

TEST_F(LastTrick, NothingBeforeTheFirstTrick)
{
    seatPlayers(4);
    EXPECT_TRUE(lastTrickCards(game).empty());
}

TEST_F(LastTrick, EachCardAtItsPlayersPosition)
{
    seatPlayers(4);
    game.lastTrick = {indexOf("2D"), indexOf("3D"), indexOf("4D"), indexOf("5D")};
    // Seen from seat 1: its partner seat 0 on top, then seats 3 and 2.
    game.tablePosition = {1, 0, 3, 2};
    const std::vector<ShownCard> shown = lastTrickCards(game);
    ASSERT_EQ(shown.size(), 4u);
    const int expected[4] = {indexOf("3D"), indexOf("2D"), indexOf("5D"), indexOf("4D")};
    for (const ShownCard& card : shown) EXPECT_EQ(card.index, expected[card.position]) << card.position;
}

TEST_F(LastTrick, TwoSeatsShowTwoCardsAndUnfilledEntriesNone)
{
    seatPlayers(2);
    game.lastTrick = {indexOf("AS"), NO_CARD, indexOf("KS"), NO_CARD};
    const std::vector<ShownCard> shown = lastTrickCards(game);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].position, POS_BOTTOM);
    EXPECT_EQ(shown[1].position, POS_LEFT);

    // A four-seat game after a two-seat one: seats 1 and 3 never played.
    seatPlayers(4);
    EXPECT_EQ(lastTrickCards(game).size(), 2u);
}

TEST(HandFaceUp, WhoSeesTheirCards)
{
    GameState game;
    initGame(game);
    game.dealer = 2;  // the eldest hand is seat 0, seat 1 neither
    struct Case {
        const char* what;
        int seat;
        SeatKind kind;
        int turn;
        bool begPending;
        bool faceUp;
    };
    const Case cases[] = {
        {"a person to play", 0, LOCAL_HUMAN, 0, false, true},
        {"a person waiting", 1, LOCAL_HUMAN, 0, false, true},
        {"a computer", 3, COMPUTER, 0, false, false},
        {"another machine's player", 1, REMOTE, 0, false, false},
        {"while dealing", 0, LOCAL_HUMAN, TURN_DEALING, false, false},
        {"the eldest hand deciding to beg", 0, LOCAL_HUMAN, 0, true, true},
        {"the dealer while the beg is open", 2, LOCAL_HUMAN, 0, true, true},
        {"neither dealer nor eldest while the beg is open", 1, LOCAL_HUMAN, 0, true, false},
        {"after the beg, while the dealer answers", 1, LOCAL_HUMAN, TURN_BEGGING, false, true},
    };
    for (const Case& c : cases) {
        game.seats[c.seat].kind = c.kind;
        game.turn = c.turn;
        EXPECT_EQ(handFaceUp(game, c.seat, c.begPending), c.faceUp) << c.what;
    }
}

}  // namespace
