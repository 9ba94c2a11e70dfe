// The Expert for the program: it thinks on a thread of its own, on its own
// copy of the seat's view, so the window keeps repainting and its menus
// answer meanwhile. The answer comes back through the event loop: the
// program watches wakeDescriptor() and calls deliver() on the GUI thread
// when it is readable. An answer to a decision that is no longer open is
// dropped and the open one looked at again; only deliver() sends anything.
#pragma once

#include <functional>
#include <memory>

#include "engine/game_state.h"
#include "players/computer.h"
#include "players/expert_search.h"

class BackgroundExpert : public ComputerPlayers {
public:
    explicit BackgroundExpert(const ExpertSettings& settings);
    ~BackgroundExpert() override;
    BackgroundExpert(const BackgroundExpert&) = delete;
    BackgroundExpert& operator=(const BackgroundExpert&) = delete;

    // Without a pace every answer goes out as soon as it is delivered.
    void setPace(ComputerPace* pace) { pace_ = pace; }

    // Readable while an answer waits for deliver().
    int wakeDescriptor() const { return wake_[0]; }

    // Starts thinking for a COMPUTER seat whose turn it is.
    void runComputerTurn(GameState& game) override;
    // The engine needs the dealer's answer at once: it is searched in the
    // background while the pending events run.
    bool dealerAcceptsBeg(const GameState& game) override;
    // Sends the waiting answer if its decision is still open, or hands the
    // waiting advice on if the game is still where the search began.
    void deliver(GameState& game);

    // The Expert's choice for a seat: beg (card NO_CARD), or stand or play
    // the card.
    struct Advice {
        int seat = 0;
        bool beg = false;
        int card = NO_CARD;
    };
    // Searches for any seat (a person's, for a hint); `done` is called from
    // deliver(). A later request or a computer's turn replaces it.
    void advise(const GameState& game, int seat, std::function<void(const Advice&)> done);

private:
    struct Job;
    void start(std::unique_ptr<Job> job);
    void finish();

    ExpertSettings settings_;
    ComputerPace* pace_ = nullptr;
    int wake_[2] = {-1, -1};
    std::unique_ptr<Job> job_;
};
