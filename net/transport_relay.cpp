// The transport's side of an internet game: connections that go out to the
// relay and, once paired and keyed, join the connection table sealed.
#include <unistd.h>

#include "net/transport.h"

namespace {

// The relay sends a joiner away unpaired when the host's waiting connection
// went to another joiner a moment before, and the host's is soon back; a
// relay that keeps closing what waits is given up.
constexpr int UNPAIRED_CLOSES_MAX = 5;

}  // namespace

bool Transport::inviteThroughRelay(const RelayAddress& relay, const InvitationSecrets& secrets)
{
    stopRelay();
    relayLink_ = RelayLink{relay, secrets, RelaySide::HOST, -1, std::nullopt, 0, -1};
    return openRelayLink();
}

bool Transport::joinThroughRelay(const RelayAddress& relay, const InvitationSecrets& secrets)
{
    stopRelay();
    relayLink_ = RelayLink{relay, secrets, RelaySide::JOINER, -1, std::nullopt, 0, -1};
    return openRelayLink();
}

void Transport::stopRelay()
{
    closeRelayLink();
    relayLink_.reset();
}

void Transport::closeRelayLink()
{
    if (!relayLink_) return;
    cancelConnect(relayLink_->connect);
    relayLink_->connect = -1;
    if (relayLink_->socket < 0) return;
    watcher_.unwatchSocket(relayLink_->socket);
    ::close(relayLink_->socket);
    relayLink_->socket = -1;
    relayLink_->handshake.reset();
}

// The connect runs in the event loop, for at most the connect limit; the
// relay's handshake follows on the connection once it is up.
bool Transport::openRelayLink()
{
    RelayLink& link = *relayLink_;
    closeRelayLink();
    const auto addr = resolveHost(link.relay.host, link.relay.port);
    if (addr) link.connect = startConnect(*addr, [this](int socket) { onRelayConnected(socket); });
    if (link.connect == -1) {
        relayError_ = relayUnreachableText(link.relay);
        relayLink_.reset();
        return false;
    }
    return true;
}

void Transport::onRelayConnected(int socket)
{
    RelayLink& link = *relayLink_;
    link.connect = -1;
    if (socket < 0) {
        relayFailed(relayUnreachableText(link.relay));
        return;
    }
    link.socket = socket;
    link.handshake.emplace(link.socket, link.secrets, link.side);
    if (link.handshake->start() != RelayHandshake::Step::WAITING) {
        relayFailed(relayClosedText(link.relay));
        return;
    }
    watcher_.watchSocket(link.socket, ID_RELAY);
}

void Transport::relayFailed(const std::string& why)
{
    relayError_ = why;
    stopRelay();
    if (handler_) handler_->onRelayFailed(why);
}

void Transport::onRelayReadable()
{
    if (!relayLink_ || !relayLink_->handshake) return;
    RelayLink& link = *relayLink_;
    const RelayHandshake::Step step = link.handshake->onReadable();
    if (step == RelayHandshake::Step::WAITING) return;
    if (step == RelayHandshake::Step::REFUSED) {
        relayFailed(relayRefusedText(link.relay));
        return;
    }
    if (step == RelayHandshake::Step::CLOSED) {
        // Paired and then closed: the far end left at once. Unpaired: the
        // relay closed a waiting connection.
        const bool paired = link.handshake->paired();
        if (!paired && ++link.unpairedCloses > UNPAIRED_CLOSES_MAX) {
            relayFailed(relayClosedText(link.relay));
            return;
        }
        if (!openRelayLink() && handler_) handler_->onRelayFailed(relayError_);
        return;
    }
    const SealedStream stream = link.handshake->stream();
    const int socket = link.socket;
    watcher_.unwatchSocket(socket);
    link.socket = -1;
    link.handshake.reset();
    link.unpairedCloses = 0;
    if (link.side == RelaySide::JOINER) {
        relayLink_.reset();
        const int slot = allocConnection(socket, stream);
        if (handler_) handler_->onRelayJoined(slot);
        return;
    }
    // The next joiner's connection waits before this one is announced: what
    // the handler does may take a while.
    if (!openRelayLink() && handler_) handler_->onRelayFailed(relayError_);
    admit(socket, stream);
}
