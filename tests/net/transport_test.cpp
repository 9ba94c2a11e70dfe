#include "net/transport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/net/net_harness.h"
#include "net/poll_loop.h"
#include "net/sealed_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t TEST_PORT = 4700;

template <size_t N>
Bytes bytesOf(const std::array<uint8_t, N>& a)
{
    return Bytes(a.begin(), a.end());
}

Bytes header(int32_t type, uint32_t msgLen)
{
    MessageHeader h;
    h.msgType = type;
    h.msgLen = msgLen;
    return bytesOf(encodeHeader(h));
}

Bytes message(int32_t type, const Bytes& body)
{
    Bytes out = header(type, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes actionMessage(int seat, int card, int code)
{
    GameAction a;
    a.seat = seat;
    a.card = card;
    a.action = code;
    return message(MSG_ACTION, bytesOf(encodeAction(a)));
}

void writeAll(int socket, const Bytes& bytes)
{
    ASSERT_EQ(::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

// Whether the peer has closed: its end reports end of stream within a second.
bool peerClosed(int socket)
{
    pollfd p{socket, POLLIN, 0};
    if (poll(&p, 1, 1000) <= 0) return false;
    uint8_t b;
    return ::recv(socket, &b, 1, MSG_DONTWAIT) == 0;
}

// Records every message as text, in arrival order.
class RecordingHandler : public MessageHandler {
public:
    void onAction(int slot, const GameAction& a) override
    {
        log.push_back("action " + std::to_string(a.seat) + " " + std::to_string(a.card) + " " + std::to_string(a.action) +
                      " @" + std::to_string(slot));
        if (afterAction) afterAction(slot);
    }
    void onSeating(int slot, const Seating& s) override
    {
        log.push_back("seating " + s[0].name + "," + s[1].name + "," + s[2].name + "," + s[3].name + " @" +
                      std::to_string(slot));
    }
    void onSeat(int slot, const SeatRecord& r) override
    {
        log.push_back("seat " + std::to_string(r.seat) + " @" + std::to_string(slot));
    }
    void onJoin(int slot, const JoinRecord& r) override { log.push_back("join " + r.name + " @" + std::to_string(slot)); }
    void onReady(int slot) override { log.push_back("ready @" + std::to_string(slot)); }
    void onRules(int slot, const RuleSettings& r) override
    {
        log.push_back("rules target " + std::to_string(r.target) + " @" + std::to_string(slot));
    }
    void onAccepted(int slot) override { accepted.push_back(slot); }
    void onClosed(int slot) override { closed.push_back(slot); }
    bool servesSession(int slot) const override
    {
        return std::find(strangers.begin(), strangers.end(), slot) == strangers.end();
    }
    void onConnectionLost(int slot, bool midMessage) override
    {
        log.push_back(std::string(midMessage ? "lost mid-message" : "lost") + " @" + std::to_string(slot));
    }

    std::vector<int> strangers;
    std::vector<std::string> log;
    std::vector<int> accepted;
    std::vector<int> closed;
    std::function<void(int)> afterAction;
};

class TransportTest : public ::testing::Test {
protected:
    TransportTest()
    {
        game.table = &table;
        game.sessionMode = MODE_LOCAL;
        transport.setHandler(&handler);
        loop.attach(transport);
        transport.openListener(TEST_PORT);
    }

    ~TransportTest() override
    {
        for (int s : peers) ::close(s);
    }

    // Runs the loop until nothing more is ready.
    void drain()
    {
        while (loop.runOnce(0) > 0) {
        }
    }

    // Runs the loop until done() holds, for at most two seconds.
    bool runUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done() && std::chrono::steady_clock::now() < end) loop.runOnce(10);
        return done();
    }

    // A raw client connected to the listener; slot is its accepted entry.
    int connectPeer(int* slot = nullptr)
    {
        const int s = connectToHost("127.0.0.1", transport.listenPort());
        EXPECT_GE(s, 0);
        peers.push_back(s);
        const size_t before = handler.accepted.size();
        EXPECT_TRUE(runUntil([&] { return handler.accepted.size() > before; }));
        if (slot) *slot = handler.accepted.empty() ? -1 : handler.accepted.back();
        return s;
    }

    // Waits for the log to reach n entries.
    bool received(size_t n)
    {
        return runUntil([&] { return handler.log.size() >= n; });
    }

    GameState game;
    QuietTable table;
    PollLoop loop;
    Transport transport{loop, game};
    RecordingHandler handler;
    std::vector<int> peers;
};

TEST_F(TransportTest, ListenerMovesPastATakenPort)
{
    GameState otherGame;
    PollLoop otherLoop;
    Transport other(otherLoop, otherGame);
    const uint16_t taken = transport.listenPort();
    ASSERT_GE(taken, TEST_PORT);
    ASSERT_GE(other.openListener(taken), 0);
    EXPECT_GT(other.listenPort(), taken);

    const int s = connectToHost("127.0.0.1", other.listenPort());
    ASSERT_GE(s, 0);
    ::close(s);
}

// A host that closes a game's connections first keeps them in TIME-WAIT on
// its port; started again at once, it must listen there again, since
// joiners call that port only.
TEST_F(TransportTest, ListenerGetsItsPortBackWhileClosedConnectionsLinger)
{
    const uint16_t port = transport.listenPort();
    int slot = -1;
    const int client = connectPeer(&slot);
    ASSERT_GE(slot, 0);
    transport.closeConnection(slot);
    ASSERT_TRUE(peerClosed(client));
    ASSERT_GE(transport.openListener(port), 0);
    EXPECT_EQ(transport.listenPort(), port);
}

TEST_F(TransportTest, ConnectToANonListeningPortFails)
{
    uint16_t port = 0;
    {
        GameState otherGame;
        PollLoop otherLoop;
        Transport other(otherLoop, otherGame);
        other.openListener(TEST_PORT + 50);
        port = other.listenPort();
    }
    EXPECT_EQ(connectToHost("127.0.0.1", port), -1);
    EXPECT_EQ(connectToAddr(WireAddress{0x7F000001, port}), -1);
}

// The road of a move in a local game: sent through the outbox on seat 0's
// loopback connection, it comes back on the accepted end.
TEST_F(TransportTest, AnActionSentThroughTheOutboxComesBackWhole)
{
    const int out = transport.allocConnection(connectToAddr(WireAddress{0x7F000001, transport.listenPort()}));
    ASSERT_GE(out, 0);
    ASSERT_TRUE(runUntil([&] { return !handler.accepted.empty(); }));
    EXPECT_EQ(transport.usedConnections(), 2);
    const int back = handler.accepted[0];
    ASSERT_TRUE(transport.localAddress(out).has_value());
    EXPECT_EQ(transport.peerAddress(back), transport.localAddress(out));
    EXPECT_EQ(transport.localAddress(back)->port, transport.listenPort());
    EXPECT_FALSE(transport.peerAddress(back + 1).has_value());

    game.outbox = &transport;
    setSeatName(game.seats[0], "Ann");
    game.seats[0].connection = out;
    sendBeg(game, 0);
    ASSERT_TRUE(received(1));
    EXPECT_EQ(handler.log[0], "action 0 -1 1 @" + std::to_string(back));
}

TEST_F(TransportTest, TheEleventhConnectionIsClosedAtOnce)
{
    std::vector<int> clients;
    for (int i = 0; i < NET_CONNECTION_COUNT; ++i) clients.push_back(connectPeer());
    EXPECT_EQ(transport.usedConnections(), NET_CONNECTION_COUNT);

    const int eleventh = connectToHost("127.0.0.1", transport.listenPort());
    ASSERT_GE(eleventh, 0);
    peers.push_back(eleventh);
    drain();
    EXPECT_TRUE(peerClosed(eleventh)) << "the eleventh connection was not refused";
    EXPECT_EQ(transport.usedConnections(), NET_CONNECTION_COUNT);
    EXPECT_EQ(handler.accepted.size(), static_cast<size_t>(NET_CONNECTION_COUNT));
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot) EXPECT_TRUE(transport.isOpen(slot));

    // The ten are still served.
    writeAll(clients[9], message(MSG_READY, {}));
    ASSERT_TRUE(received(1));
    EXPECT_EQ(handler.log[0], "ready @9");
}

// Connections that nobody claims and that say nothing would fill the table,
// and a player who joins or comes back would find no room.
TEST_F(TransportTest, SilentStrangersAreClosedAndMakeRoom)
{
    transport.setLimits(TransportLimits{100, 10000});
    enum Kind { SILENT, HALF_A_HEADER, BAD_SIGNATURE, A_MESSAGE, CLAIMED };
    const Kind kinds[] = {SILENT, SILENT, SILENT, SILENT, SILENT, SILENT, HALF_A_HEADER, BAD_SIGNATURE, A_MESSAGE, CLAIMED};
    std::vector<int> ends;
    std::vector<int> slots;
    for (const Kind kind : kinds) {
        int slot = -1;
        ends.push_back(connectPeer(&slot));
        slots.push_back(slot);
        if (kind != CLAIMED) handler.strangers.push_back(slot);
        Bytes bytes = message(MSG_READY, {});
        if (kind == HALF_A_HEADER) bytes.resize(6);
        if (kind == BAD_SIGNATURE) bytes[0] = 0;
        if (kind != SILENT && kind != CLAIMED) writeAll(ends.back(), bytes);
    }
    ASSERT_EQ(transport.usedConnections(), NET_CONNECTION_COUNT);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(runUntil([&] { return transport.usedConnections() == 2; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
    for (size_t i = 0; i < ends.size(); ++i) {
        SCOPED_TRACE(i);
        const bool stays = kinds[i] == A_MESSAGE || kinds[i] == CLAIMED;
        EXPECT_EQ(transport.isOpen(slots[i]), stays);
        if (!stays) EXPECT_TRUE(peerClosed(ends[i]));
    }
    EXPECT_EQ(handler.log, std::vector<std::string>{"ready @" + std::to_string(slots[8])});
    connectPeer();
    EXPECT_EQ(transport.usedConnections(), 3) << "a new connection finds room";
}

// A blocking connect to an address that does not answer held the window for
// minutes; here the event loop watches it, within a limit, and it can be
// given up.
TEST_F(TransportTest, ConnectsEndOnTheLoopWithinTheirLimit)
{
    transport.setLimits(TransportLimits{5000, 150});
    // A listener whose queue is full drops what calls it: such a connect
    // neither succeeds nor fails by itself.
    const int full = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ASSERT_EQ(bind(full, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(full, 0), 0);
    ASSERT_EQ(getsockname(full, reinterpret_cast<sockaddr*>(&a), &size), 0);
    const WireAddress silent{INADDR_LOOPBACK, ntohs(a.sin_port)};
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(socket(AF_INET, SOCK_STREAM, 0));
        fcntl(fillers.back(), F_SETFL, O_NONBLOCK);
        ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
    }

    std::optional<int> answered, timedOut, cancelled;
    const WireAddress here{INADDR_LOOPBACK, transport.listenPort()};
    ASSERT_NE(transport.startConnect(here, [&](int s) { answered = s; }), -1);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(transport.startConnect(silent, [&](int s) { timedOut = s; }), -1);
    const int given = transport.startConnect(silent, [&](int s) { cancelled = s; });
    ASSERT_NE(given, -1);
    transport.cancelConnect(given);
    EXPECT_FALSE(transport.connecting(given));

    ASSERT_TRUE(runUntil([&] { return answered && timedOut; }));
    EXPECT_GE(*answered, 0);
    EXPECT_EQ(*timedOut, -1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(140));
    EXPECT_FALSE(cancelled);
    const int slot = transport.allocConnection(*answered);
    EXPECT_NE(slot, -1) << "the connected socket goes into the table like any other";

    const WireAddress refused{INADDR_LOOPBACK, 1};
    std::optional<int> refusal;
    if (transport.startConnect(refused, [&](int s) { refusal = s; }) != -1) {
        ASSERT_TRUE(runUntil([&] { return refusal.has_value(); }));
        EXPECT_EQ(*refusal, -1);
    }
    for (int s : fillers) ::close(s);
    ::close(full);
}

TEST_F(TransportTest, ClosingAFreeOrUnknownSlotChangesNothing)
{
    int slot = -1;
    connectPeer(&slot);
    ASSERT_EQ(transport.usedConnections(), 1);
    for (int free : {slot + 1, -1, NET_CONNECTION_COUNT}) transport.closeConnection(free);
    EXPECT_EQ(transport.usedConnections(), 1);
    transport.closeConnection(slot);
    transport.closeConnection(slot);
    EXPECT_EQ(transport.usedConnections(), 0);
}

// With a blocking listener or socket this test hangs instead of passing.
TEST_F(TransportTest, AReportWithNothingToReadChangesNothing)
{
    int slot = -1;
    connectPeer(&slot);
    transport.onListenerReadable();
    transport.onSocketReadable(slot);
    transport.onSocketReadable(slot + 1);
    EXPECT_EQ(transport.usedConnections(), 1);
    EXPECT_TRUE(transport.isOpen(slot));
    EXPECT_TRUE(handler.log.empty());
    EXPECT_TRUE(table.boxes.empty());
}

TEST_F(TransportTest, AFailedConnectTakesNoSlot)
{
    EXPECT_EQ(transport.allocConnection(-1), -1);
    EXPECT_EQ(transport.usedConnections(), 0);
}

// Whom a loss concerns and what the person hears is the session's affair:
// the transport reports each connection of the session that breaks, once,
// and closes any other without a word.
TEST_F(TransportTest, APeerThatClosesIsReportedLostOnlyWhenItServedTheSession)
{
    for (const bool stranger : {false, true}) {
        SCOPED_TRACE(stranger);
        handler.log.clear();
        int slot = -1;
        const int peer = connectPeer(&slot);
        handler.strangers = stranger ? std::vector<int>{slot} : std::vector<int>{};
        ::close(peer);
        peers.pop_back();
        ASSERT_TRUE(runUntil([&] { return !transport.isOpen(slot); }));
        drain();
        EXPECT_EQ(transport.usedConnections(), 0);
        EXPECT_EQ(handler.log, stranger ? std::vector<std::string>{} : std::vector<std::string>{"lost @" + std::to_string(slot)});
        EXPECT_TRUE(table.boxes.empty());
    }
}

// The host closes as soon as it has applied the game's last card, which a
// joiner may still have waiting on another peer's connection: the loss is
// reported only once that card is applied, so the session can see whether
// it ended the game.
TEST_F(TransportTest, ALossIsReportedOnlyAfterWhatCameBeforeItIsApplied)
{
    int hostSlot = -1, peerSlot = -1;
    const int host = connectPeer(&hostSlot);
    const int peer = connectPeer(&peerSlot);
    // The close is read first: the host's socket is the older one.
    writeAll(peer, actionMessage(2, 5, ACTION_PLAY));
    ::close(host);
    ASSERT_TRUE(received(2));
    drain();
    EXPECT_FALSE(transport.isOpen(hostSlot));
    EXPECT_EQ(handler.log, (std::vector<std::string>{"action 2 5 0 @" + std::to_string(peerSlot), "lost @" + std::to_string(hostSlot)}));
    ::close(peer);
    peers.clear();
    ASSERT_TRUE(runUntil([&] { return transport.usedConnections() == 0; }));
}

TEST_F(TransportTest, APeerThatClosesInsideABodyIsAReceiveError)
{
    int slot = -1;
    const int peer = connectPeer(&slot);
    Bytes partial = actionMessage(0, 1, ACTION_PLAY);
    partial.resize(18);
    writeAll(peer, partial);
    ::close(peer);
    peers.pop_back();
    ASSERT_TRUE(runUntil([&] { return !transport.isOpen(slot); }));
    drain();
    EXPECT_EQ(handler.log, std::vector<std::string>{"lost mid-message @" + std::to_string(slot)});
}

// Each case is followed by a valid action, which must arrive as the only
// message: the stream stayed in step and the case had no effect.
TEST_F(TransportTest, MessagesWithoutEffectAreReadWholeAndStayInStep)
{
    Bytes badSignature = actionMessage(0, 1, ACTION_PLAY);
    badSignature[3] = 0xA5;
    badSignature.resize(MSG_HEADER_SIZE);
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"bad signature", badSignature},
        {"type 5 with a 20-byte body", message(5, Bytes(20, 0xA4))},
        {"type 4 without a body", message(4, {})},
        {"text", message(MSG_TEXT, bytesOf(encodeTextMessage(TextMessage{"hello", "Ann"})))},
        {"action without a body", message(MSG_ACTION, {})},
        {"seating too short", message(MSG_SEATING, Bytes(100, 0))},
        {"oversized action", message(MSG_ACTION, Bytes(5000, 0xA4))},
        {"oversized by one", message(MSG_RULES, Bytes(MSG_BODY_MAX + 1, 0x0C))},
    };
    int slot = -1;
    const int peer = connectPeer(&slot);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        handler.log.clear();
        writeAll(peer, c.bytes);
        writeAll(peer, actionMessage(3, 7, ACTION_DEAL));
        ASSERT_TRUE(received(1));
        drain();
        EXPECT_EQ(handler.log, std::vector<std::string>{"action 3 7 3 @" + std::to_string(slot)});
        EXPECT_TRUE(transport.isOpen(slot));
        EXPECT_TRUE(table.boxes.empty());
    }
}

TEST_F(TransportTest, EveryMessageWrittenOneByteAtATimeArrivesWholeAndInOrder)
{
    game.sessionMode = MODE_HOSTING;
    int slot = -1;
    const int peer = connectPeer(&slot);

    Seating seating;
    const char* names[4] = {"Host", "", "Ann", "Bob"};
    for (int i = 0; i < 4; ++i) seating[i].name = names[i];
    SeatRecord seat;
    seat.seat = 3;
    JoinRecord join;
    join.name = "Ann";
    join.partner = "Bob";
    join.players = 2;
    join.addr = WireAddress{0x7F000001, 4101};
    RuleSettings rules;
    rules.target = 7;

    Bytes stream;
    for (const Bytes& m : {actionMessage(1, 51, ACTION_PLAY), message(MSG_SEATING, bytesOf(encodeSeating(seating))),
                           message(MSG_SEAT, bytesOf(encodeSeatRecord(seat))), message(MSG_JOIN, bytesOf(encodeJoinRecord(join))),
                           message(MSG_TEXT, Bytes(MSG_TEXT_SIZE, 0)), message(MSG_READY, {}),
                           message(MSG_RULES, bytesOf(encodeRules(rules)))})
        stream.insert(stream.end(), m.begin(), m.end());
    for (uint8_t b : stream) {
        writeAll(peer, {b});
        drain();
    }

    const std::string at = " @" + std::to_string(slot);
    const std::vector<std::string> expected = {"action 1 51 0" + at, "seating Host,,Ann,Bob" + at, "seat 3" + at,
                                               "join Ann" + at,      "ready" + at,                  "rules target 7" + at};
    ASSERT_TRUE(received(expected.size()));
    EXPECT_EQ(handler.log, expected);
    EXPECT_TRUE(table.boxes.empty());

    // The join information stays with the entry after its connection closes.
    transport.closeConnection(slot);
    const auto& info = transport.joinInfo(slot);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->name, "Ann");
    EXPECT_EQ(info->partner, std::optional<std::string>("Bob"));
    EXPECT_EQ(info->players, 2);
    EXPECT_EQ(info->addr, join.addr);
}

TEST_F(TransportTest, APartnerIsKeptOnlyForAPair)
{
    int slot = -1;
    const int peer = connectPeer(&slot);
    JoinRecord join;
    join.name = "Ann";
    join.partner = "stale";
    join.players = 1;
    writeAll(peer, message(MSG_JOIN, bytesOf(encodeJoinRecord(join))));
    ASSERT_TRUE(received(1));
    ASSERT_TRUE(transport.joinInfo(slot).has_value());
    EXPECT_FALSE(transport.joinInfo(slot)->partner.has_value());
}

TEST_F(TransportTest, APeerStalledInsideAMessageHoldsUpNoOne)
{
    int stalledSlot = -1;
    int otherSlot = -1;
    const int stalled = connectPeer(&stalledSlot);
    const int other = connectPeer(&otherSlot);

    const Bytes held = actionMessage(0, 10, ACTION_PLAY);
    writeAll(stalled, Bytes(held.begin(), held.begin() + MSG_HEADER_SIZE));
    writeAll(other, actionMessage(2, 20, ACTION_PLAY));
    ASSERT_TRUE(received(1));
    EXPECT_EQ(handler.log[0], "action 2 20 0 @" + std::to_string(otherSlot));

    writeAll(stalled, Bytes(held.begin() + MSG_HEADER_SIZE, held.end()));
    ASSERT_TRUE(received(2));
    EXPECT_EQ(handler.log[1], "action 0 10 0 @" + std::to_string(stalledSlot));
}

// A handler may run a nested loop (a pause, a message box) or close the
// connection it was called for.
TEST_F(TransportTest, HandlersMayNestLoopsAndCloseTheirConnection)
{
    int slot = -1;
    const int peer = connectPeer(&slot);
    Bytes three;
    for (int card = 1; card <= 3; ++card) {
        const Bytes m = actionMessage(0, card, ACTION_PLAY);
        three.insert(three.end(), m.begin(), m.end());
    }

    handler.afterAction = [&](int) {
        if (handler.log.size() == 1) drain();
    };
    writeAll(peer, three);
    ASSERT_TRUE(received(3));
    drain();
    const std::string at = " @" + std::to_string(slot);
    EXPECT_EQ(handler.log, (std::vector<std::string>{"action 0 1 0" + at, "action 0 2 0" + at, "action 0 3 0" + at}));

    handler.log.clear();
    handler.afterAction = [&](int s) { transport.closeConnection(s); };
    writeAll(peer, three);
    ASSERT_TRUE(received(1));
    drain();
    EXPECT_EQ(handler.log.size(), 1u);
    EXPECT_FALSE(transport.isOpen(slot));
    EXPECT_TRUE(table.boxes.empty());
}

TEST_F(TransportTest, SuspendedInputsHoldMessagesUntilResumed)
{
    int slot = -1;
    const int peer = connectPeer(&slot);
    transport.suspendInputs();
    writeAll(peer, message(MSG_READY, {}));
    loop.runOnce(50);
    EXPECT_TRUE(handler.log.empty());
    transport.resumeInputs();
    ASSERT_TRUE(received(1));
    EXPECT_EQ(handler.log[0], "ready @" + std::to_string(slot));
}

// Without MSG_NOSIGNAL the second send to a closed peer raises SIGPIPE and
// ends the test process. What the peer sent before it closed, a game's last
// action perhaps, is still read before the connection ends.
TEST_F(TransportTest, SendingToAClosedPeerFailsAndItsLastMessageIsStillRead)
{
    int slot = -1;
    const int peer = connectPeer(&slot);
    writeAll(peer, actionMessage(2, 5, ACTION_PLAY));
    ::close(peer);
    peers.pop_back();
    GameAction action;
    bool failed = false;
    for (int i = 0; i < 100 && !failed; ++i) {
        failed = !transport.sendActionMessage(slot, action);
        if (!failed) usleep(1000);
    }
    EXPECT_TRUE(failed);
    EXPECT_FALSE(transport.sendReady(slot));
    ASSERT_TRUE(runUntil([&] { return !transport.isOpen(slot); }));
    drain();
    EXPECT_EQ(handler.log, (std::vector<std::string>{"action 2 5 0 @" + std::to_string(slot), "lost @" + std::to_string(slot)}));
    EXPECT_EQ(handler.closed, std::vector<int>{slot});
}

// A close over unread input would be a reset, which throws away what the
// peer has not read yet; a player catching up loses the game's last actions.
TEST_F(TransportTest, ClosingOverUnreadInputStillDeliversWhatWasSent)
{
    int slot = -1;
    const int peer = connectPeer(&slot);
    writeAll(peer, actionMessage(2, 5, ACTION_PLAY));
    usleep(20000);  // on its way in, and never read
    GameAction action;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(transport.sendActionMessage(slot, action));
    transport.closeConnection(slot);
    std::vector<uint8_t> bytes(4096);
    size_t got = 0;
    ssize_t n = 0;
    while ((n = ::recv(peer, bytes.data() + got, bytes.size() - got, 0)) > 0) got += static_cast<size_t>(n);
    EXPECT_EQ(n, 0) << "a reset, not the end of the stream: " << std::strerror(errno);
    EXPECT_EQ(got, 3 * (MSG_HEADER_SIZE + MSG_ACTION_SIZE));
}

TEST_F(TransportTest, APeerThatStopsReadingIsGivenUp)
{
    int slot = -1;
    connectPeer(&slot);
    Seating seating;
    bool failed = false;
    for (int i = 0; i < 10000 && !failed; ++i) failed = !transport.sendSeating(slot, seating);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(transport.isOpen(slot));
}

// An internet game's connection on a socket pair: the far end seals by
// hand with the keys the transport's end has crossed.
class SealedTransportTest : public TransportTest {
protected:
    const InvitationKey toTransport{0x11};
    const InvitationKey fromTransport{0x22};

    SealedTransportTest()
    {
        int ends[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        slot = transport.allocConnection(ends[0], SealedStream(fromTransport, toTransport));
        far = ends[1];
        peers.push_back(far);
    }

    Bytes seal(SealedStream& stream, const Bytes& message)
    {
        const SealedRecord r = stream.seal(message.data(), message.size());
        return Bytes(r.bytes.begin(), r.bytes.begin() + r.size);
    }

    int slot = -1;
    int far = -1;
    SealedStream farEnd{toTransport, fromTransport};
};

TEST_F(SealedTransportTest, MessagesTravelSealedBothWays)
{
    EXPECT_TRUE(transport.isSealed(slot));
    Bytes records;
    for (int i = 0; i < 3; ++i) {
        const Bytes r = seal(farEnd, actionMessage(i, 10 + i, ACTION_PLAY));
        records.insert(records.end(), r.begin(), r.end());
    }
    // Written a byte at a time, the records still arrive whole and in order.
    for (uint8_t b : records) writeAll(far, Bytes{b});
    ASSERT_TRUE(received(3));
    EXPECT_EQ(handler.log[2], "action 2 12 0 @" + std::to_string(slot));

    ASSERT_TRUE(transport.sendReady(slot));
    uint8_t bytes[SEALED_LENGTH_SIZE + SEALED_BODY_MAX];
    const ssize_t n = ::recv(far, bytes, sizeof bytes, 0);
    ASSERT_EQ(n, static_cast<ssize_t>(SEALED_LENGTH_SIZE + MSG_HEADER_SIZE + SEALED_TAG_SIZE));
    std::array<uint8_t, SEALED_PLAIN_MAX> plain{};
    const auto size = farEnd.open(bytes, bytes + SEALED_LENGTH_SIZE, n - SEALED_LENGTH_SIZE, plain.data());
    ASSERT_TRUE(size);
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + *size), header(MSG_READY, 0));
}

// What the relay, or someone on the way, could do to the bytes. The
// connection closes; what came before it stays applied and the session
// hears of the loss; a connection whose first record does not open closes
// without a word, as a stranger's.
TEST_F(TransportTest, SealedRecordsThatDoNotOpenCloseTheConnection)
{
    const InvitationKey in{0x11};
    const InvitationKey out{0x22};
    struct Case {
        const char* what;
        std::function<Bytes(SealedStream&)> bytes;
        size_t applied;
        bool box;
    };
    const auto rec = [](SealedStream& s, const Bytes& m) {
        const SealedRecord r = s.seal(m.data(), m.size());
        return Bytes(r.bytes.begin(), r.bytes.begin() + r.size);
    };
    const auto cat = [](Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {"a stranger's first record", [&](SealedStream&) { SealedStream other{InvitationKey{}, InvitationKey{}}; return rec(other, actionMessage(1, 2, ACTION_PLAY)); }, 0, false},
        {"plain messages", [&](SealedStream&) { return actionMessage(1, 2, ACTION_PLAY); }, 0, false},
        {"a changed byte", [&](SealedStream& s) { Bytes a = rec(s, actionMessage(1, 2, ACTION_PLAY)); Bytes b = rec(s, actionMessage(2, 3, ACTION_PLAY)); b[9] ^= 0x40; return cat(a, b); }, 1, false},
        {"a record replayed", [&](SealedStream& s) { Bytes a = rec(s, actionMessage(1, 2, ACTION_PLAY)); return cat(a, a); }, 1, false},
        {"a record left out", [&](SealedStream& s) { Bytes a = rec(s, actionMessage(1, 2, ACTION_PLAY)); rec(s, actionMessage(2, 3, ACTION_PLAY)); Bytes c = rec(s, actionMessage(3, 4, ACTION_PLAY)); return cat(a, c); }, 1, false},
        {"a length no record has", [&](SealedStream& s) { Bytes a = rec(s, actionMessage(1, 2, ACTION_PLAY)); return cat(a, Bytes{0xFF, 0xFF, 1, 2, 3}); }, 1, false},
        {"a message unlike its header", [&](SealedStream& s) { Bytes m = actionMessage(1, 2, ACTION_PLAY); m[4] = 20; Bytes a = rec(s, actionMessage(1, 2, ACTION_PLAY)); return cat(a, rec(s, m)); }, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int ends[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        const int slot = transport.allocConnection(ends[0], SealedStream(out, in));
        SealedStream sender{in, out};
        handler.log.clear();
        handler.closed.clear();
        table.boxes.clear();
        writeAll(ends[1], c.bytes(sender));
        EXPECT_TRUE(runUntil([&] { return !transport.isOpen(slot); }));
        std::vector<std::string> expected;
        if (c.applied) expected = {"action 1 2 0 @" + std::to_string(slot), "lost @" + std::to_string(slot)};
        runUntil([&] { return handler.log.size() >= expected.size(); });
        EXPECT_EQ(handler.log, expected);
        EXPECT_EQ(handler.closed, std::vector<int>{slot});
        EXPECT_TRUE(table.boxes.empty()) << table.boxes.front();
        ::close(ends[1]);
    }
}

}  // namespace
