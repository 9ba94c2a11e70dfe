// The sockets of a process: the listener, the ten-entry connection table,
// sending whole messages and reading them back for dispatch.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "net/event_loop.h"
#include "net/relay_client.h"
#include "net/sealed_stream.h"
#include "net/wire.h"

constexpr int NET_CONNECTION_COUNT = 10;
constexpr uint16_t NET_LISTEN_PORT = 4100;

// Where received messages go; the session implements it. Every call names
// the slot the message came in on. Handlers may run nested event loops and
// may close connections, this one included.
class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    virtual void onAction(int slot, const GameAction& action) = 0;
    virtual void onSeating(int slot, const Seating& seating) = 0;
    virtual void onSeat(int slot, const SeatRecord& record) = 0;
    // The join information is already stored with the connection.
    virtual void onJoin(int slot, const JoinRecord& record) = 0;
    virtual void onReady(int slot) = 0;
    virtual void onRules(int slot, const RuleSettings& rules) = 0;
    // A connection accepted by the listener has its entry.
    virtual void onAccepted(int slot) = 0;
    // A connection was closed, by either side; its slot is free again.
    virtual void onClosed(int slot) = 0;
    // Messages that older peers do not send; a handler that does not know
    // them ignores them.
    virtual void onDigest(int, const RoundDigest&) {}
    virtual void onText(int, const TextMessage&) {}
    // Whether the connection serves the game or a step of the session; one
    // that does not is closed without a word when it breaks, so a stranger
    // cannot put boxes on the screen.
    virtual bool servesSession(int) const { return true; }
    virtual void onActionBlock(int, const ActionBlock&) {}
    virtual void onRejoinRefused(int) {}
    virtual void onNameTaken(int) {}
    virtual void onSeatReturning(int, const SeatRecord&) {}
    // A connection that served the session broke: its peer closed or reset
    // it, or a message stopped halfway (midMessage). Called once all that
    // came before it is applied; who was lost and what the person is told
    // is the session's to decide.
    virtual void onConnectionLost(int, bool) {}
    // Joining an internet game: the relay paired us with the host and the
    // connection is on slot; or the relay failed us, for the reason given.
    virtual void onRelayJoined(int) {}
    virtual void onRelayFailed(const std::string&) {}
};

// What a MSG_JOIN told about the players behind a connection. It stays with
// the entry after the connection closes; the next MSG_JOIN replaces it.
struct JoinInfo {
    std::string name;
    std::optional<std::string> partner;  // only when two people play there
    int32_t players = 1;
    WireAddress addr;
};

// Both return a connected blocking socket, or -1 when the lookup or the
// connection fails. Only for this process's own listener, which answers at
// once; others are called with Transport::startConnect.
int connectToHost(const std::string& host, uint16_t port);
int connectToAddr(const WireAddress& addr);
// The first IPv4 address of a host name or a dotted address, at port.
std::optional<WireAddress> resolveHost(const std::string& host, uint16_t port);

// A connect has ended: the connected socket, in no slot yet, or -1 when it
// failed or ran out of time.
using ConnectDone = std::function<void(int socket)>;

// How long the transport gives a connection, in milliseconds: an accepted
// one to send a whole message (or to serve the session), a connect to
// succeed.
struct TransportLimits {
    int silent = 5000;
    int connect = 10000;
};

// This machine's IPv4 addresses other than loopback, dotted.
std::vector<std::string> localIpv4Addresses();

// The lowest seat reached over slot; 0 when no seat is.
int seatOfConnection(const GameState& game, int slot);

class Transport : public Outbox {
public:
    // A loss is reported only once game is not in the middle of an action.
    Transport(SocketWatcher& watcher, GameState& game);
    ~Transport() override;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    void setHandler(MessageHandler* handler) { handler_ = handler; }
    void setLimits(const TransportLimits& limits) { limits_ = limits; }

    // Binds any local address at port, or the first free port above it (0:
    // a port the system chooses), and watches it under ID_LISTEN. Returns
    // the socket, or -1.
    int openListener(uint16_t port);
    uint16_t listenPort() const { return listenPort_; }
    // The port openListener was asked for; joiners call that one.
    uint16_t askedPort() const { return askedPort_; }
    // A listener that had to take a port above the one asked for tries
    // that port again; true when it listens there now.
    bool listenWhereAsked();

    // Takes the socket over: it gets the lowest free slot and is watched,
    // or, when the table is full or the socket is -1, it is closed and -1
    // returned. With a stream, every message on it travels sealed.
    int allocConnection(int socket, std::optional<SealedStream> sealed = std::nullopt);
    bool isSealed(int slot) const { return isOpen(slot) && connections_[slot].sealed.has_value(); }
    // Connects without blocking: the event loop watches the connect, for at
    // most the connect limit, and then done gets the socket, or -1. The
    // socket has no slot yet: a layer may run a handshake of its own on it
    // before it hands it to allocConnection and the session sees it.
    // Returns the connect's index for cancelConnect; -1 when none could
    // begin (done is not called then).
    int startConnect(const WireAddress& addr, ConnectDone done);
    // Forgets a connect under way; done is not called. Does nothing for -1
    // or a connect that has ended.
    void cancelConnect(int index);
    bool connecting(int index) const;

    // Internet games (transport_relay.cpp). Hosting keeps one connection
    // waiting at the relay for the invitation; each one paired comes in
    // like an accepted connection (onAccepted) and the next one waits.
    // Joining pairs one connection with the host's (onRelayJoined). False,
    // with the reason in relayError(), when the relay cannot be reached.
    bool inviteThroughRelay(const RelayAddress& relay, const InvitationSecrets& secrets);
    bool joinThroughRelay(const RelayAddress& relay, const InvitationSecrets& secrets);
    // No more connections wait at the relay; those paired stay.
    void stopRelay();
    bool relayWaiting() const { return relayLink_.has_value(); }
    const std::string& relayError() const { return relayError_; }

    // Does nothing for a free slot.
    void closeConnection(int slot);
    void closeAllConnections();
    bool isOpen(int slot) const;
    int usedConnections() const;
    const std::optional<JoinInfo>& joinInfo(int slot) const { return connections_.at(slot).join; }
    // The two ends of an open connection; none for a free slot.
    std::optional<WireAddress> localAddress(int slot) const;
    std::optional<WireAddress> peerAddress(int slot) const;

    // Take every connection off the event loop and put them back; the
    // listener stays watched.
    void suspendInputs();
    void resumeInputs();

    // Each writes its whole message at once, or returns false. A send that
    // fails, or finds no room for about two seconds, closes the connection;
    // one that finds the peer gone leaves it open until what the peer sent
    // before has been read.
    bool sendActionMessage(int slot, const GameAction& action);
    bool sendRules(int slot, const RuleSettings& rules);
    bool sendReady(int slot);
    bool sendSeating(int slot, const Seating& seating);
    bool sendSeat(int slot, const SeatRecord& record);
    bool sendJoin(int slot, const JoinRecord& record);
    bool sendDigest(int slot, const RoundDigest& digest);
    bool sendText(int slot, const TextMessage& message);
    bool sendActionBlock(int slot, const ActionBlock& actions);
    bool sendRejoinRefused(int slot);
    bool sendNameTaken(int slot);
    bool sendSeatReturning(int slot, const SeatRecord& record);
    void sendAction(int slot, const GameAction& action) override { sendActionMessage(slot, action); }

    // Event-loop callbacks: ID_CONNECTION + slot, ID_LISTEN, ID_RELAY, a
    // connect that can be written to, and the transport's clock.
    void onSocketReadable(int slot);
    void onListenerReadable();
    void onRelayReadable();
    void onConnectDone(int index);
    void onTimer();

private:
    struct Connection {
        int socket = -1;
        // The message being read: its header, then its body.
        std::array<uint8_t, MSG_HEADER_SIZE + MSG_BODY_MAX> message{};
        size_t received = 0;
        MessageHeader header;
        // Bytes of an oversized body still to be thrown away.
        uint32_t skipLeft = 0;
        // A send found the peer gone: nothing more is sent, and the
        // connection closes once its last messages are read.
        bool peerGone = false;
        std::optional<JoinInfo> join;
        // Accepted by the listener: until it has sent a whole message, or
        // serves the session, it has limits_.silent from when it came.
        bool unproven = false;
        std::chrono::steady_clock::time_point since;
        // An internet game's connection: the record being read, one
        // message sealed.
        std::optional<SealedStream> sealed;
        std::array<uint8_t, SEALED_LENGTH_SIZE + SEALED_BODY_MAX> record{};
        size_t recordReceived = 0;
    };
    struct RelayLink {
        RelayAddress relay;
        InvitationSecrets secrets;
        RelaySide side;
        int socket = -1;
        std::optional<RelayHandshake> handshake;
        // Closed by the relay unpaired, since the last pairing.
        int unpairedCloses = 0;
        // The connect to the relay under way, or -1.
        int connect = -1;
    };
    struct Connect {
        int socket = -1;
        std::chrono::steady_clock::time_point since;
        ConnectDone done;
    };

    bool sendMessage(int slot, int32_t type, const uint8_t* body);
    // Reads what the current message still lacks, as far as the socket has
    // it; true when the message is whole.
    bool readMessage(int slot);
    bool readSealedMessage(int slot);
    // A record that does not open: a stranger without the key goes without
    // a word; a stream that opened before was changed on its way.
    void refuseRecord(int slot);
    // A connection someone else opened, from the listener or paired at the
    // relay: it has the silent limit to prove itself.
    void admit(int socket, std::optional<SealedStream> sealed);
    bool openRelayLink();
    void onRelayConnected(int socket);
    void closeRelayLink();
    void relayFailed(const std::string& why);
    void dispatch(int slot, const MessageHeader& header, const uint8_t* body);
    // Closes a broken connection; one that served the session is reported
    // as lost.
    void dropConnection(int slot, bool midMessage);
    // Peers close as soon as they have applied a game's last action, which
    // may still be on its way here on another connection: a loss is
    // reported once that is all applied.
    void reportLossesWhenSettled();
    // Whether any connection has bytes or a close not yet read.
    bool inputPending() const;
    void closeListener();
    // Asks for the clock at the next moment a limit runs out, if any.
    void scheduleTimer();
    void endConnect(int index, bool connected);

    SocketWatcher& watcher_;
    GameState& game_;
    MessageHandler* handler_ = nullptr;
    std::array<Connection, NET_CONNECTION_COUNT> connections_;
    std::array<Connect, CONNECTS_MAX> connects_;
    TransportLimits limits_;
    int listenSocket_ = -1;
    uint16_t listenPort_ = 0;
    uint16_t askedPort_ = 0;
    bool suspended_ = false;
    struct Loss {
        int slot;
        bool midMessage;
    };
    std::vector<Loss> losses_;
    std::optional<RelayLink> relayLink_;
    std::string relayError_;
    // Where skipped bytes land; never read, so nested reads may share it.
    std::array<uint8_t, 4096> skipBuffer_{};
};
