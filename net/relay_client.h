// The client side of the transit relay: on a TCP connection to the relay,
// ask to be paired with the other end of an invitation, wait for the
// relay's "ok\n", then trade salts with the far end. Everything is read as
// the socket has it, so the event loop never waits on the relay; the caller
// keeps the clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/invitation.h"
#include "net/sealed_stream.h"

enum class RelaySide { HOST, JOINER };

// "please relay TOKEN for side SIDE\n"
std::string relayRequest(const InvitationSecrets& secrets, RelaySide side);

// What the player is told, naming the relay.
std::string relayUnreachableText(const RelayAddress& relay);
std::string relayClosedText(const RelayAddress& relay);
std::string relayRefusedText(const RelayAddress& relay);
std::string relayNoPartnerText(const RelayAddress& relay);

class RelayHandshake {
public:
    enum class Step {
        WAITING,  // for the relay to pair this connection, or for the salt
        READY,    // stream() holds the connection's keys
        CLOSED,   // the relay closed the connection, or it broke
        REFUSED,  // the relay answered something other than "ok\n"
    };

    // socket: connected to the relay and non-blocking; it stays the
    // caller's.
    RelayHandshake(int socket, const InvitationSecrets& secrets, RelaySide side);

    // Sends the request; CLOSED when the relay cannot be written to.
    Step start();
    // Reads what the socket has; call on each readiness report.
    Step onReadable();
    Step step() const { return step_; }
    // The relay paired this connection with the far end.
    bool paired() const { return okReceived_ == OK_REPLY_SIZE; }
    // Meaningful once READY.
    SealedStream stream() const;

private:
    static constexpr size_t OK_REPLY_SIZE = 3;
    // Writes all of it at once; the pieces are small enough for any buffer.
    bool sendAll(const uint8_t* data, size_t size);

    int socket_;
    InvitationSecrets secrets_;
    RelaySide side_;
    Step step_ = Step::WAITING;
    char ok_[OK_REPLY_SIZE] = {};
    size_t okReceived_ = 0;
    RelaySalt ownSalt_;
    RelaySalt farSalt_{};
    size_t saltReceived_ = 0;
};
