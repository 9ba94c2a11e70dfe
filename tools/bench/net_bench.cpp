// Latency of one game action through the real transport, against the floor:
// a bare ping-pong on a loopback TCP connection. Each also reports its worst
// iteration, which shows a Nagle / delayed-ACK stall (about 40 ms) at once.
// An action's round trip between two processes, directly and through a
// transit relay with every message sealed, runs in the same go; the relay
// is the one MARVANTO_RELAY names (host:port), or that case is skipped.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <thread>

#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/poll_loop.h"
#include "net/transport.h"
#include "tests/net/net_harness.h"

namespace {

constexpr uint16_t BENCH_PORT = 4800;
constexpr uint32_t LOOPBACK = 0x7F000001;
constexpr size_t PING_SIZE = 24;

class WorstIteration {
public:
    void start() { begin_ = std::chrono::steady_clock::now(); }
    void stop() { worst_ = std::max(worst_, std::chrono::steady_clock::now() - begin_); }
    double microseconds() const { return std::chrono::duration<double, std::micro>(worst_).count(); }

private:
    std::chrono::steady_clock::time_point begin_;
    std::chrono::steady_clock::duration worst_{};
};

bool exchange(int from, int to, uint8_t* buffer)
{
    if (::send(from, buffer, PING_SIZE, MSG_NOSIGNAL) != static_cast<ssize_t>(PING_SIZE)) return false;
    for (size_t got = 0; got < PING_SIZE;) {
        const ssize_t n = ::recv(to, buffer + got, PING_SIZE - got, 0);
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

void BM_RawLoopbackPingPong(benchmark::State& state)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(LOOPBACK);
    for (uint16_t port = BENCH_PORT;; ++port) {
        sa.sin_port = htons(port);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) break;
    }
    ::listen(listener, 1);
    const int client = connectToAddr(WireAddress{LOOPBACK, ntohs(sa.sin_port)});
    const int server = ::accept(listener, nullptr, nullptr);
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    uint8_t buffer[PING_SIZE] = {};
    WorstIteration worst;
    for (auto _ : state) {
        worst.start();
        if (!exchange(client, server, buffer) || !exchange(server, client, buffer)) {
            state.SkipWithError("loopback exchange failed");
            break;
        }
        worst.stop();
    }
    state.counters["worst_us"] = worst.microseconds();
    ::close(client);
    ::close(server);
    ::close(listener);
}

// A local game's move: seat 0 plays through the outbox on its loopback
// connection, and the play is applied when it comes back through the poll
// loop and the transport. The card then goes back into the hand.
void BM_ActionRoundTrip(benchmark::State& state)
{
    GameState game;
    QuietTable table;
    PollLoop loop;
    Transport transport(loop, game);
    ActionApplier applier(game);
    transport.setHandler(&applier);
    loop.attach(transport);

    initGame(game);
    game.table = &table;
    game.outbox = &transport;
    game.sessionMode = MODE_LOCAL;
    for (int i = 0; i < 4; ++i) setSeatName(game.seats[i], "P" + std::to_string(i));
    transport.openListener(BENCH_PORT);
    game.seats[0].connection = transport.allocConnection(connectToAddr(WireAddress{LOOPBACK, transport.listenPort()}));
    while (transport.usedConnections() < 2) loop.runOnce(1000);

    Card* card = game.deck;
    game.deck = removeCard(game.deck, card);
    game.seats[0].hand = card;
    game.turn = 0;

    WorstIteration worst;
    for (auto _ : state) {
        worst.start();
        const long before = applier.applied;
        sendPlay(game, 0, card);
        while (applier.applied == before) loop.runOnce(1000);
        worst.stop();
        if (game.trick != card) {
            state.SkipWithError("the play was not applied");
            break;
        }
        game.trick = removeCard(game.trick, card);
        game.seats[0].hand = card;
        game.turn = 0;
        game.trickCount = 0;
    }
    state.counters["worst_us"] = worst.microseconds();
}

std::optional<RelayAddress> benchRelay(benchmark::State& state)
{
    const char* named = std::getenv("MARVANTO_RELAY");
    auto relay = named ? parseRelayAddress(named) : std::nullopt;
    if (!relay) state.SkipWithError("no relay: set MARVANTO_RELAY=host:port");
    return relay;
}

// The far process: sends every action straight back on the connection it
// came in on, as the host of an internet game forwards a joiner's action.
class Echo : public ActionApplier {
public:
    Echo(GameState& game, Transport& transport) : ActionApplier(game), transport_(transport) {}
    void onAction(int slot, const GameAction& action) override { transport_.sendActionMessage(slot, action); }
    void onAccepted(int slot) override { accepted = slot; }
    void onRelayJoined(int slot) override { accepted = slot; }
    std::atomic<int> accepted{-1};

private:
    Transport& transport_;
};

struct Counter : public ActionApplier {
    using ActionApplier::ActionApplier;
    void onRelayJoined(int slot) override { joined = slot; }
    int joined = -1;
};

// One action out and back between two processes; the echoing one runs on a
// thread of its own, as it would in a process of its own. connect() makes
// the near end's connection, given both transports, and returns its slot.
void actionRoundTrip(benchmark::State& state,
                     const std::function<int(Transport& near, PollLoop& nearLoop, Counter& counter, Transport& far, PollLoop& farLoop, Echo& echo)>& connect)
{
    GameState nearGame, farGame;
    QuietTable nearTable, farTable;
    nearGame.table = &nearTable;
    farGame.table = &farTable;
    PollLoop nearLoop, farLoop;
    Transport near(nearLoop, nearGame), far(farLoop, farGame);
    Counter counter(nearGame);
    Echo echo(farGame, far);
    near.setHandler(&counter);
    far.setHandler(&echo);
    nearLoop.attach(near);
    farLoop.attach(far);
    const int slot = connect(near, nearLoop, counter, far, farLoop, echo);
    if (slot < 0) {
        state.SkipWithError("no connection");
        return;
    }
    std::atomic<bool> stop{false};
    std::thread farThread([&] {
        while (!stop) farLoop.runOnce(50);
    });
    GameAction action;
    action.action = ACTION_PLAY;
    WorstIteration worst;
    for (auto _ : state) {
        worst.start();
        const long before = counter.applied;
        near.sendActionMessage(slot, action);
        while (counter.applied == before) nearLoop.runOnce(1000);
        worst.stop();
    }
    state.counters["worst_us"] = worst.microseconds();
    stop = true;
    farThread.join();
}

void BM_ActionRoundTripDirect(benchmark::State& state)
{
    actionRoundTrip(state, [](Transport& near, PollLoop&, Counter&, Transport& far, PollLoop& farLoop, Echo& echo) {
        far.openListener(BENCH_PORT);
        const int slot = near.allocConnection(connectToAddr(WireAddress{LOOPBACK, far.listenPort()}));
        while (echo.accepted < 0) farLoop.runOnce(1000);
        return slot;
    });
}

void BM_ActionRoundTripThroughRelay(benchmark::State& state)
{
    const auto relay = benchRelay(state);
    if (!relay) return;
    const auto secrets = deriveInvitationSecrets(newInvitationCode());
    actionRoundTrip(state, [&](Transport& near, PollLoop& nearLoop, Counter& counter, Transport& far, PollLoop& farLoop, Echo& echo) {
        if (!far.inviteThroughRelay(*relay, *secrets) || !near.joinThroughRelay(*relay, *secrets)) return -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while ((counter.joined < 0 || echo.accepted < 0) && std::chrono::steady_clock::now() < deadline) {
            nearLoop.runOnce(5);
            farLoop.runOnce(5);
        }
        far.stopRelay();
        return echo.accepted < 0 ? -1 : counter.joined;
    });
}

// The relay's own hop, without our transport or sealing: the floor for the
// case above.
void BM_RawPingPongThroughRelay(benchmark::State& state)
{
    const auto relay = benchRelay(state);
    if (!relay) return;
    const auto secrets = deriveInvitationSecrets(newInvitationCode());
    const int a = connectToHost(relay->host, relay->port);
    const int b = connectToHost(relay->host, relay->port);
    const std::string ask = relayRequest(*secrets, RelaySide::HOST);
    const std::string answer = relayRequest(*secrets, RelaySide::JOINER);
    char ok[6] = {};
    if (a < 0 || b < 0 || ::send(a, ask.data(), ask.size(), 0) < 0 || ::send(b, answer.data(), answer.size(), 0) < 0 ||
        ::recv(a, ok, 3, MSG_WAITALL) != 3 || ::recv(b, ok + 3, 3, MSG_WAITALL) != 3) {
        state.SkipWithError("the relay did not pair the two ends");
        return;
    }
    const int on = 1;
    setsockopt(a, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(b, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    uint8_t buffer[PING_SIZE] = {};
    WorstIteration worst;
    for (auto _ : state) {
        worst.start();
        if (!exchange(a, b, buffer) || !exchange(b, a, buffer)) {
            state.SkipWithError("relayed exchange failed");
            break;
        }
        worst.stop();
    }
    state.counters["worst_us"] = worst.microseconds();
    ::close(a);
    ::close(b);
}

BENCHMARK(BM_RawLoopbackPingPong);
BENCHMARK(BM_ActionRoundTrip);
BENCHMARK(BM_RawPingPongThroughRelay);
BENCHMARK(BM_ActionRoundTripDirect);
BENCHMARK(BM_ActionRoundTripThroughRelay);

}  // namespace
