#include "players/background_review.h"

#include <fcntl.h>
#include <unistd.h>

BackgroundReview::BackgroundReview()
{
    if (pipe(wake_) == 0)
        for (int fd : wake_) {
            fcntl(fd, F_SETFL, O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
}

BackgroundReview::~BackgroundReview()
{
    cancel();
    for (int fd : wake_)
        if (fd != -1) close(fd);
}

void BackgroundReview::cancel()
{
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
    drain();
    // What a cancelled review had reached is no review.
    finished_ = false;
    results_.clear();
}

void BackgroundReview::start(std::vector<ReviewDecision> decisions, const ExpertSettings& settings)
{
    cancel();
    cancel_ = false;
    finished_ = false;
    done_ = 0;
    results_.clear();
    decisions_ = std::move(decisions);
    thread_ = std::thread([this, settings] {
        const GameReviewer reviewer(settings, &cancel_);
        const int wake = wake_[1];
        auto ping = [wake] {
            const char byte = 1;
            // A full pipe already says there is news.
            if (write(wake, &byte, 1) < 0) return;
        };
        results_ = reviewer.reviewAll(decisions_, [this, &ping](size_t done, size_t) {
            done_ = done;
            ping();
        });
        finished_ = true;
        ping();
    });
}

size_t BackgroundReview::drain()
{
    char bytes[64];
    while (wake_[0] != -1 && read(wake_[0], bytes, sizeof bytes) > 0) {
    }
    return done_;
}

std::vector<ReviewedDecision> BackgroundReview::takeResults()
{
    if (!finished_) return {};
    if (thread_.joinable()) thread_.join();
    return std::move(results_);
}
