#include "net/poll_loop.h"

#include <algorithm>
#include <vector>

#include <poll.h>

#include "net/transport.h"

void PollLoop::startTimer(int ms, std::function<void()> expired)
{
    due_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    expired_ = std::move(expired);
}

void PollLoop::startTransportTimer(int ms)
{
    transportDue_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

int PollLoop::waitFor(int timeoutMs) const
{
    int wait = timeoutMs;
    const auto until = [&wait](std::chrono::steady_clock::time_point due) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
        const int untilDue = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
        wait = wait < 0 ? untilDue : std::min(wait, untilDue);
    };
    if (expired_) until(due_);
    if (transportDue_) until(*transportDue_);
    return wait;
}

bool PollLoop::runTransportTimerIfDue()
{
    if (!transportDue_ || std::chrono::steady_clock::now() < *transportDue_ || !transport_) return false;
    transportDue_.reset();
    transport_->onTimer();
    return true;
}

bool PollLoop::runTimerIfDue()
{
    if (!expired_ || std::chrono::steady_clock::now() < due_) return false;
    // Cleared first: what it runs may start the timer again.
    const std::function<void()> expired = std::move(expired_);
    expired_ = nullptr;
    expired();
    return true;
}

int PollLoop::runOnce(int timeoutMs)
{
    std::vector<pollfd> fds;
    fds.reserve(watched_.size());
    for (const auto& entry : watched_) fds.push_back(pollfd{entry.first, POLLIN, 0});
    for (const auto& entry : connects_) fds.push_back(pollfd{entry.first, POLLOUT, 0});
    const int ready = poll(fds.data(), fds.size(), waitFor(timeoutMs));

    int reported = 0;
    for (const pollfd& p : fds) {
        if (ready <= 0 || !transport_) break;
        if (p.events == POLLOUT) {
            const auto connect = connects_.find(p.fd);
            if (!(p.revents & (POLLOUT | POLLHUP | POLLERR)) || connect == connects_.end()) continue;
            ++reported;
            transport_->onConnectDone(connect->second);
            continue;
        }
        if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        // An earlier report may have closed this socket or re-registered it.
        const auto it = watched_.find(p.fd);
        if (it == watched_.end()) continue;
        const int id = it->second;
        ++reported;
        if (id == ID_LISTEN)
            transport_->onListenerReadable();
        else if (id == ID_RELAY)
            transport_->onRelayReadable();
        else
            transport_->onSocketReadable(id - ID_CONNECTION);
    }
    if (runTimerIfDue()) ++reported;
    if (runTransportTimerIfDue()) ++reported;
    return reported;
}
