// Latency of one game action through the real transport, against the floor:
// a bare ping-pong on a loopback TCP connection. Each also reports its worst
// iteration, which shows a Nagle / delayed-ACK stall (about 40 ms) at once.
#include <algorithm>
#include <chrono>
#include <cstdint>

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

BENCHMARK(BM_RawLoopbackPingPong);
BENCHMARK(BM_ActionRoundTrip);

}  // namespace
