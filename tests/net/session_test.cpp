// The session over real loopback sockets: who may change the game, the
// local game's first deal, and what a joined process refuses.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>

#include <arpa/inet.h>
#include <poll.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/begging.h"
#include "engine/digest.h"
#include "engine/tricks.h"
#include "net/poll_loop.h"
#include "net/session.h"
#include "players/computer.h"
#include "tests/net/net_harness.h"

namespace {

class TestUi : public SessionUi {
public:
    void scheduleSetupDialog() override { ++setupsScheduled; }
    void relayoutTable() override {}
    bool runAddPlayers() override { return addPlayers ? addPlayers() : false; }
    void listJoiner(int slot) override { listed.push_back(slot); }
    void unlistJoiner(int) override {}
    void showStatus(const std::string& text) override { status = text; }
    void showChatLine(const std::string& from, const std::string& text) override { chat.push_back(from + ": " + text); }
    void startWait(int ms) override
    {
        loop->startTimer(ms, [this] { session->waitOver(); });
    }
    void stopWait() override { loop->stopTimer(); }
    int setupsScheduled = 0;
    std::vector<int> listed;
    std::function<bool()> addPlayers;
    std::string status;
    std::vector<std::string> chat;
    PollLoop* loop = nullptr;
    Session* session = nullptr;
};

// One process: game, transport, session, on a listener from port 4900 up.
class SessionTest : public ::testing::Test {
protected:
    SessionTest() : transport(poll, game), session(game, transport, ui)
    {
        std::srand(11);
        initGame(game);
        game.table = &table;
        game.outbox = &transport;
        game.hooks = &session;
        poll.attach(transport);
        transport.setHandler(&session);
        ui.loop = &poll;
        ui.session = &session;
        session.setWaits(SessionWaits{300, 300});
    }
    void listen() { ASSERT_NE(transport.openListener(4900), -1); }
    // A joining machine played by the test: it connects and announces its
    // players.
    int joinAs(const char* name, int players = 1, const char* partner = "")
    {
        const int socket = connectToHost("127.0.0.1", transport.listenPort());
        JoinRecord record;
        record.name = name;
        record.partner = partner;
        record.players = players;
        record.addr = WireAddress{0x7F000001, 5999};
        const FramedMessage m = frameMessage(MSG_JOIN, encodeJoinRecord(record).data());
        EXPECT_EQ(write(socket, m.bytes.data(), m.size), static_cast<ssize_t>(m.size));
        pumpFor(60);
        return socket;
    }
    int slotOf(const std::string& joiner) const
    {
        for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot)
            if (transport.isOpen(slot) && transport.joinInfo(slot) && transport.joinInfo(slot)->name == joiner) return slot;
        return -1;
    }
    void pumpFor(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) poll.runOnce(5);
    }
    void nameLocalPlayer(int seats, const char* partner = nullptr)
    {
        setSeatName(game.seats[0], "Ann");
        if (partner) {
            setSeatName(game.seats[1], partner);
            game.seats[1].kind = LOCAL_HUMAN;
        }
        game.seatCount = seats;
        game.localPlayers = partner ? 2 : 1;
    }

    GameState game;
    QuietTable table;
    PollLoop poll;
    Transport transport;
    TestUi ui;
    Session session;
};

TEST_F(SessionTest, ComputerSeatsGetDifferentNamesInSeatOrder)
{
    struct Case {
        int seats;
        const char* partner;
        std::vector<int> computerSeats;
    };
    const Case cases[] = {{4, nullptr, {1, 2, 3}}, {4, "Bob", {2, 3}}, {2, nullptr, {2}}};
    listen();
    for (const Case& c : cases) {
        initGame(game);
        nameLocalPlayer(c.seats, c.partner);
        game.sessionMode = MODE_LOCAL;
        session.beginGame();
        std::set<std::string> names;
        for (int s : c.computerSeats) {
            EXPECT_EQ(game.seats[s].kind, COMPUTER);
            EXPECT_NE(game.seats[s].computerName, nullptr);
            names.insert(game.seats[s].name);
        }
        EXPECT_EQ(names.size(), c.computerSeats.size());
        if (c.seats == 2) {
            EXPECT_FALSE(game.seats[1].inPlay() || game.seats[3].inPlay());
        }
        if (c.partner) {
            EXPECT_EQ(game.seats[1].kind, LOCAL_HUMAN);
        }
        transport.closeAllConnections();
    }
}

TEST_F(SessionTest, APersonCalledBossmanDoesNotBlockTheName)
{
    for (int round = 0; round < 50; ++round) {
        initGame(game);
        setSeatName(game.seats[0], "Bossman");
        for (int s = 1; s < 4; ++s) {
            const int i = session.pickComputerName();
            setSeatName(game.seats[s], COMPUTER_NAMES[i]);
            game.seats[s].computerName = COMPUTER_NAMES[i];
        }
        for (int s = 1; s < 4; ++s)
            if (game.seats[s].name == "Bossman") return;
    }
    FAIL() << "no computer seat was ever called Bossman";
}

TEST_F(SessionTest, LocalGameStartsWhenItsOwnConnectionIsAccepted)
{
    listen();
    nameLocalPlayer(4);
    session.onStartGame();
    EXPECT_EQ(game.sessionMode, MODE_LOCAL);
    EXPECT_NE(game.seats[0].connection, -1);
    pumpFor(100);
    EXPECT_NE(game.turn, TURN_IDLE) << "the dealer was chosen and the deal has begun";
    EXPECT_TRUE(table.boxes.empty());
}

TEST_F(SessionTest, StrangersCannotStartOrPlayALocalGame)
{
    listen();
    // Someone on the network connects first and sends a set-dealer.
    const int stranger = connectToHost("127.0.0.1", transport.listenPort());
    ASSERT_NE(stranger, -1);
    const GameAction setDealer{0, NO_CARD, ACTION_SET_DEALER};
    const FramedMessage message = frameMessage(MSG_ACTION, encodeAction(setDealer).data());
    pumpFor(50);
    nameLocalPlayer(4);
    game.sessionMode = MODE_LOCAL;
    game.hosting = true;
    ASSERT_NE(write(stranger, message.bytes.data(), message.size), -1);
    pumpFor(100);
    EXPECT_EQ(game.turn, TURN_IDLE) << "no deal from a stranger's connection";
    EXPECT_EQ(countCards(game.deck), 52);
    session.beginGame();
    pumpFor(100);
    EXPECT_NE(game.turn, TURN_IDLE);
    ::close(stranger);
}

// Reads what this process sent to the host, message by message.
std::vector<std::pair<MessageHeader, std::vector<uint8_t>>> receivedBy(int socket)
{
    std::vector<uint8_t> bytes(4096);
    const ssize_t n = recv(socket, bytes.data(), bytes.size(), MSG_DONTWAIT);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    std::vector<std::pair<MessageHeader, std::vector<uint8_t>>> messages;
    for (size_t at = 0; at + MSG_HEADER_SIZE <= bytes.size();) {
        const MessageHeader header = decodeHeader(bytes.data() + at);
        at += MSG_HEADER_SIZE;
        const size_t end = std::min(bytes.size(), at + header.msgLen);
        messages.emplace_back(header, std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + end));
        at = end;
    }
    return messages;
}

// Someone connects, announces a body, sends part of it and goes.
void breakOffMidMessage(int socket)
{
    const MessageHeader header{MSG_SIGNATURE, static_cast<uint32_t>(MSG_SEATING_SIZE), MSG_SEATING};
    const HeaderBytes bytes = encodeHeader(header);
    const uint8_t part[10] = {};
    ASSERT_EQ(write(socket, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ASSERT_EQ(write(socket, part, sizeof part), static_cast<ssize_t>(sizeof part));
    ::close(socket);
}

TEST_F(SessionTest, StrangersWhoBreakOffAreClosedWithoutAWord)
{
    enum When { IDLE, LOCAL_GAME, ADDING_PLAYERS };
    listen();
    for (When when : {IDLE, LOCAL_GAME, ADDING_PLAYERS}) {
        SCOPED_TRACE(when);
        table.boxes.clear();
        int before = -1;
        auto stranger = [&] {
            pumpFor(30);
            before = transport.usedConnections();
            const int socket = connectToHost("127.0.0.1", transport.listenPort());
            ASSERT_NE(socket, -1);
            pumpFor(40);
            ASSERT_EQ(transport.usedConnections(), before + 1);
            breakOffMidMessage(socket);
            pumpFor(60);
            EXPECT_EQ(transport.usedConnections(), before);
            EXPECT_TRUE(table.boxes.empty()) << table.boxes.front();
        };
        initGame(game);
        nameLocalPlayer(4);
        if (when == IDLE) {
            game.sessionMode = MODE_SETUP;
            stranger();
        } else if (when == LOCAL_GAME) {
            session.onStartGame();
            pumpFor(60);
            ASSERT_NE(game.turn, TURN_IDLE);
            stranger();
            session.newLocalGame();
        } else {
            ui.addPlayers = [&] {
                stranger();
                return false;
            };
            session.hostNetworkGame();
            ui.addPlayers = nullptr;
        }
        pumpFor(30);
        EXPECT_EQ(transport.usedConnections(), 0);
    }
}

TEST_F(SessionTest, AJoinerWhoCameBeforeAddPlayersOpenedIsListed)
{
    listen();
    game.sessionMode = MODE_SETUP;
    const int jo = joinAs("Jo");
    nameLocalPlayer(4);
    ui.addPlayers = [this] {
        const int slot = slotOf("Jo");
        EXPECT_TRUE(session.isListableJoiner(slot));
        EXPECT_EQ(session.joinerText(slot), "Jo");
        return false;
    };
    session.hostNetworkGame();
    ::close(jo);
}

// A joiner seated before the table is full sends game actions of its
// own making: none counts, and the game waiting to begin stays as it was.
TEST_F(SessionTest, ASeatedJoinerCannotActBeforeTheGameBegins)
{
    listen();
    nameLocalPlayer(4);
    ui.addPlayers = [this] {
        const int jo = joinAs("Jo");
        EXPECT_EQ(session.addOtherPlayer(slotOf("Jo")), SEATED);
        for (const GameAction& forged : {GameAction{0, NO_CARD, ACTION_BEG}, GameAction{0, NO_CARD, ACTION_GIVE_ONE},
                                         GameAction{2, NO_CARD, ACTION_SET_DEALER}, GameAction{2, NO_CARD, ACTION_CALL_RENEED}}) {
            const FramedMessage message = frameMessage(MSG_ACTION, encodeAction(forged).data());
            EXPECT_EQ(write(jo, message.bytes.data(), message.size), static_cast<ssize_t>(message.size));
        }
        pumpFor(100);
        EXPECT_EQ(game.appliedActions, 0u);
        EXPECT_EQ(game.turn, TURN_IDLE);
        EXPECT_EQ(game.teams[0].score + game.teams[1].score, 0);
        ::close(jo);
        return false;
    };
    session.hostNetworkGame();
}

TEST_F(SessionTest, ASeatedJoinerWhoLeavesGivesItsSeatBack)
{
    listen();
    nameLocalPlayer(4);
    ui.addPlayers = [this] {
        const int jo = joinAs("Jo");
        EXPECT_EQ(session.addOtherPlayer(slotOf("Jo")), SEATED);
        EXPECT_TRUE(game.seats[2].inPlay());
        ::close(jo);
        pumpFor(60);
        EXPECT_FALSE(game.seats[2].inPlay());
        EXPECT_EQ(table.boxes, std::vector<std::string>{"Player left: Jo left. The seat is free again."});
        // Both seats of the other team are free again for a pair.
        const int pair = joinAs("Kit", 2, "Lee");
        EXPECT_EQ(session.addOtherPlayer(slotOf("Kit")), SEATED);
        EXPECT_EQ(game.seats[3].name, "Lee");
        const int bea = joinAs("Bea");
        EXPECT_EQ(session.addTeamPlayer(slotOf("Bea")), SEATS_FULL);
        ::close(pair);
        ::close(bea);
        return false;
    };
    session.hostNetworkGame();
}

TEST_F(SessionTest, AHostWhoseJoinerIsNotReadyNamesItAndEndsTheSession)
{
    enum Joiner { READY, NEVER_READY, LEAVES };
    const struct {
        Joiner joiner;
        const char* box;
    } cases[] = {
        {NEVER_READY, "Network error: Jo is not ready in time. The game cannot start."},
        {LEAVES, "Network error: Jo has left. The game cannot start."},
        {READY, nullptr},
    };
    listen();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.joiner);
        initGame(game);
        table.boxes.clear();
        ui.setupsScheduled = 0;
        nameLocalPlayer(2);
        game.sessionMode = MODE_SETUP;
        int jo = -1;
        ui.addPlayers = [&] {
            jo = joinAs("Jo");
            return session.addOtherPlayer(slotOf("Jo")) == SEATS_FULL;
        };
        ASSERT_TRUE(session.hostNetworkGame());
        if (c.joiner == READY) {
            const FramedMessage ready = frameMessage(MSG_READY, nullptr);
            ASSERT_EQ(write(jo, ready.bytes.data(), ready.size), static_cast<ssize_t>(ready.size));
        }
        if (c.joiner == LEAVES) ::close(jo);
        pumpFor(c.joiner == LEAVES ? 100 : 500);
        if (c.box) {
            EXPECT_EQ(table.boxes, std::vector<std::string>{c.box});
            EXPECT_EQ(game.sessionMode, MODE_SETUP);
            EXPECT_EQ(ui.setupsScheduled, 1);
            EXPECT_EQ(transport.usedConnections(), 0);
        } else {
            EXPECT_TRUE(table.boxes.empty());
            EXPECT_NE(game.turn, TURN_IDLE) << "the game started";
            transport.closeAllConnections();
        }
        if (c.joiner != LEAVES) ::close(jo);
    }
}

// Whether the test's end of a connection was closed by the process.
bool closedByPeer(int socket)
{
    pollfd p{socket, POLLIN, 0};
    uint8_t bytes[512];
    for (int i = 0; i < 20 && poll(&p, 1, 50) > 0; ++i) {
        const ssize_t n = recv(socket, bytes, sizeof bytes, MSG_DONTWAIT);
        if (n == 0) return true;
        if (n < 0) return false;
    }
    return false;
}

TEST_F(SessionTest, JoinersLeftUnseatedAreSentBackWhenTheGameStarts)
{
    listen();
    nameLocalPlayer(2);
    game.sessionMode = MODE_SETUP;
    int jo = -1, kit = -1, late = -1;
    ui.addPlayers = [&] {
        jo = joinAs("Jo");
        kit = joinAs("Kit");
        return session.addOtherPlayer(slotOf("Jo")) == SEATS_FULL;
    };
    ASSERT_TRUE(session.hostNetworkGame());
    late = joinAs("Lu");
    EXPECT_TRUE(closedByPeer(kit)) << "a joiner listed but not seated";
    EXPECT_TRUE(closedByPeer(late)) << "a joiner that came after the seating";
    EXPECT_FALSE(closedByPeer(jo));
    for (int s : {jo, kit, late}) ::close(s);
}

// The rules chosen in the dialog wait in pendingRules; hosting is starting
// a game, so the joiners are sent those, not the last local game's.
TEST_F(SessionTest, AHostSendsTheRulesChosenForTheNextGame)
{
    listen();
    nameLocalPlayer(2);
    game.sessionMode = MODE_SETUP;
    game.pendingRules.target = 7;
    game.pendingRules.tobagoRules = 1;
    int jo = -1;
    ui.addPlayers = [&] {
        jo = joinAs("Jo");
        receivedBy(jo);
        return session.addOtherPlayer(slotOf("Jo")) == SEATS_FULL;
    };
    ASSERT_TRUE(session.hostNetworkGame());
    pumpFor(50);
    std::optional<RuleSettings> sent;
    for (const auto& [header, body] : receivedBy(jo))
        if (header.msgType == MSG_RULES) sent = decodeRules(body.data());
    ASSERT_TRUE(sent);
    EXPECT_EQ(rulesFields(*sent), rulesFields(game.pendingRules));
    EXPECT_EQ(rulesFields(game.rules), rulesFields(game.pendingRules)) << "and the host plays by them";
    ::close(jo);
}

// The name of a seat, or of a joiner already listed, cannot be joined under
// again: two players of one name could not be told apart, at the table or
// when one of them comes back.
TEST_F(SessionTest, AJoinUnderATakenNameIsRefused)
{
    const struct {
        const char* what;
        const char* name;
        const char* partner;
        bool refused;
    } cases[] = {
        {"the host's name", "Ann", "", true},
        {"the host's partner's name", "Bo", "", true},
        {"a listed joiner's name", "Jo", "", true},
        {"a listed joiner's name as a partner", "Kit", "Jo", true},
        {"one name twice in a pair", "Kit", "Kit", true},
        {"a new name", "Kit", "", false},
    };
    listen();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        initGame(game);
        nameLocalPlayer(4, "Bo");
        game.sessionMode = MODE_SETUP;
        ui.listed.clear();
        ui.addPlayers = [&] {
            const int jo = joinAs("Jo");
            const int other = joinAs(c.name, c.partner[0] ? 2 : 1, c.partner);
            EXPECT_EQ(ui.listed.size(), c.refused ? 1u : 2u);
            if (c.refused) {
                const auto got = receivedBy(other);
                EXPECT_EQ(got.size(), 1u);
                if (!got.empty()) EXPECT_EQ(got[0].first.msgType, MSG_NAME_TAKEN);
            }
            EXPECT_EQ(closedByPeer(other), c.refused);
            ::close(jo);
            ::close(other);
            return false;
        };
        session.hostNetworkGame();
    }
}

// Joiners always call the port the listener asked for; one that had to take
// another takes it back when it is free, or the host is told.
TEST_F(SessionTest, HostingListensWhereJoinersCallOrSaysWhyNot)
{
    for (const bool stillHeld : {true, false}) {
        SCOPED_TRACE(stillHeld);
        const int holder = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(4920);
        ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(::listen(holder, 1), 0);
        ASSERT_NE(transport.openListener(4920), -1);
        ASSERT_NE(transport.listenPort(), 4920);
        if (!stillHeld) ::close(holder);
        initGame(game);
        nameLocalPlayer(4);
        std::string note;
        uint16_t port = 0;
        ui.addPlayers = [&] {
            note = session.reachNote();
            port = transport.listenPort();
            return false;
        };
        session.hostNetworkGame();
        if (stillHeld) {
            EXPECT_EQ(note, "Joiners cannot reach this machine while another program holds port 4920.");
            ::close(holder);
        } else {
            EXPECT_EQ(note, "");
            EXPECT_EQ(port, 4920);
        }
    }
}

TEST_F(SessionTest, FailedOwnConnectionIsReportedAndNoGameStarts)
{
    // No listener: connecting to this process's own port fails.
    nameLocalPlayer(4);
    session.onStartGame();
    ASSERT_EQ(table.boxes.size(), 1u);
    EXPECT_EQ(table.boxes[0].rfind("Network error: ", 0), 0u);
    EXPECT_FALSE(game.seats[0].inPlay());
    EXPECT_EQ(ui.setupsScheduled, 1);
    EXPECT_EQ(game.turn, TURN_IDLE);
}

TEST_F(SessionTest, NewLocalGameClosesTheConnectionAndReopensSetup)
{
    listen();
    nameLocalPlayer(4);
    session.onStartGame();
    pumpFor(100);
    session.newLocalGame();
    pumpFor(50);
    EXPECT_EQ(transport.usedConnections(), 0);
    EXPECT_EQ(ui.setupsScheduled, 1);
    EXPECT_EQ(countCards(game.deck), 52);
    EXPECT_EQ(game.turn, TURN_IDLE);
    for (const Seat& s : game.seats) EXPECT_FALSE(s.inPlay());
}

// A joined process, connected to a fake host made of a listener of ours.
class JoinedSessionTest : public SessionTest {
protected:
    void SetUp() override
    {
        listen();
        hostListener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (hostPort = 4950; hostPort < 4990; ++hostPort) {
            a.sin_port = htons(hostPort);
            if (bind(hostListener, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) break;
        }
        ASSERT_EQ(::listen(hostListener, 4), 0);
        nameLocalPlayer(4);
        game.turn = TURN_IDLE;
        ASSERT_TRUE(session.joinNetworkGame("127.0.0.1", hostPort));
        host = accept(hostListener, nullptr, nullptr);
        ASSERT_NE(host, -1);
        pumpFor(30);
    }
    void TearDown() override
    {
        if (host != -1) ::close(host);
        if (hostListener != -1) ::close(hostListener);
        host = hostListener = -1;
    }
    void hostSends(int32_t type, const uint8_t* body)
    {
        const FramedMessage m = frameMessage(type, body);
        ASSERT_EQ(write(host, m.bytes.data(), m.size), static_cast<ssize_t>(m.size));
        pumpFor(60);
    }
    Seating seatingWith(const WireAddress& own, int seat)
    {
        Seating s;
        const char* names[] = {"Host", "Bea", "Cy", "Di"};
        for (int i = 0; i < 4; ++i) {
            s[i].name = names[i];
            s[i].seat = i;
            s[i].team = i / 2;
        }
        s[seat].addr = own;
        return s;
    }
    WireAddress ownAddr() const
    {
        WireAddress a;
        a.ipv4 = 0x7F000001;
        a.port = transport.listenPort();
        return a;
    }

    // A local game from the setup dialog, the person at this machine playing
    // as the computer would; false when it stalled.
    bool playLocalGameToItsEnd();
    // Seated at seat 3, with Bea's program at seat 1 called and then lost:
    // the host's computer plays her seat.
    void seatUsAndLoseBea();
    // Seated at seat 3, connected to Bea's program at seat 1: its end.
    int seatUsWithBeaBelow();
    // The host says Bea's program comes back from that address.
    void announceReturn(const WireAddress& from);
    // A program that calls us and says it is Bea's.
    int claimBeasSeat();

    int hostListener = -1;
    int host = -1;
    uint16_t hostPort = 0;
};

// The seating a session starts from, whatever the one before left behind.
void expectStartUpSeating(const GameState& game, const std::string& when)
{
    SCOPED_TRACE(when);
    EXPECT_EQ(game.seats[0].kind, LOCAL_HUMAN);
    EXPECT_EQ(game.localSeat, 0);
    EXPECT_EQ(game.tablePosition, (std::array<int32_t, 4>{0, 1, 2, 3}));
    EXPECT_EQ(game.partnerSeat, game.seatCount == 4 ? 1 : -1);
}

bool JoinedSessionTest::playLocalGameToItsEnd()
{
    ComputerStrategy computers;
    game.computers = &computers;
    bool over = false;
    session.setResultRecorder([&over](const GameState&) { over = true; });
    long applied = 0;
    game.afterAction = [&applied](const GameAction&) { ++applied; };
    nameLocalPlayer(4);
    session.onStartGame();
    expectStartUpSeating(game, "local game");

    // The person at this machine plays as the computer would, once for
    // each state of the game, as a click waits for the table to change.
    long actedAt = -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!over && std::chrono::steady_clock::now() < end) {
        poll.runOnce(5);
        const int seat = game.turn;
        if (!game.isSeat(seat) || game.seats[seat].kind != LOCAL_HUMAN || applied == actedAt) continue;
        actedAt = applied;
        if (table.begOn && (mustBeg(game, seat) || computers.begs(game, seat))) {
            table.begOn = false;
            sendBeg(game, seat);
        } else if (const Card* card = computers.cardToPlay(game, seat)) {
            sendPlay(game, seat, card);
        }
    }
    game.computers = nullptr;
    session.setResultRecorder(nullptr);
    game.afterAction = nullptr;
    return over;
}

void JoinedSessionTest::seatUsAndLoseBea()
{
    const int bea = seatUsWithBeaBelow();
    // Her program is lost, and the host's computer takes her seat.
    ::close(bea);
    pumpFor(60);
    hostSends(MSG_ACTION, encodeAction(GameAction{1, NO_CARD, ACTION_TAKEOVER}).data());
    EXPECT_TRUE(game.seats[1].standIn);
}

int JoinedSessionTest::seatUsWithBeaBelow()
{
    // Bea's program sits below us: we call it once seated.
    const int beaListener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    EXPECT_EQ(bind(beaListener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(::listen(beaListener, 4), 0);
    EXPECT_EQ(getsockname(beaListener, reinterpret_cast<sockaddr*>(&a), &size), 0);
    Seating seating = seatingWith(ownAddr(), 3);
    seating[1].addr = WireAddress{0x7F000001, ntohs(a.sin_port)};
    hostSends(MSG_SEATING, encodeSeating(seating).data());
    hostSends(MSG_RULES, encodeRules(game.rules).data());
    const int bea = accept(beaListener, nullptr, nullptr);
    EXPECT_NE(bea, -1);
    ::close(beaListener);
    pumpFor(30);
    return bea;
}

void JoinedSessionTest::announceReturn(const WireAddress& from)
{
    SeatRecord record;
    record.name = "Bea";
    record.seat = 1;
    record.addr = from;
    hostSends(MSG_SEAT_RETURNING, encodeSeatRecord(record).data());
}

int JoinedSessionTest::claimBeasSeat()
{
    const int claimant = connectToHost("127.0.0.1", transport.listenPort());
    SeatRecord record;
    record.name = "Bea";
    record.seat = 1;
    const FramedMessage m = frameMessage(MSG_SEAT, encodeSeatRecord(record).data());
    EXPECT_EQ(write(claimant, m.bytes.data(), m.size), static_cast<ssize_t>(m.size));
    pumpFor(60);
    return claimant;
}

TEST_F(JoinedSessionTest, SeatingWithoutThisMachineIsRefused)
{
    WireAddress elsewhere = ownAddr();
    elsewhere.port = static_cast<uint16_t>(elsewhere.port + 1);
    hostSends(MSG_SEATING, encodeSeating(seatingWith(elsewhere, 3)).data());
    ASSERT_EQ(table.boxes.size(), 1u);
    EXPECT_EQ(table.boxes[0].rfind("Network error: ", 0), 0u);
    EXPECT_EQ(game.sessionMode, MODE_SETUP);
    EXPECT_EQ(transport.usedConnections(), 0);
}

TEST_F(JoinedSessionTest, SeatingTakesTheSeatAndRulesOutsideTheDialogAreRefused)
{
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    EXPECT_EQ(game.localSeat, 3);
    EXPECT_EQ(game.seats[3].kind, LOCAL_HUMAN);
    EXPECT_EQ(game.seats[2].kind, REMOTE);
    EXPECT_EQ(game.tablePosition, (std::array<int32_t, 4>{3, 2, 0, 1}));
    EXPECT_EQ(game.turn, TURN_DEALING);
    RuleSettings odd;
    odd.target = 21;
    hostSends(MSG_RULES, encodeRules(odd).data());
    ASSERT_EQ(table.boxes.size(), 1u);
    EXPECT_NE(game.rules.target, 21);
    EXPECT_EQ(game.sessionMode, MODE_SETUP);
}

TEST_F(JoinedSessionTest, OnlyTheHostMaySeatUs)
{
    const int stranger = connectToHost("127.0.0.1", transport.listenPort());
    ASSERT_NE(stranger, -1);
    pumpFor(50);
    const FramedMessage m = frameMessage(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 1)).data());
    ASSERT_EQ(write(stranger, m.bytes.data(), m.size), static_cast<ssize_t>(m.size));
    pumpFor(60);
    EXPECT_EQ(game.turn, TURN_IDLE);
    EXPECT_EQ(game.localSeat, 0);
    RuleSettings rules;
    rules.target = 7;
    const FramedMessage r = frameMessage(MSG_RULES, encodeRules(rules).data());
    ASSERT_EQ(write(stranger, r.bytes.data(), r.size), static_cast<ssize_t>(r.size));
    pumpFor(60);
    EXPECT_EQ(game.rules.target, 14);
    ::close(stranger);
}

TEST_F(JoinedSessionTest, OnlyTheSessionsOwnConnectionsReportBreakingOff)
{
    const int stranger = connectToHost("127.0.0.1", transport.listenPort());
    ASSERT_NE(stranger, -1);
    pumpFor(40);
    breakOffMidMessage(stranger);
    pumpFor(60);
    EXPECT_TRUE(table.boxes.empty()) << "a stranger's connection to a joiner waiting for its seat";
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    breakOffMidMessage(host);
    host = -1;
    pumpFor(60);
    ASSERT_FALSE(table.boxes.empty()) << "the host's connection";
    EXPECT_EQ(table.boxes.front(), "Network error: Error receiving data.");
}

TEST_F(JoinedSessionTest, AJoinerWaitingForItsSeatSaysSoAndHearsWhenTheHostGoes)
{
    EXPECT_EQ(ui.status, "Waiting for the host at 127.0.0.1 to seat you...");
    ::close(host);
    host = -1;
    pumpFor(60);
    EXPECT_EQ(table.boxes,
              std::vector<std::string>{"Network error: The host closed the connection before seating the players at this machine."});
    EXPECT_EQ(game.sessionMode, MODE_SETUP);
    EXPECT_EQ(ui.status, "");
}

// The host refuses us and closes at once; the box's own event loop reads
// that close, and must not end the session a second time.
TEST_F(JoinedSessionTest, ARefusedJoinOpensOneBox)
{
    const struct {
        int32_t type;
        const char* box;
    } cases[] = {
        {MSG_REJOIN_REFUSED, "Network error: The host's game is under way, and no player who left it was called Ann. Only a "
                             "player who left can join it again, under the same name."},
        {MSG_NAME_TAKEN, "Network error: The host's game already has a player called Ann. Join again under another name."},
    };
    table.modalBoxes = true;
    table.pump = [this] { pumpFor(20); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        if (host == -1) SetUp();
        table.boxes.clear();
        const FramedMessage m = frameMessage(c.type, nullptr);
        ASSERT_EQ(write(host, m.bytes.data(), m.size), static_cast<ssize_t>(m.size));
        ::close(host);
        host = -1;
        pumpFor(60);
        EXPECT_EQ(table.boxes, std::vector<std::string>{c.box});
        EXPECT_EQ(game.sessionMode, MODE_SETUP);
        TearDown();
    }
    table.pump = nullptr;
}

TEST_F(JoinedSessionTest, PeersThatDoNotConnectAreNamedAndTheSessionEnds)
{
    const WireAddress nobody{0x7F000001, 1};
    const struct {
        const char* what;
        int ownSeat;
        std::vector<int> peers;  // seats with a program to connect to
        const char* status;
        const char* box;
    } cases[] = {
        {"peers above never call", 1, {2, 3}, "Waiting for Cy and Di to connect...",
         "Network error: No connection came from Cy and Di in time, so the game cannot start."},
        {"a peer below cannot be reached", 3, {2}, "",
         "Network error: Could not connect to the program of Cy, so the game cannot start."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (host == -1) SetUp();
        table.boxes.clear();
        Seating seating = seatingWith(ownAddr(), c.ownSeat);
        for (int peer : c.peers) seating[peer].addr = nobody;
        hostSends(MSG_SEATING, encodeSeating(seating).data());
        EXPECT_EQ(ui.status, c.status);
        pumpFor(400);
        EXPECT_EQ(table.boxes, std::vector<std::string>{c.box});
        EXPECT_EQ(game.sessionMode, MODE_SETUP);
        EXPECT_EQ(transport.usedConnections(), 0);
        TearDown();
    }
}

TEST_F(JoinedSessionTest, RoundDigestsThatDifferEndTheSessionNamingTheRound)
{
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    hostSends(MSG_RULES, encodeRules(game.rules).data());
    receivedBy(host);  // the ready

    session.roundScored(game);
    pumpFor(30);
    const auto sent = receivedBy(host);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].first.msgType, MSG_DIGEST);
    const RoundDigest mine = decodeRoundDigest(sent[0].second.data());
    EXPECT_EQ(mine.round, 1);
    EXPECT_EQ(mine.digest, sharedDigest(game));
    hostSends(MSG_DIGEST, encodeRoundDigest(mine).data());
    EXPECT_TRUE(table.boxes.empty()) << "the same game after round 1";

    // The host is a round ahead, and its game differs. Bea plays at the
    // host's machine: her seat has no program of its own.
    RoundDigest theirs{2, mine.digest + 1};
    hostSends(MSG_DIGEST, encodeRoundDigest(theirs).data());
    EXPECT_TRUE(table.boxes.empty()) << "nothing to compare with yet";
    session.roundScored(game);
    EXPECT_EQ(table.boxes, std::vector<std::string>{"Network error: After round 2 the game on this table and the game on "
                                                    "Host and Bea's table are no longer the same, so the game cannot go on."});
    EXPECT_EQ(game.sessionMode, MODE_SETUP);
}

// Digests of rounds far off would take the places of those a round ahead
// for good, and a real difference would then go unseen.
TEST_F(JoinedSessionTest, DigestsOfRoundsFarOffAreNotKept)
{
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    hostSends(MSG_RULES, encodeRules(game.rules).data());
    for (int32_t round = 5; round < 25; ++round) hostSends(MSG_DIGEST, encodeRoundDigest(RoundDigest{round, 1}).data());
    hostSends(MSG_DIGEST, encodeRoundDigest(RoundDigest{1, sharedDigest(game) + 1}).data());
    EXPECT_TRUE(table.boxes.empty());
    session.roundScored(game);
    EXPECT_EQ(table.boxes, std::vector<std::string>{"Network error: After round 1 the game on this table and the game on "
                                                    "Host and Bea's table are no longer the same, so the game cannot go on."});
}

TEST_F(JoinedSessionTest, ChatReachesThePeersAndArrivesAsPlainText)
{
    EXPECT_FALSE(session.sendChat("too early")) << "nobody to talk to before the seating";
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    receivedBy(host);

    TextMessage line;
    line.text = "hi\x1b[31m there\n";
    line.from = "Di";
    hostSends(MSG_TEXT, encodeTextMessage(line).data());
    EXPECT_EQ(ui.chat, std::vector<std::string>{"Host and Bea: hi[31m there"})
        << "the seats on the host's connection, not the name it claims";

    const int stranger = connectToHost("127.0.0.1", transport.listenPort());
    pumpFor(30);
    const FramedMessage m = frameMessage(MSG_TEXT, encodeTextMessage(line).data());
    ASSERT_EQ(write(stranger, m.bytes.data(), m.size), static_cast<ssize_t>(m.size));
    pumpFor(60);
    EXPECT_EQ(ui.chat.size(), 1u) << "a stranger's line is not shown";
    ::close(stranger);

    EXPECT_TRUE(session.sendChat("hello\tall"));
    EXPECT_EQ(ui.chat.back(), "Di: helloall");
    pumpFor(30);
    const auto sent = receivedBy(host);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].first.msgType, MSG_TEXT);
    const TextMessage back = decodeTextMessage(sent[0].second.data());
    EXPECT_EQ(back.text, "helloall");
    EXPECT_EQ(back.from, "Di");
}

TEST_F(JoinedSessionTest, APlayerComingBackHearsOurActionsOnlyOnceItsSeatIsBack)
{
    seatUsAndLoseBea();
    announceReturn(WireAddress{0x7F000001, 5999});

    // She starts again and calls us while she catches up from the host.
    const int back = claimBeasSeat();
    receivedBy(host);
    sendAction(game, 3, ACTION_PLAY, nullptr);
    pumpFor(30);
    EXPECT_TRUE(receivedBy(back).empty()) << "before her seat is back the host relays the game to her";
    EXPECT_EQ(receivedBy(host).size(), 1u);

    hostSends(MSG_ACTION, encodeAction(GameAction{1, NO_CARD, ACTION_RETURN}).data());
    ASSERT_FALSE(game.seats[1].standIn);
    sendAction(game, 3, ACTION_PLAY, nullptr);
    pumpFor(30);
    const auto sent = receivedBy(back);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first.msgType, MSG_ACTION);
    EXPECT_TRUE(table.boxes.empty());
    ::close(back);
}

// Only a program the host announced may take a lost player's seat back, and
// only the first to call: the name it gives proves nothing. The host's word
// may be read after the call.
TEST_F(JoinedSessionTest, OnlyAnAnnouncedReturningProgramIsTaken)
{
    enum Announced { NEVER, BEFORE_THE_CALL, AFTER_THE_CALL };
    const struct {
        const char* what;
        Announced announced;
        uint32_t from;
        bool taken;
    } cases[] = {
        {"no announcement", NEVER, 0x7F000001, false},
        {"announced from elsewhere", BEFORE_THE_CALL, 0x0A000005, false},
        {"announced from there", BEFORE_THE_CALL, 0x7F000001, true},
        {"announced from there after the call", AFTER_THE_CALL, 0x7F000001, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (host == -1) SetUp();
        table.boxes.clear();
        seatUsAndLoseBea();
        if (c.announced == BEFORE_THE_CALL) announceReturn(WireAddress{c.from, 5999});
        const int first = claimBeasSeat();
        const int second = claimBeasSeat();
        if (c.announced == AFTER_THE_CALL) announceReturn(WireAddress{c.from, 5999});
        EXPECT_TRUE(closedByPeer(second)) << "a later claimant is a stranger";
        hostSends(MSG_ACTION, encodeAction(GameAction{1, NO_CARD, ACTION_RETURN}).data());
        EXPECT_EQ(closedByPeer(first), !c.taken);
        EXPECT_EQ(game.seats[1].connection != -1, c.taken);
        EXPECT_TRUE(table.boxes.empty());
        ::close(first);
        ::close(second);
        session.newLocalGame();
        TearDown();
    }
}

// Our link to Bea's program breaks while the host keeps its own: no
// takeover may come, and her actions would never reach us.
TEST_F(JoinedSessionTest, ABrokenLinkToAPeerEndsWithAWordUnlessTheHostTakesItsSeat)
{
    SessionWaits waits{300, 300};
    waits.takeover = 300;
    session.setWaits(waits);
    for (const bool takenOver : {true, false}) {
        SCOPED_TRACE(takenOver);
        if (host == -1) SetUp();
        table.boxes.clear();
        ::close(seatUsWithBeaBelow());
        pumpFor(60);
        if (takenOver) hostSends(MSG_ACTION, encodeAction(GameAction{1, NO_CARD, ACTION_TAKEOVER}).data());
        pumpFor(400);
        if (takenOver) {
            EXPECT_TRUE(table.boxes.empty());
            EXPECT_EQ(game.sessionMode, MODE_JOINED);
        } else {
            EXPECT_EQ(table.boxes, std::vector<std::string>{"Network error: The connection to Bea's program was lost "
                                                            "while the host still has it, so the game cannot go on."});
            EXPECT_EQ(game.sessionMode, MODE_SETUP);
        }
        session.newLocalGame();
        TearDown();
    }
}

TEST_F(JoinedSessionTest, AJoinerWhoseHostIsLostMidGameSaysSoAndGoesBackToSetup)
{
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    hostSends(MSG_RULES, encodeRules(game.rules).data());
    GameAction action;
    action.action = ACTION_SET_DEALER;
    hostSends(MSG_ACTION, encodeAction(action).data());
    action.action = ACTION_DEAL;
    for (int card = 0; card < 8; ++card) {
        action.seat = card % 4;
        action.card = card;
        hostSends(MSG_ACTION, encodeAction(action).data());
    }
    ASSERT_EQ(countCards(game.seats[3].hand), 2);
    const int setups = ui.setupsScheduled;

    ::close(host);
    host = -1;
    pumpFor(60);
    EXPECT_EQ(table.boxes,
              std::vector<std::string>{"Network error: Lost connection to Host! Without the host the game cannot go on."});
    EXPECT_EQ(game.sessionMode, MODE_SETUP);
    EXPECT_EQ(ui.setupsScheduled, setups + 1);
    EXPECT_EQ(transport.usedConnections(), 0);
    EXPECT_EQ(game.turn, TURN_IDLE);
    EXPECT_EQ(countCards(game.deck), CARD_COUNT) << "the next game deals from a whole pack";
}

TEST_F(JoinedSessionTest, ALocalGameAfterAJoinedOneIsPlayedToItsEnd)
{
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    ASSERT_EQ(game.localSeat, 3);
    ASSERT_EQ(game.seats[0].kind, REMOTE);
    session.newLocalGame();
    pumpFor(50);

    EXPECT_TRUE(playLocalGameToItsEnd()) << "the local game stalled";
    EXPECT_EQ(ui.setupsScheduled, 2) << "New Local Game, then the end of the game";
}

// A player who joined again is still catching up when the host is lost:
// nothing of that session may hold up the games that follow.
TEST_F(JoinedSessionTest, AfterTheHostIsLostMidCatchUpLocalAndHostedGamesPlay)
{
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 3)).data());
    hostSends(MSG_RULES, encodeRules(game.rules).data());
    ActionBlock block;
    GameAction setDealer;
    setDealer.action = ACTION_SET_DEALER;
    block.push_back(setDealer);
    hostSends(MSG_ACTION_BLOCK, encodeActionBlock(block).data());
    ASSERT_EQ(game.seats[3].kind, REMOTE) << "the host's computer plays our seat until it is back";
    ::close(host);
    host = -1;
    pumpFor(60);
    ASSERT_EQ(game.sessionMode, MODE_SETUP);

    EXPECT_TRUE(playLocalGameToItsEnd()) << "the local game stalled";
    pumpFor(50);

    nameLocalPlayer(2);
    int jo = -1;
    ui.addPlayers = [&] {
        jo = joinAs("Jo");
        return session.addOtherPlayer(slotOf("Jo")) == SEATS_FULL;
    };
    ASSERT_TRUE(session.hostNetworkGame());
    const FramedMessage ready = frameMessage(MSG_READY, nullptr);
    ASSERT_EQ(write(jo, ready.bytes.data(), ready.size), static_cast<ssize_t>(ready.size));
    pumpFor(100);
    EXPECT_NE(game.turn, TURN_IDLE) << "the hosted game started";
    EXPECT_NE(countCards(game.deck), CARD_COUNT) << "and its cards are dealt";
    ::close(jo);
}

TEST_F(JoinedSessionTest, HostingAfterAJoinedGameStartsFromTheStartUpSeating)
{
    hostSends(MSG_SEATING, encodeSeating(seatingWith(ownAddr(), 2)).data());
    ASSERT_EQ(game.localSeat, 2);
    session.newLocalGame();
    pumpFor(50);
    nameLocalPlayer(4);
    ui.addPlayers = [this] {
        expectStartUpSeating(game, "Add Players");
        for (int s = 1; s < 4; ++s) EXPECT_EQ(game.seats[s].connection, -1);
        return false;
    };
    EXPECT_FALSE(session.hostNetworkGame());
}

}  // namespace
