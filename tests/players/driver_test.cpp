#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "card_text.h"
#include "engine/actions.h"
#include "engine/table.h"
#include "players/computer.h"

namespace {

class FakeTable : public Table {
public:
    void drawTable(bool) override {}
    void updateScoreLabels() override {}
    void pauseDisplay(int) override {}
    void processPendingEvents() override
    {
        ++eventRuns;
        if (pendingEvent) pendingEvent();
    }
    void showAnnouncement(const std::string&) override {}
    void sweepTrickAway(Card*, int) override {}
    void showHangJack() override {}
    bool begEnabled() const override { return begOn; }
    void setBegEnabled(bool enabled) override { begOn = enabled; }
    void showBegButton(bool) override {}
    void showNotice(const std::string&, const std::string&) override {}
    void showInformation(const std::string&, const std::string&) override {}
    void showError(const std::string&, const std::string&) override {}
    bool askQuestion(const std::string&, const std::string&) override { return true; }
    void showRoundSummary(const RoundSummary&) override {}
    void closeRoundSummary() override {}

    bool begOn = false;
    int eventRuns = 0;
    std::function<void()> pendingEvent;
};

class RecordingOutbox : public Outbox {
public:
    void sendAction(int, const GameAction& action) override
    {
        if (action.action == ACTION_BEG) {
            sent.push_back("beg " + std::to_string(action.seat));
            return;
        }
        CardStore store;
        buildDeck(store);
        const Card* card = findCardByIndex(&store[0], action.card);
        sent.push_back("play " + std::to_string(action.seat) + " " + nameOf(card));
    }
    std::vector<std::string> sent;
};

// A four-seat local game, spades trumps, seat 0 holding the loopback
// connection; seat 2 is the computer under test.
class DriverTest : public ::testing::Test {
protected:
    DriverTest()
    {
        std::srand(1);
        initGame(game);
        game.deck = nullptr;
        game.table = &table;
        game.outbox = &outbox;
        seatPlayers(4);
        game.kicked = text.trick("5S");
    }

    void seatPlayers(int seatCount)
    {
        configureTable(game, seatCount);
        for (int s = 0; s < 4; ++s) {
            if (seatCount == 2 && s % 2 == 1) continue;
            setSeatName(game.seats[s], "P" + std::to_string(s));
        }
        game.seats[0].connection = 0;
        game.seats[2].kind = COMPUTER;
    }

    // Every card not on the table goes to the deck, so that the game is
    // whole when real actions are applied to it.
    void deckTheRest()
    {
        std::set<const Card*> placed;
        for (const Card* list : {game.kicked, game.trick, game.seats[0].hand, game.seats[1].hand,
                                 game.seats[2].hand, game.seats[3].hand})
            for (const Card* c = list; c; c = c->next) placed.insert(c);
        game.deck = nullptr;
        for (Card& c : game.cards)
            if (!placed.count(&c)) {
                c.next = game.deck;
                game.deck = &c;
            }
    }

    GameState game;
    FakeTable table;
    RecordingOutbox outbox;
    CardText text{game.cards};
};

using Sent = std::vector<std::string>;

}  // namespace

TEST_F(DriverTest, BegsStandsOrPlaysOnlyForAComputerOnTurn)
{
    struct Row {
        const char* what;
        int seatCount;
        int turn;
        SeatKind kind;
        bool begOpen;
        const char* hand;
        const char* trick;
        Sent expected;
    };
    const std::vector<Row> rows = {
        {"eldest without trumps begs", 4, 2, COMPUTER, true, "5D 5C 5H", "", {"beg 2"}},
        {"eldest with three trumps leads", 4, 2, COMPUTER, true, "2S 3S 4S", "", {"play 2 2S"}},
        {"after a give-one it leads", 4, 2, COMPUTER, false, "5D 5C 5H", "", {"play 2 5D"}},
        {"four seats follow", 4, 2, COMPUTER, false, "3D 4S JS", "10S", {"play 2 4S"}},
        {"two seats follow", 2, 2, COMPUTER, false, "3D 4S JS", "10S", {"play 2 JS"}},
        {"a person's turn", 4, 2, LOCAL_HUMAN, true, "5D 5C 5H", "", {}},
        {"a remote seat's turn", 4, 2, REMOTE, false, "5D 5C 5H", "", {}},
        {"begging: the answer comes from the engine", 4, TURN_BEGGING, COMPUTER, false, "5D 5C 5H", "", {}},
        {"dealing", 4, TURN_DEALING, COMPUTER, true, "5D 5C 5H", "", {}},
        {"idle", 4, TURN_IDLE, COMPUTER, false, "5D 5C 5H", "", {}},
    };
    ComputerStrategy strategy;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        seatPlayers(row.seatCount);
        game.seats[2].kind = row.kind;
        game.seats[2].hand = text.hand(row.hand);
        game.trick = text.trick(row.trick);
        game.turn = row.turn;
        table.begOn = row.begOpen;
        table.eventRuns = 0;
        outbox.sent.clear();

        strategy.runComputerTurn(game);

        EXPECT_EQ(outbox.sent, row.expected);
        EXPECT_EQ(table.eventRuns, 1);
        // Only the actions change the game, when they come back.
        EXPECT_EQ(countCards(game.seats[2].hand), 3);
        EXPECT_EQ(countCards(game.trick), row.trick[0] ? 1 : 0);
        EXPECT_EQ(game.turn, row.turn);
        EXPECT_EQ(table.begOn, row.begOpen);
    }
}

TEST_F(DriverTest, LooksAtTurnAndBegButtonAfterPendingEvents)
{
    ComputerStrategy strategy;
    game.seats[2].hand = text.hand("5D 5C 5H");
    game.turn = TURN_IDLE;
    table.begOn = true;
    // An action waiting on the connection gives the computer the turn and
    // closes the beg.
    table.pendingEvent = [this] {
        game.turn = 2;
        table.begOn = false;
    };
    strategy.runComputerTurn(game);
    EXPECT_EQ(outbox.sent, Sent{"play 2 5D"});
}

TEST_F(DriverTest, DealerAnswerReadsTheBeggarsScoreAndTarget)
{
    ComputerStrategy strategy;
    game.dealer = 0;
    game.seats[0].hand = text.hand("2S 3S 4S 9D 8C 7H");
    EXPECT_FALSE(strategy.dealerAcceptsBeg(game));
    game.teams[0].score = 13;  // the dealer's own team
    EXPECT_FALSE(strategy.dealerAcceptsBeg(game));
    game.teams[1].score = 13;
    EXPECT_TRUE(strategy.dealerAcceptsBeg(game));
    game.teams[1].score = 6;
    game.rules.target = 7;
    EXPECT_TRUE(strategy.dealerAcceptsBeg(game));
}

TEST_F(DriverTest, RandomPlayerPlaysEveryLegalCardAndNothingElse)
{
    RandomPlayer random;
    game.seats[2].hand = text.hand("2H 9H 3C 4S 6D");
    game.trick = text.trick("5H");
    game.turn = 2;
    std::set<std::string> played;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        outbox.sent.clear();
        random.runComputerTurn(game);
        ASSERT_EQ(outbox.sent.size(), 1u);
        played.insert(outbox.sent[0]);
    }
    EXPECT_EQ(played, (std::set<std::string>{"play 2 2H", "play 2 9H", "play 2 4S"}));
}

namespace {

// Answers as told and remembers which seat it was asked for.
class ScriptedPlayer : public TurnDriver {
public:
    bool begs(const GameState&, int seat) override
    {
        askedFor.push_back(seat);
        return true;
    }
    const Card* cardToPlay(const GameState&, int seat) override
    {
        askedFor.push_back(seat);
        return nullptr;
    }
    bool dealerAcceptsBeg(const GameState& game) override
    {
        askedFor.push_back(game.dealer);
        return true;
    }
    std::vector<int> askedFor;
};

}  // namespace

TEST_F(DriverTest, TeamPlayersAskTheTeamOfTheSeat)
{
    ComputerStrategy strategy;
    ScriptedPlayer scripted;
    TeamPlayers players(strategy, scripted);
    game.seats[1].kind = COMPUTER;
    game.seats[1].hand = text.hand("2S 3S 4S");
    game.seats[2].hand = text.hand("5D 5C 5H");
    table.begOn = true;

    game.turn = 1;
    players.runComputerTurn(game);
    game.turn = 2;
    players.runComputerTurn(game);
    EXPECT_EQ(outbox.sent, (Sent{"play 1 2S", "beg 2"}));

    game.dealer = 3;
    EXPECT_TRUE(players.dealerAcceptsBeg(game));
    game.dealer = 1;  // the strategy takes one with three trumps
    EXPECT_FALSE(players.dealerAcceptsBeg(game));
    EXPECT_EQ(scripted.askedFor, (std::vector<int>{2, 3}));
}

namespace {

// Keeps the send until the test lets it go, as the window's timer would.
class HeldPace : public ComputerPace {
public:
    void hold(std::function<void()> send) override { held = std::move(send); }
    std::function<void()> held;
};

}  // namespace

// A move held for the pace answers a decision; only another decision makes
// it stale, and then the driver looks again.
TEST_F(DriverTest, PacedMoveOutlivesActionsThatLeaveItsDecisionOpen)
{
    auto arrives = [](int seat, int code, int card) {
        return [=](GameState& g) {
            GameAction action;
            action.seat = seat;
            action.action = code;
            action.card = card;
            receiveAction(g, action);
        };
    };
    struct Row {
        const char* what;
        std::function<void(GameState&)> meanwhile;
        Sent expected;
    };
    const std::vector<Row> rows = {
        {"nothing happened", [](GameState&) {}, {"play 2 5D"}},
        {"a reneed call", arrives(1, ACTION_CALL_RENEED, NO_CARD), {"play 2 5D"}},
        {"a takeover of another seat", arrives(1, ACTION_TAKEOVER, NO_CARD), {"play 2 5D"}},
        {"a play out of turn", arrives(3, ACTION_PLAY, 0), {"play 2 5D"}},
        {"an unknown code", arrives(0, 42, NO_CARD), {"play 2 5D"}},
        {"the turn passed to a person", [](GameState& g) { g.turn = 0; }, {}},
        {"the turn passed to another computer",
         [](GameState& g) {
             g.seats[3].kind = COMPUTER;
             g.turn = 3;
         },
         {"play 3 6D"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        seatPlayers(4);
        ComputerStrategy strategy;
        HeldPace pace;
        strategy.setPace(&pace);
        game.computers = &strategy;
        game.computersAsked = {};
        game.seats[2].hand = text.hand("5D 5C 5H");
        game.seats[3].hand = text.hand("6D");
        game.trick = nullptr;
        game.turn = 2;
        deckTheRest();
        outbox.sent.clear();
        runComputerTurn(game);
        EXPECT_TRUE(outbox.sent.empty()) << "nothing goes out before the wait";
        ASSERT_TRUE(pace.held);
        row.meanwhile(game);
        // The pace lets go of whatever it holds then, as its timer would.
        for (int waits = 0; pace.held && waits < 3; ++waits) std::exchange(pace.held, nullptr)();
        EXPECT_EQ(outbox.sent, row.expected);
        game.computers = nullptr;
    }
}
