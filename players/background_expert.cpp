#include "players/background_expert.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "engine/actions.h"
#include "engine/table.h"

struct BackgroundExpert::Job {
    enum Purpose { TURN, DEALER, ADVICE };
    Purpose purpose = TURN;
    SeatView view;
    Decision answers;
    std::function<void(const Advice&)> done;
    Advice answer;
    bool runPack = false;
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::thread thread;
};

namespace {

constexpr int DEALER_WAIT_MS = 2;

// The view a search starts from; the same view later means the game has
// not moved on for that seat.
SeatView viewFor(const GameState& game, int seat)
{
    return makeSeatView(game, seat, game.table->begEnabled() && game.turn == seat);
}

}  // namespace

BackgroundExpert::BackgroundExpert(const ExpertSettings& settings) : settings_(settings)
{
    if (pipe(wake_) == 0) {
        fcntl(wake_[0], F_SETFL, O_NONBLOCK);
        fcntl(wake_[1], F_SETFL, O_NONBLOCK);
        fcntl(wake_[0], F_SETFD, FD_CLOEXEC);
        fcntl(wake_[1], F_SETFD, FD_CLOEXEC);
    }
}

BackgroundExpert::~BackgroundExpert()
{
    finish();
    for (int fd : wake_)
        if (fd != -1) close(fd);
}

void BackgroundExpert::finish()
{
    if (!job_) return;
    job_->cancel = true;
    if (job_->thread.joinable()) job_->thread.join();
    job_.reset();
}

void BackgroundExpert::start(std::unique_ptr<Job> job)
{
    finish();
    job_ = std::move(job);
    Job* j = job_.get();
    const ExpertSettings settings = settings_;
    const int wake = wake_[1];
    j->thread = std::thread([j, settings, wake] {
        const ExpertSearch search(settings, &j->cancel);
        if (j->purpose == Job::DEALER) {
            j->runPack = search.runsPack(j->view);
        } else {
            j->answer.seat = j->view.seat;
            j->answer.beg = j->view.begOpen && search.begs(j->view);
            if (!j->answer.beg) j->answer.card = search.chooseCard(j->view);
        }
        j->finished = true;
        if (j->purpose != Job::DEALER) {
            const char byte = 1;
            // A full pipe already wakes the loop.
            [[maybe_unused]] const ssize_t n = write(wake, &byte, 1);
        }
    });
}

void BackgroundExpert::runComputerTurn(GameState& game)
{
    game.table->processPendingEvents();
    const int seat = game.turn;
    if (!game.isSeat(seat) || game.seats[seat].kind != COMPUTER) return;
    const Decision answers = openDecision(game);
    // Asked again for the same decision: the search under way answers it.
    if (job_ && job_->purpose == Job::TURN && job_->answers == answers) return;
    auto job = std::make_unique<Job>();
    job->view = viewFor(game, seat);
    job->answers = answers;
    start(std::move(job));
}

bool BackgroundExpert::dealerAcceptsBeg(const GameState& game)
{
    auto job = std::make_unique<Job>();
    job->purpose = Job::DEALER;
    job->view = makeSeatView(game, game.dealer, false);
    start(std::move(job));
    while (!job_->finished) {
        game.table->processPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(DEALER_WAIT_MS));
    }
    const bool runPack = job_->runPack;
    finish();
    return runPack;
}

void BackgroundExpert::advise(const GameState& game, int seat, std::function<void(const Advice&)> done)
{
    const SeatView view = viewFor(game, seat);
    // Asked again before the answer came: the search under way answers.
    if (job_ && job_->purpose == Job::ADVICE && job_->view == view) {
        job_->done = std::move(done);
        return;
    }
    auto job = std::make_unique<Job>();
    job->purpose = Job::ADVICE;
    job->view = view;
    job->done = std::move(done);
    start(std::move(job));
}

void BackgroundExpert::deliver(GameState& game)
{
    char bytes[16];
    while (read(wake_[0], bytes, sizeof bytes) > 0) {
    }
    if (!job_ || job_->purpose == Job::DEALER || !job_->finished) return;
    job_->thread.join();
    std::unique_ptr<Job> job = std::move(job_);
    const int seat = job->view.seat;
    if (job->purpose == Job::ADVICE) {
        if (game.turn == seat && viewFor(game, seat) == job->view) job->done(job->answer);
        return;
    }
    // The decision searched for is no longer open: look again at the one
    // that is.
    if (computerDecision(game) != job->answers) {
        recheckComputerTurn(game);
        return;
    }
    if (job->answer.beg)
        sendComputerAction(pace_, game, job->answers, ACTION_BEG, nullptr);
    else if (const Card* card = findCardByIndex(game.seats[seat].hand, job->answer.card))
        sendComputerAction(pace_, game, job->answers, ACTION_PLAY, card);
}
