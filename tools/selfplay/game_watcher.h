// What self-play checks while games run, and the players it uses.
#pragma once

#include <ostream>
#include <string>

#include "engine/actions.h"
#include "players/computer.h"
#include "players/expert_player.h"
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

    bool finished = false;

private:
    void report(const std::string& what);

    GameState& game_;
    SelfPlayResult& result_;
    std::ostream& log_;
    bool verbose_;
    int lastTurn_ = TURN_IDLE;
    int handSize_ = 0;
};

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
