// An in-memory stand-in for a process's loopback connection: every action
// sent is queued and applied later, in order, as if it had come back
// through the socket.
#pragma once

#include <deque>

#include "engine/actions.h"

class MemoryLoopback : public Outbox {
public:
    void sendAction(int slot, const GameAction& action) override;

    // Receives the oldest queued action; false when none is waiting.
    bool deliverOne(GameState& game);
    // Applies actions until the queue stays empty.
    void deliverAll(GameState& game);

    std::deque<GameAction>& pending() { return queue_; }

private:
    std::deque<GameAction> queue_;
};
