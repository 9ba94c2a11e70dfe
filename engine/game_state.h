// The game state every process holds a copy of. It changes only by applying
// game actions (actions.h); the program owns exactly one, tests may own many.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/cards.h"
#include "engine/decision.h"
#include "engine/game_action.h"
#include "engine/rules.h"

class Table;
class Outbox;
class ComputerPlayers;
class GameHooks;

enum SeatKind : int32_t { LOCAL_HUMAN = 0, REMOTE = 1, COMPUTER = 2 };

enum : int32_t { TURN_DEALING = 4, TURN_BEGGING = 7, TURN_IDLE = 9 };

enum SessionMode : int32_t {
    MODE_QUITTING = -1,
    MODE_SETUP = -99,
    MODE_LOCAL = 0,
    MODE_JOINED = 1,
    MODE_HOSTING = 2,
};

constexpr int SEAT_COUNT_MAX = 4;
constexpr int PARTNER_SEAT[4] = {1, 0, 3, 2};

struct Team;

struct Seat {
    std::string name;   // empty: the seat is not in play
    bool named = false; // a seat can be in play under an empty name
    Team* team = nullptr;
    CardList hand = nullptr;
    int32_t connection = -1;
    SeatKind kind = LOCAL_HUMAN;
    Seat* next = nullptr;
    bool reneged = false;
    bool renegedOnTrump = false;
    // The first reneed of the round, for the call that finds it: the card
    // played (its index) and the suit it did not follow.
    int renegeCard = -1;
    char renegeLed = 0;
    bool bareJack = false;
    bool highTrump = false;
    // A computer at the host plays the seat for its person, who left; every
    // copy marks it at the same point of the action stream.
    bool standIn = false;
    // Points at an entry of the computer name table when a computer was
    // named; names typed by people never block a computer name.
    const char* computerName = nullptr;

    bool inPlay() const { return named; }
};

struct Team {
    Seat* first = nullptr;
    Seat* second = nullptr;
    int32_t score = 0;
    int32_t cardPoints = 0;
    int32_t jackPoints = 0;
    int32_t startScore = 0;
    bool wonHigh = false;
    bool wonLow = false;
    bool wonGame = false;
    int32_t jacksKicked = 0;
    int32_t acesKicked = 0;
    int32_t sixesKicked = 0;
    bool tookOne = false;
    int32_t twosKicked = 0;
    CardList pile = nullptr;
    Team* opponent = nullptr;
    int32_t falseCalls = 0;
    bool renegeCalled = false;
    // How the jack of trumps ended this round, for the round summary.
    bool jackSafe = false;
    bool jackHung = false;
};

struct GameState {
    GameState() = default;
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    CardStore cards;
    std::array<Seat, 4> seats;
    std::array<Team, 2> teams;
    CardList deck = nullptr;
    CardList kicked = nullptr;
    CardList trick = nullptr;
    int32_t trickCount = 0;
    int32_t turn = TURN_IDLE;
    int32_t dealer = 0;
    int32_t seatCount = 4;
    int32_t localSeat = 0;
    int32_t partnerSeat = 1;
    bool hosting = false;
    std::array<int32_t, 4> lastTrick{{NO_CARD, NO_CARD, NO_CARD, NO_CARD}};
    int32_t lastTrickWinner = -1;  // the seat that won lastTrick
    std::array<int32_t, 4> tablePosition{{0, 1, 2, 3}};
    std::array<int32_t, 4> nextSeat{{3, 2, 0, 1}};
    RuleSettings rules;
    RuleSettings pendingRules;
    // A deal to play again: the next game's first dealer and the cards of its
    // first round in the order they are dealt (the pack runs included), in
    // place of a random dealer and a shuffle. Used once; a game's reset
    // forgets it.
    struct StackedDeal {
        int32_t dealer = -1;
        std::vector<int32_t> cards;
    } stackedDeal;
    SessionMode sessionMode = MODE_QUITTING;
    int32_t localPlayers = 1;

    // Actions that arrived while another was being applied (receiveAction).
    std::deque<GameAction> arrived;
    bool applyingAction = false;
    // Counts the received actions, each from the moment its applying begins.
    uint64_t appliedActions = 0;
    // The decision the computer players were last asked to answer: a move
    // for it is on its way, so it is not asked for again.
    Decision computersAsked;
    // Called after each received action has been applied, for checks.
    std::function<void(const GameAction&)> afterAction;

    // Seams to the world around the engine; wired by the owner.
    Table* table = nullptr;
    Outbox* outbox = nullptr;
    // The one connection every action this process sends goes out on, or
    // -1 for each seat's own: in an internet game actions travel through
    // the host, so that every copy applies them in the host's order.
    int actionRoute = -1;
    ComputerPlayers* computers = nullptr;
    GameHooks* hooks = nullptr;

    int teamIndex(const Team* team) const { return team == &teams[1] ? 1 : 0; }
    int seatIndex(const Seat* seat) const { return static_cast<int>(seat - &seats[0]); }
    bool isSeat(int value) const { return value >= 0 && value < 4; }
    bool seatInPlay(int value) const { return isSeat(value) && seats[value].inPlay(); }
    char trumpSuit() const { return kicked ? kicked->suit : 0; }
};

// Writing a game action on a connection slot; the transport implements it.
class Outbox {
public:
    virtual ~Outbox() = default;
    virtual void sendAction(int slot, const GameAction& action) = 0;
};

// The computer players, called upward from the engine.
class ComputerPlayers {
public:
    virtual ~ComputerPlayers() = default;
    // At each change of turn, and whenever a COMPUTER seat of this process
    // has a decision open that was not asked for yet. For that decision one
    // move must then be on its way, however long the table's pace holds it.
    virtual void runComputerTurn(GameState& game) = 0;
    // The dealer's answer to a beg: true runs the pack, false gives one.
    virtual bool dealerAcceptsBeg(const GameState& game) = 0;
};

// What the end of a game asks of the records and the session.
class GameHooks {
public:
    virtual ~GameHooks() = default;
    // Offers the finished game to the high score table; winnerTeam is the
    // team the game was awarded to (0 or 1), -1 for none.
    virtual void recordGameResult(const GameState& game, int winnerTeam) = 0;
    // A round was scored and the game goes on: every copy gets here at the
    // same point of the action stream.
    virtual void roundScored(GameState&) {}
    // A game ended without another: close the session's connections and, in
    // a local game, open the setup dialog again.
    virtual void endSession(GameState& game) = 0;
    // Who drives a seat is the session's to say: a computer stands in for
    // its lost person, and hands it back when that person returns.
    virtual void seatTakenOver(GameState&, int) {}
    virtual void seatReturned(GameState&, int) {}
    // At the turn of a stood-in seat that this process plays: true when the
    // seat was handed back to its returning person instead of played.
    virtual bool handSeatBack(GameState&, int) { return false; }
};

// Set-up and whole-state operations.
void setSeatName(Seat& seat, const std::string& name);
void clearSeatName(Seat& seat);
void initGame(GameState& game);
// Puts who drives each seat, over which connection, and where the seats sit
// on this table back to their start-up values: a session that begins must
// not inherit the seating of the one before.
void resetSeating(GameState& game);
void configureTable(GameState& game, int seatCount);
void gatherCards(GameState& game);
void resetRound(GameState& game);
void resetGame(GameState& game);
Team* winningTeam(GameState& game);
// The score as the labels, the round summary and the high score table see
// it: never above the target, even while a kick or a bullseye has just
// pushed it past and the engine pauses on its banner.
int32_t shownScore(const GameState& game, const Team& team);
// Caps both scores at the target and refreshes the labels.
void refreshScores(GameState& game);
