// The session over real loopback sockets: who may change the game, the
// local game's first deal, and what a joined process refuses.
#include <chrono>
#include <cstdlib>
#include <set>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "net/poll_loop.h"
#include "net/session.h"
#include "tests/net/net_harness.h"

namespace {

class TestUi : public SessionUi {
public:
    void scheduleSetupDialog() override { ++setupsScheduled; }
    void relayoutTable() override {}
    bool runAddPlayers() override { return false; }
    void listJoiner(int slot) override { listed.push_back(slot); }
    void unlistJoiner(int) override {}
    int setupsScheduled = 0;
    std::vector<int> listed;
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
    }
    void listen() { ASSERT_NE(transport.openListener(4900), -1); }
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
    }
    void TearDown() override
    {
        ::close(host);
        ::close(hostListener);
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

    int hostListener = -1;
    int host = -1;
    uint16_t hostPort = 0;
};

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

}  // namespace
