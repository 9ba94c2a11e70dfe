// The review of a game on a thread of its own, on its own copy of the
// decisions: the window keeps answering meanwhile. The program watches
// wakeDescriptor() and, on the GUI thread, asks how far the review is and
// takes the results once it has finished. Nothing else crosses.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include "players/game_review.h"

class BackgroundReview {
public:
    BackgroundReview();
    ~BackgroundReview();
    BackgroundReview(const BackgroundReview&) = delete;
    BackgroundReview& operator=(const BackgroundReview&) = delete;

    // Readable after each decision reviewed and at the end.
    int wakeDescriptor() const { return wake_[0]; }

    // Ends any review under way, then reviews these.
    void start(std::vector<ReviewDecision> decisions, const ExpertSettings& settings);
    // Stops the review under way and waits for its thread.
    void cancel();
    bool running() const { return thread_.joinable() && !finished_; }

    // Reads the wake-ups; the decisions reviewed so far and in all.
    size_t drain();
    size_t total() const { return decisions_.size(); }
    bool finished() const { return finished_; }
    // Once finished: the reviewed decisions, in order.
    std::vector<ReviewedDecision> takeResults();

private:
    int wake_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    std::atomic<size_t> done_{0};
    std::atomic<bool> finished_{false};
    std::vector<ReviewDecision> decisions_;
    std::vector<ReviewedDecision> results_;
};
