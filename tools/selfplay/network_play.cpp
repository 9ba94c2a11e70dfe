// Network games among peer "processes" inside one process: each peer has
// its own game copy, listener, transport and session, talks to the others
// over loopback TCP with the real session messages, and plays its people's
// seats as a person would. After every applied action each peer records a
// digest of the state all copies must share; the digests are compared at
// the same points of the action stream.
//
// All peers share one thread, so a peer that has messages waiting from two
// others would pick between them by socket order, not by the order they
// were sent; a real network of equal links delivers a cause before its
// effect. So game actions are delivered in the order they were sent: each
// send is queued with the connection's two ends and its number on that
// connection, and the receiver reads exactly that connection when the
// entry comes up, until that action is in. Session messages, which wait for
// one another, are read by polling.
//
// Through a relay every joiner talks to the host alone, over one connection,
// and the host forwards in its own order: actions are read by polling too.
#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "engine/actions.h"
#include "engine/begging.h"
#include "engine/digest.h"
#include "engine/headless_table.h"
#include "engine/tricks.h"
#include "net/poll_loop.h"
#include "net/session.h"
#include "players/strategy.h"
#include "tools/selfplay/game_watcher.h"

namespace {

// How the people sit: those at the host, and at each joining machine.
struct Arrangement {
    const char* name;
    int seats;
    int hostPlayers;
    std::vector<int> joinerPlayers;
    // For each joiner in the order it joined: true seats it on the host's team.
    std::vector<bool> onHostTeam;
    // For each computer seated after the joiners: true on the host's team.
    std::vector<bool> computersOnHostTeam = {};
};

std::vector<Arrangement> arrangementsFor(int peers, int seats, int computers)
{
    if (computers == 1)
        return {{"three people and a computer opposite", 4, 1, {1, 1}, {true, false}, {false}},
                {"three people and a computer partner", 4, 1, {1, 1}, {false, false}, {true}}};
    if (computers == 2)
        return {{"two partners and two computers", 4, 1, {1}, {true}, {false, false}},
                {"two opponents, each with a computer partner", 4, 1, {1}, {false}, {true, false}}};
    switch (peers) {
    case 4: return {{"four machines", 4, 1, {1, 1, 1}, {true, false, false}}};
    case 3:
        return {{"a pair at the host", 4, 2, {1, 1}, {false, false}},
                {"a pair at a joined machine", 4, 1, {2, 1}, {false, true}}};
    default:
        if (seats == 2) return {{"two seats", 2, 1, {1}, {false}}};
        return {{"two pairs", 4, 2, {2}, {false}}};
    }
}

class NetworkPlay;
class Peer;

// Messages read from each quiet connection of a peer each time round.
constexpr int SESSION_READS_PER_TURN = 8;

// What a joiner says when the host's process has gone; the host is "Peer 0",
// and a relay between them is named.
bool saysHostLost(const std::string& text)
{
    const std::string start = "Lost connection to Peer 0";
    const std::string end = "! Without the host the game cannot go on.";
    return text.compare(0, start.size(), start) == 0 && text.size() >= start.size() + end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// One game action on its way: the sending end, the receiving end, and how
// many actions that connection has carried with it.
struct InFlight {
    WireAddress from;
    WireAddress to;
    long number = 0;
};

// A connection, by its two ends.
using Link = std::pair<uint64_t, uint64_t>;
Link linkOf(const WireAddress& from, const WireAddress& to)
{
    auto key = [](const WireAddress& a) { return (static_cast<uint64_t>(a.ipv4) << 16) | a.port; };
    return {key(from), key(to)};
}

// The transport's outbox, noting each action sent for in-order delivery.
class OrderedOutbox : public Outbox {
public:
    OrderedOutbox(NetworkPlay& net, Transport& transport) : net_(net), transport_(transport) {}
    void sendAction(int slot, const GameAction& action) override;

private:
    NetworkPlay& net_;
    Transport& transport_;
};

class Peer : public SessionUi, public MessageHandler, public GameHooks {
public:
    Peer(NetworkPlay& net, int index, const SelfPlayOptions& options, std::ostream& log);

    // SessionUi: the host's Add Players dialog seats the joiners in the
    // order they joined, through the functions its two buttons call.
    void scheduleSetupDialog() override { backToSetup = true; }
    void relayoutTable() override {}
    bool runAddPlayers() override;
    void listJoiner(int slot) override { listed_.push_back(slot); }
    void unlistJoiner(int slot) override { listed_.erase(std::remove(listed_.begin(), listed_.end(), slot), listed_.end()); }
    void startWait(int ms) override
    {
        poll.startTimer(ms, [this] { session.waitOver(); });
    }
    void stopWait() override { poll.stopTimer(); }

    // MessageHandler: the session's; afterAction sees every applied action.
    void onAction(int slot, const GameAction& action) override;
    void onSeating(int slot, const Seating& s) override { session.onSeating(slot, s); }
    void onSeat(int slot, const SeatRecord& r) override { session.onSeat(slot, r); }
    void onJoin(int slot, const JoinRecord& r) override { session.onJoin(slot, r); }
    void onReady(int slot) override { session.onReady(slot); }
    void onRules(int slot, const RuleSettings& r) override { session.onRules(slot, r); }
    void onAccepted(int slot) override { session.onAccepted(slot); }
    void onClosed(int slot) override
    {
        ends_[static_cast<size_t>(slot)].reset();
        session.onClosed(slot);
    }
    bool servesSession(int slot) const override { return session.servesSession(slot); }
    void onDigest(int slot, const RoundDigest& d) override { session.onDigest(slot, d); }
    void onText(int slot, const TextMessage& m) override { session.onText(slot, m); }
    void onActionBlock(int slot, const ActionBlock& a) override { session.onActionBlock(slot, a); }
    void onRejoinRefused(int slot) override { session.onRejoinRefused(slot); }
    void onNameTaken(int slot) override { session.onNameTaken(slot); }
    void onSeatReturning(int slot, const SeatRecord& r) override { session.onSeatReturning(slot, r); }
    void onConnectionLost(int slot, bool midMessage) override { session.onConnectionLost(slot, midMessage); }
    void onRelayJoined(int slot) override { session.onRelayJoined(slot); }
    void onRelayFailed(const std::string& why) override { session.onRelayFailed(why); }

    // GameHooks
    void recordGameResult(const GameState& g, int winner) override { watcher.recordGameResult(g, winner); }
    void roundScored(GameState& g) override { session.roundScored(g); }
    void endSession(GameState& g) override
    {
        watcher.endSession(g);
        session.endSession(g);
    }
    void seatTakenOver(GameState& g, int seat) override { session.seatTakenOver(g, seat); }
    void seatReturned(GameState& g, int seat) override
    {
        session.seatReturned(g, seat);
        if (g.seats[seat].kind == LOCAL_HUMAN) ++seatsBack;
    }
    bool handSeatBack(GameState& g, int seat) override { return session.handSeatBack(g, seat); }

    // Seats the people of this machine for the next game.
    void prepare(int players, int seats);
    // Joins the host's game; false when the host could not be reached.
    bool join(uint16_t port);
    // Joined, and no seat yet.
    bool waitsForSeat() const
    {
        return !watcher.finished && game.sessionMode == MODE_JOINED && game.turn == TURN_IDLE && digests.empty();
    }
    // What a person at this machine would click now, if anything.
    void actAsPeople();
    int pump(int timeoutMs) { return poll.runOnce(timeoutMs); }
    // Reads what waits on connections that no queued action is bound for:
    // session messages sent while the game runs, and closes.
    void readSessionMessages();

    // Reads the action sent over the connection from that end; false when
    // this peer has no such connection (yet).
    bool deliver(const InFlight& message);
    // Whether this peer's end of a connection is at that address.
    bool ownsEnd(const WireAddress& end) const;
    // A connection's far end and this peer's, as first seen: once the far
    // end has reset it the system names it no more, though the bytes it
    // sent before are still there to read.
    std::optional<std::pair<WireAddress, WireAddress>> endsOf(int slot);

    GameState game;
    HeadlessTable table;
    PollLoop poll;
    Transport transport;
    OrderedOutbox outbox;
    Session session;
    SelfPlayResult stats;
    GameWatcher watcher;
    std::vector<uint64_t> digests;
    // The actions applied, beside their digests: what a divergence report shows.
    std::vector<GameAction> applied;
    // Its process closes once the current action is applied.
    bool leaving = false;
    // False for a process that joined again: it stays to the game's end.
    bool mayLeave = true;
    long seatsBack = 0;
    // The session ended and the setup dialog is due; the box that said the
    // host was lost.
    bool backToSetup = false;
    bool toldHostLost = false;
    // Paced games: the wait of this process's computers.
    SimulatedPace pace;

private:
    NetworkPlay& net_;
    std::ostream& log_;
    int index_;
    std::vector<int> listed_;
    std::array<std::optional<std::pair<WireAddress, WireAddress>>, NET_CONNECTION_COUNT> ends_;
    ComputerStrategy strategy_;
    long actedAt_ = -1;
};

class NetworkPlay {
public:
    NetworkPlay(const SelfPlayOptions& options, SelfPlayResult& result, std::ostream& log)
        : rng(options.seed), options_(options), result_(result), log_(log)
    {
        for (int i = 0; i < options.network; ++i) peers_.push_back(std::make_unique<Peer>(*this, i, options, log));
    }

    bool playGame(const Arrangement& a);
    // Runs every peer's events once: what the other machines do meanwhile.
    // Returns how many were run.
    int pumpAll(int timeoutMs)
    {
        int events = 0;
        for (Peer* p : live()) events += p->pump(timeoutMs);
        return events;
    }
    // The peers whose processes run.
    std::vector<Peer*> live() const
    {
        std::vector<Peer*> running;
        for (const auto& p : peers_)
            if (p) running.push_back(p.get());
        return running;
    }
    const Arrangement& arrangement() const { return *current_; }
    void compareDigests();
    // Each live peer's actions up to a little past the first that differs,
    // as "seat/card/action".
    void logActionsAround(size_t index) const;
    // The host's process has closed in this game.
    bool hostGone() const { return !peers_.front(); }
    bool throughRelay() const { return options_.relay.has_value(); }
    // Joins the host's game: at its address, or by its invitation.
    bool join(Peer& joiner);
    // Queues an action sent over the connection between those ends.
    void sent(const WireAddress& from, const WireAddress& to)
    {
        inFlight_.push_back(InFlight{from, to, ++sentOn_[linkOf(from, to)]});
    }
    // Counts an action read at the receiving end.
    void read(const WireAddress& from, const WireAddress& to) { ++readOn_[linkOf(from, to)]; }
    bool alreadyRead(const InFlight& message) const
    {
        const auto it = readOn_.find(linkOf(message.from, message.to));
        return it != readOn_.end() && it->second >= message.number;
    }
    bool actionsInFlight() const { return !inFlight_.empty(); }
    bool actionBoundFor(const WireAddress& from, const WireAddress& to) const
    {
        return std::any_of(inFlight_.begin(), inFlight_.end(),
                           [&](const InFlight& m) { return m.from == from && m.to == to; });
    }
    // Delivers the queued actions, oldest first; only those to one peer
    // when given, as that peer's own nested event processing would.
    int deliverQueued(Peer* only);

    // The simulated clock and chance of paced games, every peer's alike.
    long nowMs = 0;
    std::mt19937 rng;

private:
    // Paced games, when nothing else happens: the earliest held computer
    // move goes out, or, during its wait, a reneed call or the dropping
    // peer's loss comes first. False once the game has stood still for
    // good.
    bool paceOn();
    // Closes the process of a peer that is leaving, and starts it again to
    // join when it is due.
    void dropAndRejoin(const Arrangement& a);
    void startPeer(size_t index, const Arrangement& a);
    // Adds a peer's counts to the run's and starts them again.
    void addStats(Peer& p);

    const SelfPlayOptions& options_;
    SelfPlayResult& result_;
    std::ostream& log_;
    std::vector<std::unique_ptr<Peer>> peers_;
    const Arrangement* current_ = nullptr;
    size_t compared_ = 0;
    std::deque<InFlight> inFlight_;
    // Actions sent and read over each connection there has been.
    std::map<Link, long> sentOn_;
    std::map<Link, long> readOn_;
    // The host's count of applied actions when the peer left; -1 while none did.
    long droppedAt_ = -1;
    // Paced games: since when nothing has happened, and whether this game
    // had its drop.
    long idleSinceMs_ = 0;
    bool droppedThisGame_ = false;
};

void OrderedOutbox::sendAction(int slot, const GameAction& action)
{
    if (net_.throughRelay()) {
        transport_.sendActionMessage(slot, action);
        return;
    }
    const auto from = transport_.localAddress(slot);
    const auto to = transport_.peerAddress(slot);
    if (transport_.sendActionMessage(slot, action) && from && to) net_.sent(*from, *to);
}

void Peer::onAction(int slot, const GameAction& action)
{
    if (const auto link = endsOf(slot)) net_.read(link->first, link->second);
    session.onAction(slot, action);
}

bool Peer::deliver(const InFlight& message)
{
    // The action was sent, so it comes; but on a loaded machine the kernel
    // may finish a loopback connection, or hand over its bytes, a moment
    // after the send returned. It is waited for: read later by polling, it
    // would be applied out of its turn, which no network of equal links does.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!net_.alreadyRead(message)) {
        bool connected = false;
        for (int slot = 0; slot < NET_CONNECTION_COUNT && !connected; ++slot) {
            const auto link = endsOf(slot);
            if (!link || link->first != message.from || link->second != message.to) continue;
            connected = true;
            // Session messages that came first on this connection are
            // read on the way.
            for (int i = 0; i < 16 && !net_.alreadyRead(message) && transport.isOpen(slot); ++i)
                transport.onSocketReadable(slot);
            if (!transport.isOpen(slot)) return true;
        }
        // Its end may still wait in the listener's queue.
        if (!connected) transport.onListenerReadable();
        if (net_.alreadyRead(message)) break;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

int NetworkPlay::deliverQueued(Peer* only)
{
    int delivered = 0;
    for (;;) {
        const auto it = std::find_if(inFlight_.begin(), inFlight_.end(),
                                     [only](const InFlight& m) { return !only || only->ownsEnd(m.to); });
        if (it == inFlight_.end()) return delivered;
        const InFlight message = *it;
        inFlight_.erase(it);
        ++delivered;
        for (Peer* p : live()) {
            if (p->ownsEnd(message.to)) {
                if (!p->deliver(message))
                    log_ << "action " << message.number << " from port " << message.from.port << " to port "
                         << message.to.port << " not there after two seconds: it will be read out of turn\n";
                break;
            }
        }
    }
}

void Peer::readSessionMessages()
{
    if (leaving) return;
    // A process reads what waits as it comes, while the computers at the
    // host play on: a player catching up reads the host's blocks and relays
    // in bursts, not one a turn.
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot) {
        for (int i = 0; i < SESSION_READS_PER_TURN && transport.isOpen(slot); ++i) {
            // What comes before an action on its way is read when that
            // action is delivered; the rest, a close included, as the
            // program would.
            const auto link = endsOf(slot);
            if (link && net_.actionBoundFor(link->first, link->second)) break;
            transport.onSocketReadable(slot);
        }
    }
}

std::optional<std::pair<WireAddress, WireAddress>> Peer::endsOf(int slot)
{
    if (!transport.isOpen(slot)) return std::nullopt;
    auto& known = ends_[static_cast<size_t>(slot)];
    if (!known) {
        const auto from = transport.peerAddress(slot);
        const auto to = transport.localAddress(slot);
        if (from && to) known = std::make_pair(*from, *to);
    }
    return known;
}

bool Peer::ownsEnd(const WireAddress& end) const
{
    if (end.port == transport.listenPort()) return true;
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot)
        if (transport.localAddress(slot) == std::optional<WireAddress>(end)) return true;
    return false;
}

Peer::Peer(NetworkPlay& net, int index, const SelfPlayOptions& options, std::ostream& log)
    : transport(poll, game),
      outbox(net, transport),
      session(game, transport, *this),
      watcher(game, stats, log, options.verbose),
      pace(net.nowMs, net.rng),
      net_(net),
      log_(log),
      index_(index)
{
    if (options.paced) strategy_.setPace(&pace);
    initGame(game);
    game.table = &table;
    game.outbox = &outbox;
    game.hooks = this;
    game.computers = &strategy_;
    poll.attach(transport);
    transport.setHandler(this);
    // Pending events: the actions already sent to this peer, in order, or
    // while none is on its way, the session messages.
    table.deliverPending = [this] {
        if (leaving || net_.deliverQueued(this) > 0 || net_.actionsInFlight()) return;
        while (poll.runOnce(0) > 0) {
        }
    };
    table.onRoundSummary = [this](const RoundSummary&) { watcher.onRoundSummary(); };
    table.onError = [this](const std::string& caption, const std::string& text) {
        if (net_.hostGone() && caption == "Network error" && saysHostLost(text))
            toldHostLost = true;
        else
            watcher.onError(caption, text);
    };
    game.afterAction = [this, &options](const GameAction& action) {
        digests.push_back(sharedDigest(game));
        applied.push_back(action);
        watcher.after(action);
        // Paced games may drop sooner, at a moment of a computer's wait.
        if (index_ == options.dropPeer && static_cast<long>(digests.size()) == options.dropAfter && mayLeave)
            leaving = true;
    };
    // A person who deals answers a beg as the computer dealer would.
    table.answerQuestion = [this](const std::string& caption) {
        return caption == "Game over" ? false : strategy_.dealerAcceptsBeg(game);
    };
    transport.openListener(static_cast<uint16_t>(options.basePort + 10 * index));
}

void Peer::prepare(int players, int seats)
{
    for (Seat& seat : game.seats) clearSeatName(seat);
    resetSeating(game);
    setSeatName(game.seats[0], "Peer " + std::to_string(index_));
    if (players == 2) setSeatName(game.seats[1], "Partner " + std::to_string(index_));
    game.seatCount = seats;
    game.localPlayers = players;
    seatsBack = 0;
    mayLeave = true;
    backToSetup = toldHostLost = false;
    listed_.clear();
    digests.clear();
    applied.clear();
    actedAt_ = -1;
    watcher.finished = false;
}

bool Peer::join(uint16_t port)
{
    bool announced = false;
    if (!session.joinNetworkGame("127.0.0.1", port, [&announced](bool ok) { announced = ok; })) return false;
    // A person's program connects while the others play on; here the
    // connect is seen through at once, so the join comes when the run says.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (session.connectingToHost() && std::chrono::steady_clock::now() < deadline) poll.runOnce(1);
    if (session.connectingToHost()) session.cancelJoin();
    return announced;
}

bool Peer::runAddPlayers()
{
    const Arrangement& a = net_.arrangement();
    // Through a relay the joiners need the invitation, which exists now.
    if (net_.throughRelay()) {
        for (Peer* p : net_.live())
            if (p != this && !net_.join(*p)) return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (listed_.size() < a.joinerPlayers.size() && std::chrono::steady_clock::now() < deadline) net_.pumpAll(10);
    if (listed_.size() < a.joinerPlayers.size()) {
        log_ << "Add Players listed " << listed_.size() << " of " << a.joinerPlayers.size() << " joiners\n";
        return false;
    }
    // Seating takes each player off the list: the players are those listed now.
    const std::vector<int> joiners = listed_;
    for (size_t j = 0; j < a.joinerPlayers.size() + a.computersOnHostTeam.size(); ++j) {
        SeatingResult r = NOT_A_JOINER;
        if (j < a.joinerPlayers.size())
            r = a.onHostTeam[j] ? session.addTeamPlayer(joiners[j]) : session.addOtherPlayer(joiners[j]);
        else
            r = session.addComputer(a.computersOnHostTeam[j - a.joinerPlayers.size()]);
        if (r == SEATS_FULL) return true;
        if (r != SEATED) {
            log_ << "seating the " << j + 1 << "th player gave " << static_cast<int>(r) << '\n';
            return false;
        }
    }
    return false;
}


void Peer::actAsPeople()
{
    const int seat = game.turn;
    if (leaving) return;
    if (!game.isSeat(seat) || game.seats[seat].kind != LOCAL_HUMAN) return;
    // One click per state: the next waits until this one has come back.
    const long count = static_cast<long>(digests.size());
    if (count == actedAt_) return;
    Card* hand = game.seats[seat].hand;
    if (!hand) return;
    if (game.kicked && game.kicked->next && game.kicked->suit == game.kicked->next->suit) return;
    actedAt_ = count;
    if (table.begEnabled() && (mustBeg(game, seat) || wantsToBeg(hand, game.kicked))) {
        table.setBegEnabled(false);
        sendBeg(game, seat);
        return;
    }
    Card* card = game.seatCount == 2 ? chooseCardTwoSeat(hand, game.trick, game.kicked)
                                     : chooseCard(hand, game.trick, game.kicked);
    if (!card || !isLegalPlay(game, seat, card)) {
        card = nullptr;
        for (Card* c = hand; c && !card; c = c->next)
            if (isLegalPlay(game, seat, c)) card = c;
    }
    if (card) sendPlay(game, seat, card);
}

void NetworkPlay::compareDigests()
{
    // Against the host's copy, or once the host has gone, the first joiner's.
    const std::vector<Peer*> peers = live();
    if (peers.empty()) return;
    const Peer& first = *peers.front();
    size_t common = first.digests.size();
    for (Peer* p : peers) common = std::min(common, p->digests.size());
    for (; compared_ < common; ++compared_) {
        for (Peer* p : peers) {
            if (p->digests[compared_] == first.digests[compared_]) continue;
            if (++result_.divergences <= 20) log_ << "divergence at action " << compared_ + 1 << '\n';
            if (result_.divergences == 1) logActionsAround(compared_);
            break;
        }
    }
}

void NetworkPlay::logActionsAround(size_t index) const
{
    const size_t from = index > 12 ? index - 12 : 0;
    for (const auto& p : peers_) {
        if (!p) continue;
        log_ << "  " << p->game.seats[0].name << " applied " << p->applied.size() << ", from " << from + 1 << ':';
        for (size_t i = from; i < std::min(p->applied.size(), index + 4); ++i)
            log_ << ' ' << p->applied[i].seat << '/' << p->applied[i].card << '/' << p->applied[i].action;
        log_ << '\n';
    }
}

void NetworkPlay::startPeer(size_t index, const Arrangement& a)
{
    peers_[index] = std::make_unique<Peer>(*this, static_cast<int>(index), options_, log_);
    peers_[index]->prepare(index == 0 ? a.hostPlayers : a.joinerPlayers[index - 1], a.seats);
}

void NetworkPlay::dropAndRejoin(const Arrangement& a)
{
    for (size_t i = 0; i < peers_.size(); ++i) {
        Peer* p = peers_[i].get();
        if (!p || !p->leaving) continue;
        // Nothing more reaches a process that has gone.
        inFlight_.erase(std::remove_if(inFlight_.begin(), inFlight_.end(),
                                       [p](const InFlight& m) { return p->ownsEnd(m.to); }),
                        inFlight_.end());
        addStats(*p);
        ++result_.drops;
        droppedAt_ = static_cast<long>(peers_.front()->digests.size());
        peers_[i].reset();
    }
    // Without a host nobody joins again.
    if (hostGone()) return;
    Peer& host = *peers_.front();
    const long hostApplied = static_cast<long>(host.digests.size());
    const size_t index = static_cast<size_t>(options_.dropPeer);
    if (droppedAt_ < 0 || options_.rejoinAfter < 0 || peers_[index] || hostApplied < droppedAt_ + options_.rejoinAfter)
        return;
    startPeer(index, a);
    peers_[index]->mayLeave = false;
    join(*peers_[index]);
    droppedAt_ = -1;
}

bool NetworkPlay::join(Peer& joiner)
{
    Peer& host = *peers_.front();
    const bool joined = options_.relay ? joiner.session.joinByInvitation(host.session.invitationCode(), *options_.relay)
                                       : joiner.join(host.transport.listenPort());
    if (!joined) log_ << joiner.game.seats[0].name << " could not join the host's game\n";
    return joined;
}

bool NetworkPlay::paceOn()
{
    Peer* next = nullptr;
    for (Peer* p : live())
        if (p->pace.holds() && (!next || p->pace.dueMs() < next->pace.dueMs())) next = p;
    if (!next) {
        // Nobody holds a move and nothing moves: a millisecond goes by.
        return ++nowMs - idleSinceMs_ < SimulatedPace::STALL_MS;
    }
    if (next->pace.interrupted()) {
        ++result_.injected;
        Peer* dropping = options_.dropPeer >= 0 ? peers_[static_cast<size_t>(options_.dropPeer)].get() : nullptr;
        if (dropping && dropping->mayLeave && !droppedThisGame_ && rng() % 2 == 0) {
            dropping->leaving = true;
            droppedThisGame_ = true;
        } else {
            const std::vector<Peer*> running = live();
            Peer& caller = *running[rng() % running.size()];
            sendCallReneed(caller.game, caller.game.localSeat);
        }
    } else {
        next->pace.release();
    }
    idleSinceMs_ = nowMs;
    return true;
}

void NetworkPlay::addStats(Peer& p)
{
    // The game's rounds and actions as the host saw them.
    if (&p == peers_.front().get()) {
        result_.rounds += p.stats.rounds;
        result_.actions += p.stats.actions;
        for (int t = 0; t < 2; ++t) result_.won[t] += p.stats.won[t];
    }
    result_.violations += p.stats.violations;
    p.stats = SelfPlayResult{};
}

bool NetworkPlay::playGame(const Arrangement& a)
{
    current_ = &a;
    compared_ = 0;
    droppedAt_ = -1;
    // A host that was lost in the last game is started again.
    if (hostGone()) startPeer(0, a);
    Peer& host = *peers_.front();
    host.prepare(a.hostPlayers, a.seats);
    host.game.rules = options_.rules;
    for (size_t j = 0; j < a.joinerPlayers.size(); ++j) {
        // A process that left and did not come back is started again.
        if (!peers_[j + 1]) startPeer(j + 1, a);
        Peer& joiner = *peers_[j + 1];
        joiner.prepare(a.joinerPlayers[j], a.seats);
        if (!throughRelay() && !join(joiner)) return false;
    }
    if (!(throughRelay() ? host.session.hostInternetGame(*options_.relay) : host.session.hostNetworkGame())) {
        log_ << "the host could not seat every player\n";
        return false;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    idleSinceMs_ = nowMs;
    droppedThisGame_ = false;
    // A player who came back as the game ended is offered no seat: it
    // waits for the host's next game.
    auto allFinished = [this] {
        const bool hostFinished = peers_.front() && peers_.front()->watcher.finished;
        for (Peer* p : live())
            if (!p->watcher.finished && !(!p->mayLeave && p->waitsForSeat() && hostFinished)) return false;
        return true;
    };
    // Without the host every joiner's session ends, back to the setup.
    auto allBackToSetup = [this] {
        for (Peer* p : live())
            if (!p->backToSetup || p->game.sessionMode != MODE_SETUP) return false;
        return hostGone();
    };
    while (!allFinished() && !allBackToSetup() && std::chrono::steady_clock::now() < deadline) {
        int progress = deliverQueued(nullptr);
        if (progress == 0) {
            for (Peer* p : live()) progress += p->pump(0);
        }
        dropAndRejoin(a);
        if (options_.dropPeer >= 0)
            for (Peer* p : live()) p->readSessionMessages();
        for (Peer* p : live()) p->actAsPeople();
        compareDigests();
        if (progress == 0 && inFlight_.empty()) {
            if (options_.paced && !paceOn()) {
                ++result_.stalls;
                log_ << "stall: seed " << options_.seed << ", game " << result_.games + 1 << " (" << a.name << "), host turn "
                     << host.game.turn << " after " << host.digests.size() << " actions\n";
                break;
            }
            pumpAll(1);
        }
    }
    const bool endedByHostLoss = allBackToSetup();
    // Let every closed connection be read to its end before the next game.
    for (int i = 0; i < 50; ++i) pumpAll(1);
    while (std::chrono::steady_clock::now() < deadline && (deliverQueued(nullptr) > 0 || pumpAll(0) > 0)) {
    }
    // One who came back too late and still waits for a seat closes; the next
    // game starts it afresh.
    for (size_t i = 1; i < peers_.size(); ++i) {
        if (!peers_[i] || peers_[i]->mayLeave || !peers_[i]->waitsForSeat()) continue;
        addStats(*peers_[i]);
        peers_[i].reset();
    }
    compareDigests();
    for (Peer* p : live()) {
        // Without the host the joiners stop where each heard of it.
        if (hostGone() && !p->watcher.finished && !p->toldHostLost) {
            ++result_.violations;
            log_ << "violation: a joiner was not told that the host was lost\n";
        } else if (!hostGone() && p->digests.size() != host.digests.size()) {
            ++result_.divergences;
            log_ << "a peer applied " << p->digests.size() << " actions, the host " << host.digests.size() << '\n';
        }
        result_.rejoins += p->seatsBack > 0 ? 1 : 0;
    }
    result_.hostLosses += endedByHostLoss ? 1 : 0;
    for (Peer* p : live()) addStats(*p);
    return allFinished() || endedByHostLoss;
}

}  // namespace

void playNetworkGames(const SelfPlayOptions& options, SelfPlayResult& result, std::ostream& log)
{
    NetworkPlay play(options, result, log);
    const std::vector<Arrangement> arrangements = arrangementsFor(options.network, options.seats, options.computers);
    for (int g = 0; g < options.games; ++g) {
        const Arrangement& a = arrangements[g % arrangements.size()];
        if (!play.playGame(a)) {
            result.allFinished = false;
            log << "network game " << g + 1 << " (" << a.name << ") did not finish\n";
            return;
        }
        ++result.games;
    }
}
