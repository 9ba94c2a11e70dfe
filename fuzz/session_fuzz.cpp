// Arbitrary streams into a whole process: the real session, transport and
// engine, in each session mode. The first byte chooses the mode and its
// players; the rest is a series of steps, each a control byte and, for
// bytes sent, up to 64 bytes that go to one of two connections: the one
// the mode cares about (the host of a joiner, the first joiner of a host)
// and a second one (a stranger, or a second joiner).
//
// Listeners take a port the system chooses, so runs never meet the ports
// of the tests or of a program being played.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/poll_loop.h"
#include "net/session.h"
#include "players/computer.h"
#include "tests/net/net_harness.h"

namespace {

enum Mode { LOCAL, HOSTING, JOINED_WAITING, JOINED_PLAYING };

class FuzzUi : public SessionUi {
public:
    void scheduleSetupDialog() override {}
    void relayoutTable() override {}
    bool runAddPlayers() override { return addPlayers ? addPlayers() : false; }
    void listJoiner(int) override {}
    void unlistJoiner(int) override {}
    void startWait(int) override { waiting = true; }
    void stopWait() override { waiting = false; }
    std::function<bool()> addPlayers;
    bool waiting = false;
};

// One process and the test's ends of its connections.
struct Process {
    Process() : transport(poll, game), session(game, transport, ui)
    {
        std::srand(1);
        initGame(game);
        game.table = &table;
        game.outbox = &transport;
        game.computers = &computers;
        game.hooks = &session;
        poll.attach(transport);
        transport.setHandler(&session);
        transport.openListener(0);
        table.pump = [this] { poll.runOnce(0); };
    }
    ~Process()
    {
        for (int end : ends)
            if (end >= 0) ::close(end);
    }

    // Lets the process handle what has arrived, as its event loop would.
    void settle()
    {
        for (int i = 0; i < 200 && poll.runOnce(0) > 0; ++i) {
        }
        // What it sent is read and dropped, so its sends never block.
        uint8_t sink[4096];
        for (int end : ends)
            if (end >= 0)
                while (::recv(end, sink, sizeof sink, MSG_DONTWAIT) > 0) {
                }
    }

    // A connection whose far end the test holds, by a socket pair.
    int attachEnd(int which)
    {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return -1;
        const int slot = transport.allocConnection(pair[0]);
        if (slot < 0) {
            ::close(pair[1]);
            return -1;
        }
        fcntl(pair[1], F_SETFL, O_NONBLOCK);
        ends[which] = pair[1];
        slots[which] = slot;
        return slot;
    }

    void send(int which, const uint8_t* data, size_t size)
    {
        if (ends[which] >= 0) ::send(ends[which], data, size, MSG_NOSIGNAL);
        settle();
    }

    GameState game;
    QuietTable table;
    PollLoop poll;
    Transport transport;
    FuzzUi ui;
    Session session;
    ComputerStrategy computers;
    int ends[2] = {-1, -1};
    int slots[2] = {-1, -1};
};

void nameLocalPlayers(GameState& game, int players, int seats)
{
    setSeatName(game.seats[0], "Ann");
    if (players == 2) {
        setSeatName(game.seats[1], "Bo");
        game.seats[1].kind = LOCAL_HUMAN;
    }
    game.seatCount = seats;
    game.localPlayers = players;
}

// A fake host: a listener of the test's, and the connection a joiner made
// to it.
int acceptedFrom(int listener)
{
    for (int i = 0; i < 100; ++i) {
        const int s = ::accept(listener, nullptr, nullptr);
        if (s >= 0) return s;
    }
    return -1;
}

int fakeHostListener(uint16_t& port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 4) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
        if (s >= 0) ::close(s);
        return -1;
    }
    port = ntohs(a.sin_port);
    return s;
}

// The steps after the first byte. Control byte: bits 0-1 what to do, bits
// 2-7 how many bytes follow (1 to 64) when sending.
void runSteps(Process& p, const uint8_t* data, size_t size, Mode mode, size_t& at, bool untilJoinersSeated)
{
    while (at < size) {
        const uint8_t control = data[at++];
        const int what = control & 3;
        const size_t length = std::min<size_t>(size - at, 1 + (control >> 2));
        switch (what) {
        case 0:
        case 1:
            p.send(what, data + at, length);
            at += length;
            break;
        case 2:
            // A button of Add Players, for one of the two joiners.
            if (mode == HOSTING) {
                const int slot = p.slots[(control >> 3) & 1];
                const SeatingResult r =
                    (control & 4) ? p.session.addTeamPlayer(slot) : p.session.addOtherPlayer(slot);
                if (r == SEATS_FULL && untilJoinersSeated) return;
            }
            break;
        default:
            // The wait under way runs out.
            if (p.ui.waiting) {
                p.ui.waiting = false;
                p.session.waitOver();
                p.settle();
            }
            break;
        }
    }
}

bool seatsFull(const GameState& game)
{
    int seated = 0;
    for (const Seat& seat : game.seats) seated += seat.inPlay();
    return seated == game.seatCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const Mode mode = static_cast<Mode>(data[0] & 3);
    const int players = (data[0] & 4) ? 2 : 1;
    const int seats = (data[0] & 8) && players == 1 ? 2 : 4;
    const int ownSeat = 1 + ((data[0] >> 4) & 3) % 3;
    size_t at = 1;

    Process p;
    nameLocalPlayers(p.game, players, seats);
    int host = -1;
    int hostListener = -1;
    switch (mode) {
    case LOCAL:
        p.game.sessionMode = MODE_SETUP;
        p.session.onStartGame();
        p.attachEnd(0);
        p.attachEnd(1);
        p.settle();
        runSteps(p, data, size, mode, at, false);
        break;
    case HOSTING:
        p.game.sessionMode = MODE_SETUP;
        p.ui.addPlayers = [&] {
            p.attachEnd(0);
            p.attachEnd(1);
            p.settle();
            runSteps(p, data, size, mode, at, true);
            return seatsFull(p.game);
        };
        p.session.hostNetworkGame();
        runSteps(p, data, size, mode, at, false);
        break;
    case JOINED_WAITING:
    case JOINED_PLAYING: {
        uint16_t port = 0;
        hostListener = fakeHostListener(port);
        if (hostListener < 0 || !p.session.joinNetworkGame("127.0.0.1", port)) break;
        host = acceptedFrom(hostListener);
        if (host < 0) break;
        fcntl(host, F_SETFL, O_NONBLOCK);
        p.ends[0] = host;
        p.attachEnd(1);
        if (mode == JOINED_PLAYING) {
            // Seated by the rules: this machine at its seat, nobody else
            // with a program to connect to.
            Seating seating;
            const int own = seats == 2 ? 2 : ownSeat;
            const char* names[] = {"Host", "Bea", "Cy", "Di"};
            for (int i = 0; i < 4; ++i) {
                if (seats == 2 && i % 2 == 1) continue;
                seating[i].name = names[i];
                seating[i].seat = i;
                seating[i].team = i / 2;
            }
            seating[own].addr = WireAddress{0x7F000001, p.transport.listenPort()};
            const FramedMessage s = frameMessage(MSG_SEATING, encodeSeating(seating).data());
            p.send(0, s.bytes.data(), s.size);
            const FramedMessage r = frameMessage(MSG_RULES, encodeRules(RuleSettings{}).data());
            p.send(0, r.bytes.data(), r.size);
        }
        p.settle();
        runSteps(p, data, size, mode, at, false);
        break;
    }
    }
    p.transport.closeAllConnections();
    if (hostListener >= 0) ::close(hostListener);
    return 0;
}
