// The computer seats: the beg decisions and the turn driver the engine calls
// after every change of turn.
#pragma once

#include <functional>

#include "engine/game_state.h"

// The eldest hand's choice after the kick: true begs, false stands.
bool wantsToBeg(const Card* hand, const Card* kicked);
// The dealer's answer to a beg: true runs the pack, false gives one.
bool dealerAcceptsBeg(const Card* hand, const Card* kicked, int beggarScore, int target);

// When a computer's chosen action goes out, so that a person can follow the
// table: the window waits by a timer, never by blocking.
class ComputerPace {
public:
    virtual ~ComputerPace() = default;
    // Runs send once the wait between computer moves has passed, or at once
    // when there is none. A send still waiting is replaced.
    virtual void hold(std::function<void()> send) = 0;
};

// Every computer action leaves through here: at once without a pace, else
// once the pace's wait has passed, and then only if the decision it answers
// is still open; a stale one makes the driver look again. card is null for
// a beg.
void sendComputerAction(ComputerPace* pace, GameState& game, const Decision& answers, int code, const Card* card);

// The turn driver: lets pending events run, then, if the seat to move is a
// COMPUTER seat of this process, sends its beg or its play. It never changes
// the game state itself; the action takes effect when it comes back.
class TurnDriver : public ComputerPlayers {
public:
    void runComputerTurn(GameState& game) final;
    // Without a pace every choice goes out at once.
    void setPace(ComputerPace* pace) { pace_ = pace; }

    // The seat's own decisions, asked only when it is that seat's turn.
    virtual bool begs(const GameState& game, int seat) = 0;
    virtual const Card* cardToPlay(const GameState& game, int seat) = 0;

private:
    ComputerPace* pace_ = nullptr;
};

// The fixed rules of the computer players.
class ComputerStrategy : public TurnDriver {
public:
    bool begs(const GameState& game, int seat) override;
    const Card* cardToPlay(const GameState& game, int seat) override;
    bool dealerAcceptsBeg(const GameState& game) override;
};

// A legal card, a beg and an answer to a beg, each chosen at random with
// rand(): a yardstick for the fixed rules.
class RandomPlayer : public TurnDriver {
public:
    bool begs(const GameState& game, int seat) override;
    const Card* cardToPlay(const GameState& game, int seat) override;
    bool dealerAcceptsBeg(const GameState& game) override;
};

// Lets each team's seats decide by a player of their own, for matches of
// one player against another.
class TeamPlayers : public TurnDriver {
public:
    TeamPlayers(TurnDriver& team0, TurnDriver& team1) : players_{&team0, &team1} {}
    void seat(TurnDriver& team0, TurnDriver& team1)
    {
        players_[0] = &team0;
        players_[1] = &team1;
    }

    bool begs(const GameState& game, int seat) override;
    const Card* cardToPlay(const GameState& game, int seat) override;
    bool dealerAcceptsBeg(const GameState& game) override;

private:
    TurnDriver& playerOf(const GameState& game, int seat) const;

    TurnDriver* players_[2];
};
