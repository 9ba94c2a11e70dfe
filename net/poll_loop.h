// A headless event loop over poll(): the socket watcher for tests and tools
// that run without the toolkit.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>

#include "net/event_loop.h"

class Transport;

class PollLoop : public SocketWatcher {
public:
    void watchSocket(int socket, int id) override { watched_[socket] = id; }
    void unwatchSocket(int socket) override { watched_.erase(socket); }
    void watchConnect(int socket, int index) override { connects_[socket] = index; }
    void unwatchConnect(int socket) override { connects_.erase(socket); }
    void startTransportTimer(int ms) override;

    // The transport that receives the readiness reports.
    void attach(Transport& transport) { transport_ = &transport; }

    // Waits up to timeoutMs (-1: without limit) for watched sockets to become
    // readable and reports each one once. Returns how many were reported.
    // May be called again from inside a report, as nested loops do.
    // The timer also counts as reported when it runs out.
    int runOnce(int timeoutMs);

    // One timer: expired runs once, from runOnce, after ms; starting it
    // again replaces the one set before.
    void startTimer(int ms, std::function<void()> expired);
    void stopTimer() { expired_ = nullptr; }

private:
    // How long runOnce may wait for sockets before a timer is due.
    int waitFor(int timeoutMs) const;
    bool runTimerIfDue();
    bool runTransportTimerIfDue();

    std::chrono::steady_clock::time_point due_;
    std::function<void()> expired_;
    std::optional<std::chrono::steady_clock::time_point> transportDue_;
    std::map<int, int> watched_;   // socket -> id
    std::map<int, int> connects_;  // socket -> connect index
    Transport* transport_ = nullptr;
};
