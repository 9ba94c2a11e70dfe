// The Expert's search: determinized (perfect-information Monte Carlo)
// search. Each decision samples deals of the unseen cards consistent with
// the seat's view, solves every sample exactly (or to a horizon when it is
// large) with alpha-beta over the round model, and takes the choice whose
// average worth is best. Worth is the chance of winning the game, judged
// from the scores at the end of the round against the target.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "players/seat_view.h"

struct ExpertSettings {
    // Sampled deals per card decision, and per branch of a beg decision: at
    // least the first count, and up to the second while the decision has
    // spent fewer than decisionNodes alpha-beta nodes.
    int samples = 24;
    int maxSamples = 64;
    int begSamples = 16;
    int maxBegSamples = 64;
    long decisionNodes = 2000000;
    // Alpha-beta nodes one sample may spend before its search is cut to a
    // horizon of fewer tricks.
    long nodeBudget = 100000;
    // Mixed with the view into each decision's own generator, so that a
    // decision depends only on the view and this seed.
    uint64_t seed = 1;
};

class ExpertSearch {
public:
    explicit ExpertSearch(const ExpertSettings& settings, const std::atomic<bool>* cancel = nullptr)
        : settings_(settings), cancel_(cancel)
    {
    }

    // The card index to play; the view's seat must be the one to move.
    int chooseCard(const SeatView& view) const;
    // The eldest hand with the beg open: true begs, false stands.
    bool begs(const SeatView& view) const;
    // The dealer after a beg: true runs the pack, false gives one.
    bool runsPack(const SeatView& view) const;

    // What those choices are weighed by, for a review of anyone's choice:
    // the chance of winning the game for the view's team after each of the
    // cards given (any the seat may play; the view's seat must be the one to
    // move).
    std::vector<double> cardWorths(const SeatView& view, const std::vector<int>& cards) const;
    // After a beg's possible outcomes: standing with the eldest's best lead
    // (weighed only when the view is the eldest's with the beg open), the
    // dealer giving one, and the dealer running the pack.
    struct BegWorths {
        double stand = 0;
        double give = 0;
        double run = 0;
    };
    BegWorths begWorths(const SeatView& view) const;

private:
    // Sums over the sampled deals the worth to the view's team of each move,
    // each deal by its weight; returns the sum of the weights.
    double weighMoves(const SeatView& view, const int* moves, int n, double* total) const;

    ExpertSettings settings_;
    // Set when the answer is no longer wanted: the search ends early.
    const std::atomic<bool>* cancel_;
};

// Decisions the rules or the cards make alone, with no search: one card
// worth playing (twins counted once), a beg the rules force on a hand
// without trumps, a pack the dealer must run or lose.
bool cardIsForced(const SeatView& view);
bool begIsForced(const SeatView& view);
bool runIsForced(const SeatView& view);

struct RoundModel;
// The key under which the search's table keeps a position between tricks:
// each hand is mixed in by itself, so moving cards between hands changes it.
uint64_t positionKey(const RoundModel& round);

// The chance that team 0 wins the game from these scores, for scores that
// have not ended it.
double winChance(int score0, int score1, int target);
