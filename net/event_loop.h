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

class SocketWatcher {
public:
    virtual ~SocketWatcher() = default;
    // Report readability of socket under id (ID_LISTEN, ID_RELAY or ID_CONNECTION + slot).
    virtual void watchSocket(int socket, int id) = 0;
    virtual void unwatchSocket(int socket) = 0;
};
