// What self-play checks while games run, and the players it uses.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>

#include "engine/actions.h"
#include "players/computer.h"
#include "players/expert_player.h"
#include "records/record_writer.h"
#include "tools/selfplay/self_play.h"

// Checks every applied action and watches rounds and game ends.
class GameWatcher : public GameHooks {
public:
    GameWatcher(GameState& game, SelfPlayResult& result, std::ostream& log, bool verbose)
        : game_(game), result_(result), log_(log), verbose_(verbose)
    {
    }

    // After each applied action.
    void after(const GameAction& action);
    void onRoundSummary();
    // Nobody leaves a self-played game and no message is damaged, so every
    // error box is a fault.
    void onError(const std::string& caption, const std::string& text) { report(caption + ": " + text); }

    void recordGameResult(const GameState&, int winnerTeam) override;
    void endSession(GameState&) override { finished = true; }
    // Games are recorded by the writer too, from here on.
    void recordTo(RecordWriter* writer) { recorder_ = writer; }

    bool finished = false;

private:
    void report(const std::string& what);

    GameState& game_;
    SelfPlayResult& result_;
    std::ostream& log_;
    bool verbose_;
    int lastTurn_ = TURN_IDLE;
    int handSize_ = 0;
    RecordWriter* recorder_ = nullptr;
};

// The writer of --record, or none without it.
std::unique_ptr<RecordWriter> makeRecorder(const SelfPlayOptions& options);

// The two players of one team: `first` at the team's first seat (seat 0 or
// 2), `partner` at the other.
class PairPlayers : public TurnDriver {
public:
    void seat(TurnDriver& first, TurnDriver& partner)
    {
        first_ = &first;
        partner_ = &partner;
    }

    bool begs(const GameState& game, int seat) override { return at(seat).begs(game, seat); }
    const Card* cardToPlay(const GameState& game, int seat) override { return at(seat).cardToPlay(game, seat); }
    bool dealerAcceptsBeg(const GameState& game) override { return at(game.dealer).dealerAcceptsBeg(game); }

private:
    TurnDriver& at(int seat) const { return seat % 2 == 0 ? *first_ : *partner_; }

    TurnDriver* first_ = nullptr;
    TurnDriver* partner_ = nullptr;
};

// The window's pace on a simulated clock: a computer move held now goes out
// 0 to 900 ms later, and a later one replaces it.
class SimulatedPace : public ComputerPace {
public:
    static constexpr long MAX_WAIT_MS = 900;
    // A game with no action for this long stands still.
    static constexpr long STALL_MS = 10000;

    SimulatedPace(long& nowMs, std::mt19937& rng) : nowMs_(nowMs), rng_(rng) {}
    void hold(std::function<void()> send) override;

    bool holds() const { return static_cast<bool>(held_); }
    long dueMs() const { return dueMs_; }
    // The clock moves on to the held move's time and lets it go.
    void release();
    // One wait in six, something else happens first: the clock moves on to
    // a moment of the wait and true is returned.
    bool interrupted();
    void drop() { held_ = nullptr; }

private:
    long& nowMs_;
    std::mt19937& rng_;
    long dueMs_ = 0;
    std::function<void()> held_;
};

// The computer players of the two teams: player A and player B, on the
// teams a game's number gives them.
class Players {
public:
    explicit Players(const SelfPlayOptions& options);

    // Seats A on team 0 for game 0, 2, 4 ..., on team 1 for the others.
    void seatForGame(int game);
    bool aOnTeam0() const { return aOnTeam0_; }
    // The decisions of the searching players so far.
    std::vector<ExpertPlayer::Decision> decisions() const;

    TeamPlayers teams;

private:
    TurnDriver& player(PlayerKind kind);
    PairPlayers& side(PairPlayers& pair, const Side& kinds);

    const SelfPlayOptions& options_;
    ComputerStrategy strategy_;
    RandomPlayer random_;
    ExpertPlayer expert_;
    ExpertPlayer omniscient_;
    PairPlayers sideA_;
    PairPlayers sideB_;
    bool aOnTeam0_ = true;
};

// Names every seat of a game of that many seats as a computer seat.
void nameComputerSeats(GameState& game, int seats);
