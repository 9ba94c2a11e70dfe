// The review of a player's decisions in a recorded game by the Expert: for
// each beg or stand, each answer to a beg and each card, the chance of
// winning the game after the choice made and after the Expert's best, both
// judged from what that seat could see then.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "players/expert_search.h"
#include "players/seat_view.h"

// One decision of a reviewed seat, as the game stood when it was made.
struct ReviewDecision {
    enum Kind { BEG, DEALER, CARD } kind = CARD;
    SeatView view;
    // CARD: the card index played. BEG: 1 begged, 0 stood. DEALER: 1 ran
    // the pack, 0 gave one.
    int choice = 0;
    int round = 0;  // from 1, counting deals
    int trick = 0;  // from 1 within the round
    int line = 0;   // of the record, where the decision's action stands
};

// Watches a stream of actions, each with the game as it stood before it was
// applied, and keeps the decisions of the seats asked for. A decision with
// only one choice (a single legal card, a forced beg, a forced run of the
// pack) is no decision and is not kept.
class DecisionCollector {
public:
    explicit DecisionCollector(const std::array<bool, 4>& seats) : seats_(seats) {}
    void before(const GameState& game, const GameAction& action, int line);

    std::vector<ReviewDecision> decisions;

private:
    std::array<bool, 4> seats_;
    int round_ = 0;
    bool begAnswerDue_ = false;
};

// What the Expert makes of a decision.
struct ReviewedDecision {
    ReviewDecision decision;
    double chosen = 0;  // win chance of the seat's team after the choice, 0 to 1
    double best = 0;    // after the Expert's best choice
    int bestChoice = 0; // in the form of ReviewDecision::choice
    // Points of winning chance lost: 100 x (best - chosen), never below 0.
    double loss() const { return chosen < best ? 100 * (best - chosen) : 0; }
};

// Losses of at least 5, 10 and 20 points of winning chance. The steps were
// set from the losses measured over self-played games (docs/game-record.md).
enum class ReviewGrade { GOOD, INACCURACY, MISTAKE, BLUNDER };
ReviewGrade gradeOf(double lossPoints);
// "", "inaccuracy", "mistake", "blunder".
const char* gradeName(ReviewGrade grade);

class GameReviewer {
public:
    // The Expert's settings: its samples of the unseen cards per decision,
    // and its search for each sample. `cancel`, when set, ends the review
    // early (the results then mean nothing).
    explicit GameReviewer(const ExpertSettings& settings, const std::atomic<bool>* cancel = nullptr)
        : cancel_(cancel), search_(settings, cancel)
    {
    }

    ReviewedDecision review(const ReviewDecision& decision) const;
    // Every decision in order; `progress(done, total)` after each.
    std::vector<ReviewedDecision> reviewAll(const std::vector<ReviewDecision>& decisions,
                                            const std::function<void(size_t, size_t)>& progress = nullptr) const;

private:
    const std::atomic<bool>* cancel_;
    ExpertSearch search_;
};

// A choice as the review's text shows it: a card as "Ah", "beg" or
// "stand", "run" or "give".
std::string choiceText(ReviewDecision::Kind kind, int choice);
