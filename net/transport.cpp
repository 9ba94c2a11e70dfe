#include "net/transport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int SOCKET_BUFFER_SIZE = 8192;
constexpr int LISTEN_BACKLOG = 4;
// How long a send may wait for the peer to make room before the connection
// is given up.
constexpr std::chrono::milliseconds SEND_PATIENCE{2000};

void setIntOption(int socket, int level, int name, int value)
{
    setsockopt(socket, level, name, &value, sizeof value);
}

void setBufferSizes(int socket)
{
    setIntOption(socket, SOL_SOCKET, SO_SNDBUF, SOCKET_BUFFER_SIZE);
    setIntOption(socket, SOL_SOCKET, SO_RCVBUF, SOCKET_BUFFER_SIZE);
}

void setNonBlocking(int socket)
{
    const int flags = fcntl(socket, F_GETFL, 0);
    if (flags >= 0) fcntl(socket, F_SETFL, flags | O_NONBLOCK);
}

sockaddr_in toSockaddr(const WireAddress& addr)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(addr.port);
    sa.sin_addr.s_addr = htonl(addr.ipv4);
    return sa;
}

using NameQuery = int (*)(int, sockaddr*, socklen_t*);

std::optional<WireAddress> endAddress(int socket, NameQuery query)
{
    sockaddr_in sa{};
    socklen_t size = sizeof sa;
    if (query(socket, reinterpret_cast<sockaddr*>(&sa), &size) != 0 || sa.sin_family != AF_INET) return std::nullopt;
    return WireAddress{ntohl(sa.sin_addr.s_addr), ntohs(sa.sin_port)};
}

enum class SendResult { SENT, PEER_GONE, STUCK };

// Sends everything or nothing more: on a non-blocking socket a full send
// buffer is waited out, but only for SEND_PATIENCE in all. MSG_NOSIGNAL keeps
// a peer that has gone from raising SIGPIPE.
SendResult sendAll(int socket, const uint8_t* data, size_t length)
{
    const auto deadline = std::chrono::steady_clock::now() + SEND_PATIENCE;
    while (length > 0) {
        const ssize_t n = ::send(socket, data, length, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            length -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EPIPE || errno == ECONNRESET)) return SendResult::PEER_GONE;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return SendResult::STUCK;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return SendResult::STUCK;
        pollfd p{socket, POLLOUT, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) == 0) return SendResult::STUCK;
    }
    return SendResult::SENT;
}

}  // namespace

std::optional<WireAddress> resolveHost(const std::string& host, uint16_t port)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
    WireAddress addr;
    addr.ipv4 = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    addr.port = port;
    freeaddrinfo(found);
    return addr;
}

int connectToHost(const std::string& host, uint16_t port)
{
    const auto addr = resolveHost(host, port);
    return addr ? connectToAddr(*addr) : -1;
}

int connectToAddr(const WireAddress& addr)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return -1;
    setBufferSizes(s);
    setIntOption(s, SOL_SOCKET, SO_REUSEADDR, 1);
    const sockaddr_in sa = toSockaddr(addr);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

std::vector<std::string> localIpv4Addresses()
{
    std::vector<std::string> addresses;
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) return addresses;
    for (const ifaddrs* a = all; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || (a->ifa_flags & IFF_LOOPBACK)) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) addresses.push_back(text);
    }
    freeifaddrs(all);
    return addresses;
}

int seatOfConnection(const GameState& game, int slot)
{
    for (int i = 0; i < SEAT_COUNT_MAX; ++i)
        if (game.seats[i].connection == slot) return i;
    return 0;
}

Transport::Transport(SocketWatcher& watcher, GameState& game) : watcher_(watcher), game_(game) {}

Transport::~Transport()
{
    // Whoever handled messages may be gone already, and nothing is left to
    // tell.
    handler_ = nullptr;
    stopRelay();
    for (int i = 0; i < CONNECTS_MAX; ++i) cancelConnect(i);
    closeAllConnections();
    closeListener();
}

int Transport::startConnect(const WireAddress& addr, ConnectDone done)
{
    const auto it = std::find_if(connects_.begin(), connects_.end(), [](const Connect& c) { return c.socket < 0; });
    if (it == connects_.end()) return -1;
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return -1;
    setBufferSizes(s);
    setIntOption(s, SOL_SOCKET, SO_REUSEADDR, 1);
    setNonBlocking(s);
    const sockaddr_in sa = toSockaddr(addr);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 && errno != EINPROGRESS) {
        ::close(s);
        return -1;
    }
    const int index = static_cast<int>(it - connects_.begin());
    *it = Connect{s, std::chrono::steady_clock::now(), std::move(done)};
    watcher_.watchConnect(s, index);
    scheduleTimer();
    return index;
}

bool Transport::connecting(int index) const
{
    return index >= 0 && index < CONNECTS_MAX && connects_[index].socket >= 0;
}

void Transport::cancelConnect(int index)
{
    if (!connecting(index)) return;
    watcher_.unwatchConnect(connects_[index].socket);
    ::close(connects_[index].socket);
    connects_[index] = Connect{};
}

void Transport::onConnectDone(int index)
{
    if (!connecting(index)) return;
    int error = 0;
    socklen_t size = sizeof error;
    const bool connected =
        getsockopt(connects_[index].socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    endConnect(index, connected);
}

void Transport::endConnect(int index, bool connected)
{
    Connect c = std::move(connects_[index]);
    connects_[index] = Connect{};
    watcher_.unwatchConnect(c.socket);
    if (!connected) {
        ::close(c.socket);
        c.socket = -1;
    }
    // Last: what it does may start the next connect in this place.
    c.done(c.socket);
}

void Transport::onTimer()
{
    const auto now = std::chrono::steady_clock::now();
    for (int i = 0; i < CONNECTS_MAX; ++i)
        if (connecting(i) && now - connects_[i].since >= std::chrono::milliseconds(limits_.connect)) endConnect(i, false);
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot) {
        Connection& c = connections_[slot];
        if (c.socket < 0 || !c.unproven || now - c.since < std::chrono::milliseconds(limits_.silent)) continue;
        // Silent and nobody's: it would keep a place a player needs.
        c.unproven = false;
        if (!handler_ || !handler_->servesSession(slot)) closeConnection(slot);
    }
    scheduleTimer();
}

void Transport::scheduleTimer()
{
    using std::chrono::milliseconds;
    std::optional<std::chrono::steady_clock::time_point> next;
    const auto earliest = [&next](std::chrono::steady_clock::time_point t) {
        if (!next || t < *next) next = t;
    };
    for (const Connect& c : connects_)
        if (c.socket >= 0) earliest(c.since + milliseconds(limits_.connect));
    for (const Connection& c : connections_)
        if (c.socket >= 0 && c.unproven) earliest(c.since + milliseconds(limits_.silent));
    if (!next) return;
    const auto left = std::chrono::duration_cast<milliseconds>(*next - std::chrono::steady_clock::now()).count();
    watcher_.startTransportTimer(static_cast<int>(std::max<long long>(0, left)));
}

int Transport::openListener(uint16_t port)
{
    askedPort_ = port;
    closeListener();
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return -1;
    setBufferSizes(s);
    // Connections of a game that just ended linger in TIME-WAIT on the
    // port; without this a restarted host would listen elsewhere than the
    // port its joiners call. Linux still refuses a second listener here.
    setIntOption(s, SOL_SOCKET, SO_REUSEADDR, 1);
    // Counting up stops at the last port rather than wrapping to port 0,
    // which would bind wherever the system likes.
    uint32_t p = port;
    for (;; ++p) {
        if (p > UINT16_MAX) {
            ::close(s);
            return -1;
        }
        const sockaddr_in sa = toSockaddr(WireAddress{INADDR_ANY, static_cast<uint16_t>(p)});
        if (::bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) break;
    }
    if (::listen(s, LISTEN_BACKLOG) != 0) {
        ::close(s);
        return -1;
    }
    // A readiness report with nothing pending must not block in accept().
    setNonBlocking(s);
    listenSocket_ = s;
    // Port 0 lets the system choose; what it chose is the port to call.
    const auto bound = endAddress(s, getsockname);
    listenPort_ = bound ? bound->port : static_cast<uint16_t>(p);
    watcher_.watchSocket(s, ID_LISTEN);
    return s;
}

bool Transport::listenWhereAsked()
{
    // Port 0 asked for whatever port the system chose.
    if (listenSocket_ >= 0 && (listenPort_ == askedPort_ || askedPort_ == 0)) return true;
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return false;
    setBufferSizes(s);
    setIntOption(s, SOL_SOCKET, SO_REUSEADDR, 1);
    const sockaddr_in sa = toSockaddr(WireAddress{INADDR_ANY, askedPort_});
    if (::bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 || ::listen(s, LISTEN_BACKLOG) != 0) {
        ::close(s);
        return false;
    }
    // The connections the old listener accepted stay; new ones come here.
    closeListener();
    setNonBlocking(s);
    listenSocket_ = s;
    listenPort_ = askedPort_;
    watcher_.watchSocket(s, ID_LISTEN);
    return true;
}

void Transport::closeListener()
{
    if (listenSocket_ < 0) return;
    watcher_.unwatchSocket(listenSocket_);
    ::close(listenSocket_);
    listenSocket_ = -1;
}

int Transport::allocConnection(int socket, std::optional<SealedStream> sealed)
{
    if (socket < 0) return -1;
    const auto it = std::find_if(connections_.begin(), connections_.end(), [](const Connection& c) { return c.socket < 0; });
    if (it == connections_.end()) {
        ::close(socket);
        return -1;
    }
    const int slot = static_cast<int>(it - connections_.begin());
    setIntOption(socket, IPPROTO_TCP, TCP_NODELAY, 1);
    setNonBlocking(socket);
    it->socket = socket;
    it->received = 0;
    it->skipLeft = 0;
    it->peerGone = false;
    it->sealed = std::move(sealed);
    it->recordReceived = 0;
    it->unproven = false;
    if (!suspended_) watcher_.watchSocket(socket, ID_CONNECTION + slot);
    return slot;
}

void Transport::closeConnection(int slot)
{
    if (!isOpen(slot)) return;
    Connection& c = connections_[slot];
    if (!suspended_) watcher_.unwatchSocket(c.socket);
    // Closing over unread input resets the connection, and a reset throws
    // away what the peer has not read yet: the game's last actions, for a
    // player still catching up. What is waiting is read first, within reason.
    for (int i = 0; i < 16 && ::recv(c.socket, skipBuffer_.data(), skipBuffer_.size(), MSG_DONTWAIT) > 0; ++i) {
    }
    ::close(c.socket);
    c.socket = -1;
    c.received = 0;
    c.skipLeft = 0;
    c.sealed.reset();
    if (handler_) handler_->onClosed(slot);
}

void Transport::closeAllConnections()
{
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot) closeConnection(slot);
}

bool Transport::isOpen(int slot) const
{
    return slot >= 0 && slot < NET_CONNECTION_COUNT && connections_[slot].socket >= 0;
}

int Transport::usedConnections() const
{
    return static_cast<int>(
        std::count_if(connections_.begin(), connections_.end(), [](const Connection& c) { return c.socket >= 0; }));
}

std::optional<WireAddress> Transport::localAddress(int slot) const
{
    if (!isOpen(slot)) return std::nullopt;
    return endAddress(connections_[slot].socket, getsockname);
}

std::optional<WireAddress> Transport::peerAddress(int slot) const
{
    if (!isOpen(slot)) return std::nullopt;
    return endAddress(connections_[slot].socket, getpeername);
}

void Transport::suspendInputs()
{
    if (suspended_) return;
    for (const Connection& c : connections_)
        if (c.socket >= 0) watcher_.unwatchSocket(c.socket);
    suspended_ = true;
}

void Transport::resumeInputs()
{
    if (!suspended_) return;
    suspended_ = false;
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot)
        if (isOpen(slot)) watcher_.watchSocket(connections_[slot].socket, ID_CONNECTION + slot);
}

bool Transport::sendMessage(int slot, int32_t type, const uint8_t* body)
{
    if (!isOpen(slot) || connections_[slot].peerGone) return false;
    Connection& c = connections_[slot];
    const FramedMessage message = frameMessage(type, body);
    SendResult result;
    if (c.sealed) {
        const SealedRecord record = c.sealed->seal(message.bytes.data(), message.size);
        result = sendAll(c.socket, record.bytes.data(), record.size);
    } else {
        result = sendAll(c.socket, message.bytes.data(), message.size);
    }
    if (result == SendResult::SENT) return true;
    if (result == SendResult::PEER_GONE) {
        // What the peer sent before it went is still to be read, its last
        // actions perhaps: the connection ends where the reading does.
        connections_[slot].peerGone = true;
        return false;
    }
    // Whatever part went out, nothing may follow it on this connection.
    dropConnection(slot, false);
    return false;
}

bool Transport::sendActionMessage(int slot, const GameAction& action)
{
    return sendMessage(slot, MSG_ACTION, encodeAction(action).data());
}

bool Transport::sendRules(int slot, const RuleSettings& rules) { return sendMessage(slot, MSG_RULES, encodeRules(rules).data()); }

bool Transport::sendReady(int slot) { return sendMessage(slot, MSG_READY, nullptr); }

bool Transport::sendSeating(int slot, const Seating& seating)
{
    return sendMessage(slot, MSG_SEATING, encodeSeating(seating).data());
}

bool Transport::sendSeat(int slot, const SeatRecord& record)
{
    return sendMessage(slot, MSG_SEAT, encodeSeatRecord(record).data());
}

bool Transport::sendJoin(int slot, const JoinRecord& record)
{
    return sendMessage(slot, MSG_JOIN, encodeJoinRecord(record).data());
}

bool Transport::sendDigest(int slot, const RoundDigest& digest)
{
    return sendMessage(slot, MSG_DIGEST, encodeRoundDigest(digest).data());
}

bool Transport::sendText(int slot, const TextMessage& message)
{
    return sendMessage(slot, MSG_TEXT, encodeTextMessage(message).data());
}

bool Transport::sendActionBlock(int slot, const ActionBlock& actions)
{
    return sendMessage(slot, MSG_ACTION_BLOCK, encodeActionBlock(actions).data());
}

bool Transport::sendRejoinRefused(int slot) { return sendMessage(slot, MSG_REJOIN_REFUSED, nullptr); }

bool Transport::sendNameTaken(int slot) { return sendMessage(slot, MSG_NAME_TAKEN, nullptr); }

bool Transport::sendSeatReturning(int slot, const SeatRecord& record)
{
    return sendMessage(slot, MSG_SEAT_RETURNING, encodeSeatRecord(record).data());
}

void Transport::onListenerReadable()
{
    const int s = ::accept(listenSocket_, nullptr, nullptr);
    if (s >= 0) admit(s, std::nullopt);
}

void Transport::admit(int socket, std::optional<SealedStream> sealed)
{
    const int slot = allocConnection(socket, std::move(sealed));
    if (slot < 0) return;
    connections_[slot].unproven = true;
    connections_[slot].since = std::chrono::steady_clock::now();
    scheduleTimer();
    if (handler_) handler_->onAccepted(slot);
}

// Only the bytes of the current message are taken from the socket, so a
// complete message never waits in this process while the socket looks quiet:
// whatever follows stays in the socket and the loop reports it again.
bool Transport::readMessage(int slot)
{
    Connection& c = connections_[slot];
    if (c.sealed) return readSealedMessage(slot);
    for (;;) {
        const bool skipping = c.skipLeft > 0;
        uint8_t* into = skipping ? skipBuffer_.data() : c.message.data() + c.received;
        size_t want = 0;
        if (c.received < MSG_HEADER_SIZE)
            want = MSG_HEADER_SIZE - c.received;
        else if (skipping)
            want = std::min<size_t>(c.skipLeft, skipBuffer_.size());
        else
            want = MSG_HEADER_SIZE + c.header.msgLen - c.received;

        const ssize_t n = ::recv(c.socket, into, want, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
        if (n <= 0) {
            dropConnection(slot, c.received >= MSG_HEADER_SIZE);
            return false;
        }
        const auto got = static_cast<size_t>(n);
        if (skipping) {
            // One piece per report, so a long skip never holds up the loop.
            c.skipLeft -= static_cast<uint32_t>(got);
            return c.skipLeft == 0;
        }
        c.received += got;
        if (c.received == MSG_HEADER_SIZE) {
            c.header = decodeHeader(c.message.data());
            if (c.header.signature != MSG_SIGNATURE) {
                // Swallowed; the next 12 bytes are taken as a new header.
                c.received = 0;
                return false;
            }
            if (c.header.msgLen > MSG_BODY_MAX) c.skipLeft = c.header.msgLen;
        }
        if (c.skipLeft == 0 && c.received == MSG_HEADER_SIZE + c.header.msgLen) return true;
    }
}

// A record holds one whole message, and only its bytes are taken from the
// socket, as above.
bool Transport::readSealedMessage(int slot)
{
    Connection& c = connections_[slot];
    for (;;) {
        const bool lengthKnown = c.recordReceived >= SEALED_LENGTH_SIZE;
        const size_t sealedSize = lengthKnown ? SealedStream::sealedLength(c.record.data()) : 0;
        const size_t want = lengthKnown ? SEALED_LENGTH_SIZE + sealedSize - c.recordReceived : SEALED_LENGTH_SIZE - c.recordReceived;
        const ssize_t n = ::recv(c.socket, c.record.data() + c.recordReceived, want, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
        if (n <= 0) {
            if (!c.sealed->opened())
                closeConnection(slot);
            else
                dropConnection(slot, c.recordReceived > 0);
            return false;
        }
        c.recordReceived += static_cast<size_t>(n);
        if (c.recordReceived == SEALED_LENGTH_SIZE && SealedStream::sealedLength(c.record.data()) == 0) {
            refuseRecord(slot);
            return false;
        }
        if (!lengthKnown || c.recordReceived < SEALED_LENGTH_SIZE + sealedSize) continue;
        c.recordReceived = 0;
        const auto size = c.sealed->open(c.record.data(), c.record.data() + SEALED_LENGTH_SIZE, sealedSize, c.message.data());
        if (size && *size >= MSG_HEADER_SIZE) c.header = decodeHeader(c.message.data());
        if (!size || *size < MSG_HEADER_SIZE || c.header.signature != MSG_SIGNATURE ||
            c.header.msgLen != *size - MSG_HEADER_SIZE) {
            refuseRecord(slot);
            return false;
        }
        c.received = *size;
        return true;
    }
}

void Transport::refuseRecord(int slot)
{
    if (connections_[slot].sealed->opened())
        dropConnection(slot, false);
    else
        closeConnection(slot);
}

void Transport::onSocketReadable(int slot)
{
    if (isOpen(slot) && readMessage(slot)) {
        // Off the connection before dispatch: a handler's nested event loop
        // may read this connection again, or close it.
        Connection& c = connections_[slot];
        const MessageHeader header = c.header;
        std::array<uint8_t, MSG_BODY_MAX> body{};
        std::copy(c.message.begin() + MSG_HEADER_SIZE, c.message.begin() + c.received, body.begin());
        c.received = 0;
        c.unproven = false;
        if (header.msgLen <= MSG_BODY_MAX) dispatch(slot, header, body.data());
    }
    reportLossesWhenSettled();
}

void Transport::dispatch(int slot, const MessageHeader& header, const uint8_t* body)
{
    // A body too short for its type is read and ignored; a longer one is
    // read from its start.
    if (header.msgLen < bodySizeOf(header.msgType)) return;
    if (header.msgType == MSG_JOIN) {
        const JoinRecord record = decodeJoinRecord(body);
        JoinInfo info;
        info.name = record.name;
        if (record.players == 2) info.partner = record.partner;
        info.players = record.players;
        info.addr = record.addr;
        connections_[slot].join = info;
        if (handler_) handler_->onJoin(slot, record);
        return;
    }
    if (!handler_) return;
    switch (header.msgType) {
    case MSG_ACTION: handler_->onAction(slot, decodeAction(body)); break;
    case MSG_SEATING: handler_->onSeating(slot, decodeSeating(body)); break;
    case MSG_SEAT: handler_->onSeat(slot, decodeSeatRecord(body)); break;
    case MSG_READY: handler_->onReady(slot); break;
    case MSG_RULES: handler_->onRules(slot, decodeRules(body)); break;
    case MSG_DIGEST: handler_->onDigest(slot, decodeRoundDigest(body)); break;
    case MSG_TEXT: handler_->onText(slot, decodeTextMessage(body)); break;
    case MSG_ACTION_BLOCK:
        if (const auto actions = decodeActionBlock(body)) handler_->onActionBlock(slot, *actions);
        break;
    case MSG_REJOIN_REFUSED: handler_->onRejoinRefused(slot); break;
    case MSG_NAME_TAKEN: handler_->onNameTaken(slot); break;
    case MSG_SEAT_RETURNING: handler_->onSeatReturning(slot, decodeSeatRecord(body)); break;
    default: break;
    }
}

void Transport::dropConnection(int slot, bool midMessage)
{
    const bool lost = handler_ && handler_->servesSession(slot);
    closeConnection(slot);
    if (lost) losses_.push_back(Loss{slot, midMessage});
}

void Transport::reportLossesWhenSettled()
{
    if (losses_.empty() || game_.applyingAction || inputPending()) return;
    const std::vector<Loss> losses = std::move(losses_);
    losses_.clear();
    for (const Loss& loss : losses)
        if (handler_) handler_->onConnectionLost(loss.slot, loss.midMessage);
}

bool Transport::inputPending() const
{
    std::vector<pollfd> fds;
    for (const Connection& c : connections_)
        if (c.socket >= 0) fds.push_back(pollfd{c.socket, POLLIN, 0});
    return !fds.empty() && ::poll(fds.data(), fds.size(), 0) > 0;
}
