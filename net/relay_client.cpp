#include "net/relay_client.h"

#include <cerrno>
#include <cstring>

#include <sys/socket.h>

namespace {

constexpr char OK_REPLY[] = "ok\n";

}  // namespace

std::string relayRequest(const InvitationSecrets& secrets, RelaySide side)
{
    return "please relay " + secrets.token + " for side " + (side == RelaySide::HOST ? secrets.hostSide : secrets.joinerSide) +
           "\n";
}

std::string relayUnreachableText(const RelayAddress& relay) { return "Could not reach the relay " + relayText(relay) + "."; }

std::string relayClosedText(const RelayAddress& relay)
{
    return "The relay " + relayText(relay) + " closed the connection.";
}

std::string relayRefusedText(const RelayAddress& relay)
{
    return "The relay " + relayText(relay) + " refused the connection: it may not be a relay.";
}

std::string relayNoPartnerText(const RelayAddress& relay)
{
    return "No game answered the invitation at the relay " + relayText(relay) +
           ". Check the code and the relay with the host.";
}

RelayHandshake::RelayHandshake(int socket, const InvitationSecrets& secrets, RelaySide side)
    : socket_(socket), secrets_(secrets), side_(side), ownSalt_(newRelaySalt())
{
}

bool RelayHandshake::sendAll(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(socket_, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

RelayHandshake::Step RelayHandshake::start()
{
    const std::string request = relayRequest(secrets_, side_);
    if (!sendAll(reinterpret_cast<const uint8_t*>(request.data()), request.size())) step_ = Step::CLOSED;
    return step_;
}

// Only the bytes of the current step are taken: whatever the far end sends
// after its salt belongs to the game's connection.
RelayHandshake::Step RelayHandshake::onReadable()
{
    while (step_ == Step::WAITING) {
        uint8_t* into = paired() ? farSalt_.data() + saltReceived_ : reinterpret_cast<uint8_t*>(ok_) + okReceived_;
        const size_t want = paired() ? farSalt_.size() - saltReceived_ : OK_REPLY_SIZE - okReceived_;
        const ssize_t n = ::recv(socket_, into, want, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n <= 0) {
            step_ = Step::CLOSED;
            break;
        }
        if (paired()) {
            saltReceived_ += static_cast<size_t>(n);
            if (saltReceived_ == farSalt_.size()) step_ = Step::READY;
            continue;
        }
        okReceived_ += static_cast<size_t>(n);
        // "impatient\n" or "bad handshake\n" part ways with "ok\n" at once.
        if (std::memcmp(ok_, OK_REPLY, okReceived_) != 0) {
            step_ = Step::REFUSED;
        } else if (paired() && !sendAll(ownSalt_.data(), ownSalt_.size())) {
            step_ = Step::CLOSED;
        }
    }
    return step_;
}

SealedStream RelayHandshake::stream() const
{
    const bool host = side_ == RelaySide::HOST;
    const RelaySalt& hostSalt = host ? ownSalt_ : farSalt_;
    const RelaySalt& joinerSalt = host ? farSalt_ : ownSalt_;
    const InvitationKey toJoiner = connectionKey(secrets_.hostToJoiner, hostSalt, joinerSalt);
    const InvitationKey toHost = connectionKey(secrets_.joinerToHost, hostSalt, joinerSalt);
    return host ? SealedStream(toJoiner, toHost) : SealedStream(toHost, toJoiner);
}
