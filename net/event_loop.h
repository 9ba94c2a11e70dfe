// The event-loop seam for sockets: FOX addInput in the program, a poll()
// loop in headless tools and tests.
#pragma once

// Message ids under which sockets report readiness to the main window.
enum : int {
    ID_LISTEN = 67,
    // An internet game's connection to the relay, until it is paired.
    ID_RELAY = 74,
    ID_CONNECTION = 90,  // + slot, 90 to 99
};

// How many connects may be under way at once, each reported under
// CONNECTING_ID_FIRST + its index: the host and the peers a joiner calls.
constexpr int CONNECTS_MAX = 4;

class SocketWatcher {
public:
    virtual ~SocketWatcher() = default;
    // Report readability of socket under id (ID_LISTEN, ID_RELAY or ID_CONNECTION + slot).
    virtual void watchSocket(int socket, int id) = 0;
    virtual void unwatchSocket(int socket) = 0;
    // Report once a connect under way (index 0 to CONNECTS_MAX - 1) can be
    // written to: it has succeeded or failed (Transport::onConnectDone).
    virtual void watchConnect(int socket, int index) = 0;
    virtual void unwatchConnect(int socket) = 0;
    // The transport's clock: Transport::onTimer() once after ms; starting
    // it again replaces the one set before.
    virtual void startTransportTimer(int ms) = 0;
};
