#include <poll.h>

#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "card_text.h"
#include "engine/loopback.h"
#include "engine/tricks.h"
#include "players/background_expert.h"
#include "players/expert_player.h"
#include "players/round_model.h"
#include "random_round.h"

namespace {

// Few samples: these tests are about what the Expert may see and do, not
// about how well it plays.
ExpertSettings quickSettings()
{
    ExpertSettings s;
    s.samples = s.maxSamples = 4;
    s.begSamples = s.maxBegSamples = 2;
    s.nodeBudget = 4000;
    s.seed = 7;
    return s;
}

// Plays random legal cards until `plays` cards are down or the round ends.
void playRandomly(GameState& game, int plays, std::mt19937& rng)
{
    for (int i = 0; i < plays && game.isSeat(game.turn); ++i) {
        std::vector<Card*> legal;
        for (Card* c = game.seats[game.turn].hand; c; c = c->next)
            if (isLegalPlay(game, game.turn, c)) legal.push_back(c);
        applyPlay(game, game.turn, legal[rng() % legal.size()]);
    }
}

// Deals the cards no seat but `seat` can see (other hands and the pack)
// anew, keeping every hand's size.
void redealHidden(GameState& game, int seat, std::mt19937& rng)
{
    std::vector<Card*> hidden;
    std::vector<int> owner;
    auto take = [&](CardList& list, int who) {
        while (list) {
            Card* c = list;
            list = removeCard(list, c);
            hidden.push_back(c);
            owner.push_back(who);
        }
    };
    for (int s = 0; s < 4; ++s)
        if (s != seat) take(game.seats[s].hand, s);
    take(game.deck, -1);
    std::shuffle(hidden.begin(), hidden.end(), rng);
    for (size_t i = 0; i < hidden.size(); ++i) {
        if (owner[i] == -1) {
            hidden[i]->next = game.deck;
            game.deck = hidden[i];
        } else {
            game.seats[owner[i]].hand = insertSorted(hidden[i], game.seats[owner[i]].hand);
        }
    }
}

struct Round {
    GameState game;
    HeadlessTable table;

    Round(const RoundSetup& setup, std::mt19937 rng, int plays)
    {
        game.table = &table;
        dealRandomRound(game, setup, rng);
        playRandomly(game, plays, rng);
    }
};

}  // namespace

// Two games that differ only in cards the seat to move cannot see give that
// seat equal views, and the Expert the same decisions.
TEST(ExpertView, HiddenCardsChangeNeitherViewNorDecision)
{
    std::mt19937 rng(41);
    ExpertPlayer expert(quickSettings());
    int compared = 0;
    for (int i = 0; i < 60; ++i) {
        const RoundSetup setup = randomSetup(rng);
        const std::mt19937 dealRng(rng());
        const int plays = static_cast<int>(rng() % (setup.seatCount * 3));
        Round a(setup, dealRng, plays);
        Round b(setup, dealRng, plays);
        const int seat = a.game.turn;
        if (!a.game.isSeat(seat)) continue;
        redealHidden(b.game, seat, rng);
        SCOPED_TRACE("round " + std::to_string(i));
        ASSERT_NE(cardSetOf(a.game.seats[a.game.nextSeat[seat]].hand) | cardSetOf(a.game.deck),
                  CardSet{0});

        const bool begOpen = i % 3 == 0 && a.game.trick == nullptr;
        a.table.setBegEnabled(begOpen);
        b.table.setBegEnabled(begOpen);
        EXPECT_TRUE(makeSeatView(a.game, seat, begOpen) == makeSeatView(b.game, seat, begOpen));
        EXPECT_EQ(cardIndex(expert.cardToPlay(a.game, seat)), cardIndex(expert.cardToPlay(b.game, seat)));
        if (begOpen) {
            EXPECT_EQ(expert.begs(a.game, seat), expert.begs(b.game, seat));
        }
        ++compared;
    }
    EXPECT_GT(compared, 40);
}

// What play reveals: a seat that did not follow where the rules made it
// follow holds none of the suit led.
TEST(ExpertView, SuitsShownMissing)
{
    struct Row {
        const char* what;
        int32_t forceFollow;
        const char* trick;  // lead first; spades are trumps
        uint8_t secondSeatVoids;
    };
    const Row rows[] = {
        {"a plain card off a plain lead", FOLLOW_ALWAYS, "5H 3C", 1u << 2},
        {"a trump on a plain lead may be played holding the suit", FOLLOW_ALWAYS, "5H 3S", 0},
        {"following", FOLLOW_ALWAYS, "5H 9H", 0},
        {"a plain card on a trump lead", FOLLOW_ALWAYS, "5S 3C", 1u << 3},
        {"only trumps must be followed: plain lead", FOLLOW_ONLY_TRUMP, "5H 3C", 0},
        {"only trumps must be followed: trump lead", FOLLOW_ONLY_TRUMP, "5S 3C", 1u << 3},
        {"nothing must be followed", FOLLOW_NEVER, "5S 3C", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        GameState game;
        HeadlessTable table;
        game.table = &table;
        initGame(game);
        configureTable(game, 4);
        for (int s = 0; s < 4; ++s) setSeatName(game.seats[s], "P" + std::to_string(s));
        game.rules.forceFollow = row.forceFollow;
        CardText text(game.cards);
        game.kicked = text.card("2S");
        game.kicked->next = nullptr;
        game.trick = text.trick(row.trick);
        game.trick->holder = 3;          // the second card, newest first
        game.trick->next->holder = 0;    // the lead
        game.turn = 1;
        game.seats[1].hand = text.hand("4D");
        const SeatView view = makeSeatView(game, 1, false);
        EXPECT_EQ(view.voids[3], row.secondSeatVoids);
        EXPECT_EQ(view.voids[0], 0);
        EXPECT_EQ(view.played[3], cardBit(cardIndex(game.trick)));
    }
}

// Whatever the rules and the position, the Expert follows where it must and
// under-trumps only when a penalty costs nothing or no other card is left.
TEST(ExpertPlay, PlaysOnlySensibleLegalCards)
{
    std::mt19937 rng(5);
    const ExpertSearch search(quickSettings());
    int checked = 0;
    for (int i = 0; i < 150; ++i) {
        const RoundSetup setup = randomSetup(rng);
        Round round(setup, std::mt19937(rng()), static_cast<int>(rng() % (setup.seatCount * 4)));
        GameState& game = round.game;
        if (!game.isSeat(game.turn)) continue;
        const SeatView view = makeSeatView(game, game.turn, false);
        std::array<CardSet, 4> hands{};
        for (int s = 0; s < 4; ++s) hands[s] = cardSetOf(game.seats[s].hand);
        const RoundModel model = roundFromView(view, hands);
        const int card = search.chooseCard(view);
        SCOPED_TRACE("round " + std::to_string(i));
        ASSERT_TRUE(sensibleCards(model) & cardBit(card));
        EXPECT_TRUE(isLegalPlay(game, game.turn, findCardByIndex(game.seats[game.turn].hand, card)));
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

// One point would give the beggars the game: the dealer always runs the pack.
TEST(ExpertPlay, DealerRunsThePackWhenGivingOneLoses)
{
    std::mt19937 rng(9);
    const ExpertSearch search(quickSettings());
    for (int i = 0; i < 10; ++i) {
        RoundSetup setup = randomSetup(rng);
        Round round(setup, std::mt19937(rng()), 0);
        GameState& game = round.game;
        const int beggars = 1 - game.teamIndex(game.seats[game.dealer].team);
        game.teams[beggars].score = game.rules.target - 1;
        game.turn = TURN_BEGGING;
        EXPECT_TRUE(search.runsPack(makeSeatView(game, game.dealer, false)));
    }
}

// Under "Force beg if no trumps" an eldest hand without a trump begs: the
// Expert's own choice and the hint it gives a person alike.
TEST(ExpertPlay, BegsWhereTheRulesForceIt)
{
    std::mt19937 rng(11);
    const ExpertSearch search(quickSettings());
    int checked = 0;
    for (int i = 0; i < 400 && checked < 24; ++i) {
        RoundSetup setup = randomSetup(rng);
        setup.rules.forceBeg = 1;
        Round round(setup, std::mt19937(rng()), 0);
        const SeatView view = makeSeatView(round.game, round.game.turn, true);
        if (view.hand & suitCards(view.trumpSuit())) continue;
        SCOPED_TRACE("deal " + std::to_string(i));
        EXPECT_TRUE(search.begs(view));
        ++checked;
    }
    EXPECT_EQ(checked, 24);
}

namespace {

// A game whose seat to move is a computer seat thinking in the background.
class BackgroundTest : public ::testing::Test {
protected:
    BackgroundTest() : expert(quickSettings())
    {
        std::mt19937 rng(3);
        RoundSetup setup;
        game.table = &table;
        dealRandomRound(game, setup, rng);
        for (Seat& s : game.seats) s.kind = COMPUTER;
        game.seats[0].connection = 0;
        game.outbox = &loop;
    }

    // Waits, as the event loop would, until the answer is announced.
    void waitForWake()
    {
        pollfd p{expert.wakeDescriptor(), POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 20000), 1);
    }

    GameState game;
    HeadlessTable table;
    MemoryLoopback loop;
    BackgroundExpert expert;
};

}  // namespace

TEST_F(BackgroundTest, SendsTheAnswerOnlyWhenDelivered)
{
    const int seat = game.turn;
    expert.runComputerTurn(game);
    waitForWake();
    EXPECT_TRUE(loop.pending().empty());
    expert.deliver(game);
    ASSERT_EQ(loop.pending().size(), 1u);
    const GameAction sent = loop.pending().front();
    EXPECT_EQ(sent.action, ACTION_PLAY);
    EXPECT_EQ(sent.seat, seat);
    // The search of the program is the one self-play measures.
    ExpertPlayer same(quickSettings());
    EXPECT_EQ(sent.card, cardIndex(same.cardToPlay(game, seat)));
}

TEST_F(BackgroundTest, DeliveredAnswerWaitsForThePace)
{
    struct HeldPace : ComputerPace {
        void hold(std::function<void()> send) override { held = std::move(send); }
        std::function<void()> held;
    } pace;
    expert.setPace(&pace);
    expert.runComputerTurn(game);
    waitForWake();
    expert.deliver(game);
    EXPECT_TRUE(loop.pending().empty()) << "nothing goes out before the wait";
    ASSERT_TRUE(pace.held);
    pace.held();
    EXPECT_EQ(loop.pending().size(), 1u);
}

TEST_F(BackgroundTest, DropsTheAnswerWhenTheGameMovedOn)
{
    expert.runComputerTurn(game);
    waitForWake();
    // Meanwhile the seat's card was played (say from another copy of the game).
    applyPlay(game, game.turn, game.seats[game.turn].hand);
    game.seats[game.turn].kind = LOCAL_HUMAN;
    expert.deliver(game);
    EXPECT_TRUE(loop.pending().empty());
}

// The Expert's answer, like any computer move, answers a decision: an
// action that leaves it open keeps the answer, another decision brings a
// search for that one.
TEST_F(BackgroundTest, AnswerFollowsTheOpenDecision)
{
    struct HeldPace : ComputerPace {
        void hold(std::function<void()> send) override { held = std::move(send); }
        std::function<void()> held;
    } pace;
    expert.setPace(&pace);
    game.computers = &expert;
    const int first = game.turn;
    runComputerTurn(game);
    waitForWake();
    expert.deliver(game);
    ASSERT_TRUE(pace.held);
    GameAction call;
    call.seat = game.nextSeat[first];
    call.action = ACTION_CALL_RENEED;
    call.card = NO_CARD;
    receiveAction(game, call);
    std::exchange(pace.held, nullptr)();
    ASSERT_EQ(loop.pending().size(), 1u) << "the reneed call left the decision open";
    EXPECT_EQ(loop.pending().front().seat, first);

    // The card is applied, the next seat's search begins, and another copy
    // of the game moves on before its answer came.
    ASSERT_TRUE(loop.deliverOne(game));
    const int second = game.turn;
    ASSERT_NE(second, first);
    // Not asked meanwhile, so the answer on its way is the only one.
    game.computers = nullptr;
    applyPlay(game, second, game.seats[second].hand);
    game.computers = &expert;
    waitForWake();
    expert.deliver(game);
    EXPECT_FALSE(pace.held) << "a stale answer is dropped";
    waitForWake();
    expert.deliver(game);
    ASSERT_TRUE(pace.held) << "and the open decision searched for";
    pace.held();
    ASSERT_EQ(loop.pending().size(), 1u);
    EXPECT_EQ(loop.pending().front().seat, game.nextSeat[second]);
    game.computers = nullptr;
}

TEST_F(BackgroundTest, AdvisesWithoutSending)
{
    const int seat = game.turn;
    game.seats[seat].kind = LOCAL_HUMAN;
    table.setBegEnabled(true);
    std::vector<BackgroundExpert::Advice> advice;
    expert.advise(game, seat, [&advice](const BackgroundExpert::Advice& a) { advice.push_back(a); });
    waitForWake();
    expert.deliver(game);
    ASSERT_EQ(advice.size(), 1u);
    EXPECT_EQ(advice[0].seat, seat);
    EXPECT_TRUE(advice[0].beg || findCardByIndex(game.seats[seat].hand, advice[0].card));
    EXPECT_TRUE(loop.pending().empty());
}

// Positions whose hands hold the same cards between them, dealt differently
// among the other three seats: their keys must differ, or the search's table
// would hand one position's worth to the other.
TEST(ExpertSearchTable, KeysTellApartHandsThatShareTheirCards)
{
    struct Case {
        std::array<CardSet, 3> a, b;  // seats 1 to 3
    };
    const Case cases[] = {
        {{{0b101, 0b11000, 0b100010}}, {{0b1001, 0b10010, 0b100100}}},
        {{{0b11, 0b1100, 0b110000}}, {{0b110000, 0b1100, 0b11}}},
        {{{0b11, 0b1100, 0b110000}}, {{0b1100, 0b11, 0b110000}}},
    };
    auto position = [](const std::array<CardSet, 3>& others) {
        RoundModel r;
        r.hands = {{CardSet{0b11} << 40, others[0], others[1], others[2]}};
        return r;
    };
    for (const Case& c : cases) {
        EXPECT_NE(positionKey(position(c.a)), positionKey(position(c.b)));
        EXPECT_EQ(positionKey(position(c.a)), positionKey(position(c.a)));
    }
}
