#include "net/poll_loop.h"

#include <vector>

#include <poll.h>

#include "net/transport.h"

int PollLoop::runOnce(int timeoutMs)
{
    std::vector<pollfd> fds;
    fds.reserve(watched_.size());
    for (const auto& entry : watched_) fds.push_back(pollfd{entry.first, POLLIN, 0});
    if (poll(fds.data(), fds.size(), timeoutMs) <= 0 || !transport_) return 0;

    int reported = 0;
    for (const pollfd& p : fds) {
        if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        // An earlier report may have closed this socket or re-registered it.
        const auto it = watched_.find(p.fd);
        if (it == watched_.end()) continue;
        const int id = it->second;
        ++reported;
        if (id == ID_LISTEN)
            transport_->onListenerReadable();
        else
            transport_->onSocketReadable(id - ID_CONNECTION);
    }
    return reported;
}
