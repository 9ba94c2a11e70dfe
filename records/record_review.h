// A recorded game put to the Expert's review: the decisions of the chosen
// seats taken from a replay of the record, and the review as text.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "players/game_review.h"
#include "records/record_replay.h"

// The seats of the people at the recording machine.
std::array<bool, 4> personSeats(const RecordHeader& header);

// Replays the record and keeps the decisions of the seats; none, with the
// error, for a record that cannot be replayed.
std::optional<std::vector<ReviewDecision>> collectDecisions(const GameRecord& record, const std::array<bool, 4>& seats,
                                                            RecordError& error);

struct ReviewSummary {
    int decisions = 0;
    int inaccuracies = 0;
    int mistakes = 0;
    int blunders = 0;
    double averageLoss = 0;  // points of winning chance a decision
};
ReviewSummary summarizeReview(const std::vector<ReviewedDecision>& reviewed);

// One line a decision: where it was made, the choice and its win chance,
// the Expert's best and its win chance, and the loss with its grade when
// there is one; then the summary.
std::string reviewText(const RecordHeader& header, const std::vector<ReviewedDecision>& reviewed);
// "14 decisions: 2 inaccuracies, 1 mistake, 0 blunders; average loss 3.4 points"
std::string summaryText(const ReviewSummary& summary);

// A finished review is kept beside its record, "NAME.review" for
// "NAME.mvr" (docs/game-record.md): it holds the Expert's verdicts and
// where each decision stands, never the game, which is the record's.
std::string reviewPathFor(const std::string& recordPath);
// Written whole under another name and then put in place; false, with
// the reason, when it cannot be.
bool saveReview(const std::string& path, const std::vector<ReviewedDecision>& reviewed, std::string& error);
// The decisions as saved; each one's view knows only its seat.
std::optional<std::vector<ReviewedDecision>> loadReview(const std::string& path, RecordError& error);
