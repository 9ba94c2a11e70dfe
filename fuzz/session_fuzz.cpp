// Arbitrary streams into a whole process: the real session, transport and
// engine, in each session mode. The first byte chooses the mode and its
// players; the rest is a series of steps, each a control byte and, for
// bytes sent, up to 64 bytes that go to one of two connections: the one
// the mode cares about (the host of a joiner, the first joiner of a host)
// and a second one (a stranger, a second joiner, or a joiner's peer).
// A step may also close a connection, or open a new one in its place (one
// the test holds the far end of, or a caller the listener accepts), or run
// out the session's wait or the transport's clock (silent callers go).
// In the sealed modes the host's connections are those of an internet game:
// what is sent is sealed a message a record (as far as it reads as messages,
// the rest as one record), so the fuzzer reaches what lies inside the
// records; bytes that start with 0xFF go unsealed, as a stranger's or a
// tampered stream would.
//
// The sockets are those of an in-memory loopback network (memory_network.cpp):
// a run is a few hundred socket calls, which the kernel made the most of
// its cost, and no address from the input reaches the real network.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "engine/tricks.h"
#include "net/poll_loop.h"
#include "net/sealed_stream.h"
#include "net/session.h"
#include "players/computer.h"
#include "tests/net/net_harness.h"

namespace {

enum Mode {
    LOCAL,
    HOSTING,
    JOINED_WAITING,
    JOINED_PLAYING,
    // Hosting a game under way that has just lost the joiner on
    // connection 0: its seat is the host computer's now.
    HOSTING_LOST_SEAT,
    SEALED_HOSTING,
    SEALED_HOSTING_LOST_SEAT,
    MODE_COUNT
};

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
        // The transport's limits run out only when a step says so.
        transport.setLimits(NEVER);
        transport.openListener(0);
        table.pump = [this] { poll.runOnce(0); };
    }
    ~Process()
    {
        for (int end : ends)
            if (end >= 0) ::close(end);
    }

    // Lets the process handle what has arrived, as its event loop would;
    // what it sent is read and dropped, so its sends never find no room.
    void settle()
    {
        for (int i = 0; i < 200 && poll.runOnce(0) > 0; ++i) {
        }
        static uint8_t sink[1 << 16];
        for (const int end : ends)
            if (end >= 0)
                while (::recv(end, sink, sizeof sink, MSG_DONTWAIT) == static_cast<ssize_t>(sizeof sink)) {
                }
    }

    void holdEnd(int which, int socket) { ends[which] = socket; }

    // A connection whose far end the test holds, by a socket pair.
    int attachEnd(int which)
    {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return -1;
        const InvitationKey in{1};
        const InvitationKey out{2};
        const int slot = sealedEnds ? transport.allocConnection(pair[0], SealedStream(out, in)) : transport.allocConnection(pair[0]);
        if (slot < 0) {
            ::close(pair[1]);
            return -1;
        }
        if (sealedEnds) farSealed[which].emplace(in, out);
        ends[which] = pair[1];
        slots[which] = slot;
        return slot;
    }

    void send(int which, const uint8_t* data, size_t size)
    {
        if (ends[which] < 0) return;
        if (!farSealed[which] || (size > 0 && data[0] == 0xFF)) {
            ::send(ends[which], data, size, MSG_NOSIGNAL);
        } else {
            for (size_t at = 0, n = 0; at < size; at += n) {
                n = size - at;
                if (n >= MSG_HEADER_SIZE) {
                    const MessageHeader h = decodeHeader(data + at);
                    if (h.signature == MSG_SIGNATURE && h.msgLen <= MSG_BODY_MAX) n = std::min<size_t>(n, MSG_HEADER_SIZE + h.msgLen);
                }
                n = std::min(n, SEALED_PLAIN_MAX);
                const SealedRecord r = farSealed[which]->seal(data + at, n);
                ::send(ends[which], r.bytes.data(), r.size, MSG_NOSIGNAL);
            }
        }
        settle();
    }

    void sendMessage(int which, int32_t type, const uint8_t* body)
    {
        const FramedMessage m = frameMessage(type, body);
        send(which, m.bytes.data(), m.size);
    }

    // The far end goes, as a program that quits or crashes; or, where none
    // is, a new connection comes in its place: a caller the listener
    // accepts (which says nothing until a step sends), or one already in
    // the table.
    void closeOrReopen(int which, bool calling)
    {
        if (ends[which] >= 0) {
            ::close(ends[which]);
            ends[which] = -1;
            farSealed[which].reset();
        } else if (calling) {
            ends[which] = connectToHost("127.0.0.1", transport.listenPort());
        } else {
            attachEnd(which);
        }
        settle();
    }

    // Every limit of the transport runs out at once.
    void clockRunsOut()
    {
        transport.setLimits(TransportLimits{0, 0});
        transport.onTimer();
        transport.setLimits(NEVER);
        settle();
    }

    static constexpr TransportLimits NEVER{1 << 30, 1 << 30};

    GameState game;
    QuietTable table;
    PollLoop poll;
    Transport transport;
    FuzzUi ui;
    Session session;
    ComputerStrategy computers;
    int ends[2] = {-1, -1};
    int slots[2] = {-1, -1};
    bool sealedEnds = false;
    std::optional<SealedStream> farSealed[2];
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

// The fake host, and the peers a joiner calls: one listener of the
// fuzzer's at a loopback port it reports, for all runs.
int fakeHostListener(uint16_t& port)
{
    static uint16_t boundPort = 0;
    static const int listener = [] {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 16) != 0 ||
            getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
            if (s >= 0) ::close(s);
            return -1;
        }
        boundPort = ntohs(a.sin_port);
        return s;
    }();
    port = boundPort;
    return listener;
}

int acceptedFrom(int listener) { return ::accept(listener, nullptr, nullptr); }

// Calls the run left unanswered are refused, so none reaches the next run.
void refuseLeftoverCalls(int listener)
{
    for (int s; (s = ::accept(listener, nullptr, nullptr)) >= 0;) ::close(s);
}

// The person at this machine acts, as its clicks and buttons would: plays
// the n-th card it may play (bits 4-7, counted round), begs, or calls a
// reneed (bits 2-3: 0 or 1, 2, 3).
void personActs(Process& p, int control)
{
    GameState& game = p.game;
    const int seat = game.turn;
    const bool toAct = game.seatInPlay(seat) && game.seats[seat].kind == LOCAL_HUMAN;
    switch ((control >> 2) & 3) {
    case 3:
        if (!game.kicked || !game.seatInPlay(game.localSeat)) return;
        sendCallReneed(game, game.localSeat);
        break;
    case 2:
        if (!toAct || !p.table.begOn) return;
        sendBeg(game, seat);
        break;
    default: {
        if (!toAct) return;
        std::vector<const Card*> legal;
        for (const Card* card = game.seats[seat].hand; card; card = card->next)
            if (isLegalPlay(game, seat, card)) legal.push_back(card);
        if (legal.empty()) return;
        sendPlay(game, seat, legal[static_cast<size_t>(control >> 4) % legal.size()]);
        break;
    }
    }
    p.settle();
}

// The steps after the first byte. Control byte, bits 0-1: 0 and 1 send
// the bytes that follow (bits 2-7: 1 to 64 of them) on that connection,
// with those of the steps just before it that sent on the same one;
// 2 presses a button of Add Players while it is open (bit 2: the team's,
// bit 3: for which connection's joiner), otherwise the person acts; 3 with
// bit 2 closes or reopens the connection bit 3 names (bit 4: reopens it as a
// caller), without it the wait under way runs out (bit 4: the transport's
// clock).
void runSteps(Process& p, const uint8_t* data, size_t size, size_t& at, bool untilJoinersSeated)
{
    // Pieces for one connection gather until a step of another kind, and go
    // in one write: most of a run's cost was the process settling after
    // each piece. Any other step, the wait's included when none is under
    // way, hands them over first, so an input still splits a stream in time.
    std::vector<uint8_t> held;
    int heldFor = -1;
    auto handOver = [&] {
        if (heldFor >= 0) p.send(heldFor, held.data(), held.size());
        held.clear();
        heldFor = -1;
    };
    while (at < size) {
        const uint8_t control = data[at++];
        const int what = control & 3;
        const size_t length = std::min<size_t>(size - at, 1 + (control >> 2));
        if (what != heldFor) handOver();
        switch (what) {
        case 0:
        case 1:
            heldFor = what;
            held.insert(held.end(), data + at, data + at + length);
            at += length;
            break;
        case 2:
            if (!untilJoinersSeated) {
                personActs(p, control);
                break;
            }
            // A button of Add Players, for one of the two joiners.
            {
                const int slot = p.slots[(control >> 3) & 1];
                const SeatingResult r =
                    (control & 4) ? p.session.addTeamPlayer(slot) : p.session.addOtherPlayer(slot);
                if (r == SEATS_FULL) return;
            }
            break;
        default:
            if (control & 4) {
                p.closeOrReopen((control >> 3) & 1, control & 16);
                break;
            }
            if (control & 16) {
                p.clockRunsOut();
                break;
            }
            // The wait under way runs out.
            if (p.ui.waiting) {
                p.ui.waiting = false;
                p.session.waitOver();
                p.settle();
            }
            break;
        }
    }
    handOver();
}

bool seatsFull(const GameState& game)
{
    int seated = 0;
    for (const Seat& seat : game.seats) seated += seat.inPlay();
    return seated == game.seatCount;
}

JoinRecordBytes joinOf(const char* name, const char* partner)
{
    JoinRecord join;
    join.name = name;
    join.partner = partner;
    join.players = partner[0] ? 2 : 1;
    join.addr = WireAddress{0x7F000001, 4101};
    return encodeJoinRecord(join);
}

// Hosting: the joiners come and are seated, every seat says it is ready,
// the host deals, and then the program on connection 0 is lost. Jo is on
// connection 0; on connection 1 Kit, with Lee when the host plays alone.
void hostGameAndLoseJoiner(Process& p)
{
    p.game.sessionMode = MODE_SETUP;
    const bool fourSeats = p.game.seatCount == 4;
    const bool pairHere = p.game.localPlayers == 2;
    p.ui.addPlayers = [&] {
        p.attachEnd(0);
        p.attachEnd(1);
        p.sendMessage(0, MSG_JOIN, joinOf("Jo", "").data());
        if (!fourSeats) return p.session.addOtherPlayer(p.slots[0]) == SEATS_FULL;
        p.sendMessage(1, MSG_JOIN, joinOf("Kit", pairHere ? "" : "Lee").data());
        if (pairHere)
            p.session.addOtherPlayer(p.slots[0]);
        else
            p.session.addTeamPlayer(p.slots[0]);
        return p.session.addOtherPlayer(p.slots[1]) == SEATS_FULL;
    };
    if (!p.session.hostNetworkGame()) return;
    p.sendMessage(0, MSG_READY, nullptr);
    if (fourSeats) p.sendMessage(1, MSG_READY, nullptr);
    if (fourSeats && !pairHere) p.sendMessage(1, MSG_READY, nullptr);
    p.closeOrReopen(0, false);
}

// Joined and seated by the rules: this machine at its seat; with a peer,
// connection 1 is the program of a seat next to it, below (this machine
// calls it) or above (it calls this machine). Nobody else has a program
// to connect to.
void seatJoiner(Process& p, int listener, uint16_t port, int own, bool peer)
{
    const int seats = p.game.seatCount;
    const char* names[] = {"Host", "Bea", "Cy", "Di"};
    Seating seating;
    for (int i = 0; i < 4; ++i) {
        if (seats == 2 && i % 2 == 1) continue;
        seating[i].name = names[i];
        seating[i].seat = i;
        seating[i].team = i / 2;
    }
    seating[own].addr = WireAddress{0x7F000001, p.transport.listenPort()};
    const int peerSeat = !peer || seats == 2 ? -1 : own > 1 ? 1 : 2;
    if (peerSeat != -1) seating[peerSeat].addr = WireAddress{0x7F000001, port};
    p.sendMessage(0, MSG_SEATING, encodeSeating(seating).data());
    if (peerSeat == 1) {
        p.holdEnd(1, acceptedFrom(listener));
    } else if (peerSeat == 2) {
        p.holdEnd(1, connectToHost("127.0.0.1", p.transport.listenPort()));
        p.settle();
        SeatRecord record;
        record.name = names[2];
        record.seat = 2;
        record.team = 1;
        p.sendMessage(1, MSG_SEAT, encodeSeatRecord(record).data());
    } else {
        p.attachEnd(1);
    }
    p.sendMessage(0, MSG_RULES, encodeRules(RuleSettings{}).data());
}

}  // namespace

// The first byte: bits 0-2 the mode (modulo MODE_COUNT), bit 3 two players
// at this machine, bit 4 two seats (with one player), bits 5-6 the seat of
// a joiner that is seated, bit 7 a joiner's peer on connection 1.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const Mode mode = static_cast<Mode>((data[0] & 7) % MODE_COUNT);
    const int players = (data[0] & 8) ? 2 : 1;
    const int seats = (data[0] & 16) && players == 1 ? 2 : 4;
    const int ownSeat = seats == 2 ? 2 : 1 + ((data[0] >> 5) & 3) % 3;
    const bool peer = data[0] & 128;
    size_t at = 1;

    uint16_t port = 0;
    const int listener = fakeHostListener(port);
    if (listener < 0) return 0;
    Process p;
    nameLocalPlayers(p.game, players, seats);
    switch (mode) {
    case LOCAL:
        p.game.sessionMode = MODE_SETUP;
        p.session.onStartGame();
        p.attachEnd(0);
        p.attachEnd(1);
        p.settle();
        runSteps(p, data, size, at, false);
        break;
    case SEALED_HOSTING:
    case HOSTING:
        p.sealedEnds = mode == SEALED_HOSTING;
        p.game.sessionMode = MODE_SETUP;
        p.ui.addPlayers = [&] {
            p.attachEnd(0);
            p.attachEnd(1);
            p.settle();
            runSteps(p, data, size, at, true);
            return seatsFull(p.game);
        };
        p.session.hostNetworkGame();
        runSteps(p, data, size, at, false);
        break;
    case SEALED_HOSTING_LOST_SEAT:
    case HOSTING_LOST_SEAT:
        p.sealedEnds = mode == SEALED_HOSTING_LOST_SEAT;
        hostGameAndLoseJoiner(p);
        runSteps(p, data, size, at, false);
        break;
    case JOINED_WAITING:
    case JOINED_PLAYING:
        if (!p.session.joinNetworkGame("127.0.0.1", port)) break;
        p.holdEnd(0, acceptedFrom(listener));
        if (p.ends[0] < 0) break;
        if (mode == JOINED_PLAYING)
            seatJoiner(p, listener, port, ownSeat, peer);
        else
            p.attachEnd(1);
        p.settle();
        runSteps(p, data, size, at, false);
        break;
    case MODE_COUNT: break;
    }
    p.transport.closeAllConnections();
    refuseLeftoverCalls(listener);
    return 0;
}
