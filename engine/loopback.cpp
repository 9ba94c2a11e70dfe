#include "engine/loopback.h"

void MemoryLoopback::sendAction(int, const GameAction& action) { queue_.push_back(action); }

bool MemoryLoopback::deliverOne(GameState& game)
{
    if (queue_.empty()) return false;
    // Taken off the queue before it is applied: applying may deliver more,
    // nested, as a real event loop does.
    const GameAction action = queue_.front();
    queue_.pop_front();
    receiveAction(game, action);
    return true;
}

void MemoryLoopback::deliverAll(GameState& game)
{
    while (deliverOne(game)) {
    }
}
