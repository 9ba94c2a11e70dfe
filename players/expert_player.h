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

    struct Decision {
        enum Kind { BEG, DEALER, CARD } kind;
        int seats;      // in play
        int handSize;   // cards in the deciding hand
        double ms;      // processor time of the thread that searched
        bool forced;    // made by the rules or the cards, without a search
    };
    // Every decision so far, in order.
    const std::vector<Decision>& decisions() const { return decisions_; }

private:
    SeatView viewOf(const GameState& game, int seat, bool begOpen) const;
    template <typename Decide>
    auto timed(Decision::Kind kind, const SeatView& view, bool forced, Decide decide);

    ExpertSearch search_;
    bool omniscient_;
    std::vector<Decision> decisions_;
};
