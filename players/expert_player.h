// The Expert as a computer player of this process: every decision is
// searched from the view of the seat that makes it, at once and on the
// calling thread (self-play, tests; the program thinks in the background).
#pragma once

#include <vector>

#include "players/computer.h"
#include "players/expert_search.h"

class ExpertPlayer : public TurnDriver {
public:
    // An omniscient player sees every hand: a yardstick for measuring only.
    explicit ExpertPlayer(const ExpertSettings& settings, bool omniscient = false)
        : search_(settings), omniscient_(omniscient)
    {
    }

    bool begs(const GameState& game, int seat) override;
    const Card* cardToPlay(const GameState& game, int seat) override;
    bool dealerAcceptsBeg(const GameState& game) override;

    // How long each decision took, in milliseconds, in order.
    const std::vector<double>& decisionTimes() const { return times_; }

private:
    SeatView viewOf(const GameState& game, int seat, bool begOpen) const;

    ExpertSearch search_;
    bool omniscient_;
    std::vector<double> times_;
};
