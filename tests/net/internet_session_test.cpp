// Whole internet games through a real relay: four machines, each its own
// game, transport and session, reach one another only through the relay.
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "engine/digest.h"
#include "engine/tricks.h"
#include "net/poll_loop.h"
#include "net/session.h"
#include "players/computer.h"
#include "tests/net/net_harness.h"
#include "tests/net/test_relay.h"

namespace {

// One machine. Its people play the first card they may when their turn
// comes; its computers are the host's.
struct Machine : public SessionUi {
    explicit Machine(const std::string& name) : transport(poll, game), session(game, transport, *this)
    {
        initGame(game);
        game.table = &table;
        game.outbox = &transport;
        game.hooks = &session;
        game.computers = &computers;
        poll.attach(transport);
        transport.setHandler(&session);
        transport.openListener(0);
        SessionWaits waits{3000, 5000};
        waits.relay = 1500;
        session.setWaits(waits);
        game.afterAction = [this](const GameAction&) { digests.push_back(sharedDigest(game)); };
        setSeatName(game.seats[0], name);
        game.seatCount = 4;
        game.localPlayers = 1;
        game.sessionMode = MODE_SETUP;
    }

    void scheduleSetupDialog() override { backToSetup = true; }
    void relayoutTable() override {}
    bool runAddPlayers() override { return addPlayers ? addPlayers() : false; }
    void listJoiner(int slot) override { listed.push_back(slot); }
    void unlistJoiner(int slot) override { listed.erase(std::remove(listed.begin(), listed.end(), slot), listed.end()); }
    void showStatus(const std::string& text) override { status = text; }
    void showChatLine(const std::string& from, const std::string& text) override { chat.push_back(from + ": " + text); }
    void startWait(int ms) override
    {
        poll.startTimer(ms, [this] { session.waitOver(); });
    }
    void stopWait() override { poll.stopTimer(); }

    void actAsPerson()
    {
        const int seat = game.turn;
        if (!game.isSeat(seat) || game.seats[seat].kind != LOCAL_HUMAN || digests.size() == actedAt) return;
        for (const Card* card = game.seats[seat].hand; card; card = card->next) {
            if (!isLegalPlay(game, seat, card)) continue;
            actedAt = digests.size();
            sendPlay(game, seat, card);
            return;
        }
    }

    GameState game;
    QuietTable table;
    PollLoop poll;
    Transport transport;
    Session session;
    ComputerStrategy computers;
    std::vector<int> listed;
    std::function<bool()> addPlayers;
    std::string status;
    std::vector<std::string> chat;
    std::vector<uint64_t> digests;
    size_t actedAt = SIZE_MAX;
    bool backToSetup = false;
};

class InternetSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        relay = testRelay();
        if (!relay) GTEST_SKIP() << "no test relay: run through ctest (the relay fixture)";
        host = std::make_unique<Machine>("Ann");
    }

    std::vector<Machine*> all() const
    {
        std::vector<Machine*> machines;
        if (host) machines.push_back(host.get());
        for (const auto& j : joiners)
            if (j) machines.push_back(j.get());
        return machines;
    }
    void pumpAll()
    {
        for (Machine* m : all()) m->poll.runOnce(1);
        for (Machine* m : all()) m->actAsPerson();
    }
    bool runUntil(const std::function<bool()>& done, int ms = 10000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done() && std::chrono::steady_clock::now() < end) pumpAll();
        return done();
    }
    Machine& addJoiner(const std::string& name)
    {
        joiners.push_back(std::make_unique<Machine>(name));
        return *joiners.back();
    }
    // Every copy applied the same game, action for action, as far as each got.
    void expectOneGame() const
    {
        for (Machine* m : all()) {
            const size_t common = std::min(m->digests.size(), host->digests.size());
            EXPECT_TRUE(std::equal(m->digests.begin(), m->digests.begin() + common, host->digests.begin()))
                << m->game.seats[0].name;
        }
    }
    // The host invites; Bo, Cy and Di join by its code and are seated, Bo on
    // the host's team. Returns once every copy has applied some of the deal.
    void startFourMachineGame()
    {
        host->addPlayers = [this] {
            for (const char* name : {"Bo", "Cy", "Di"}) {
                Machine& j = addJoiner(name);
                EXPECT_TRUE(j.session.joinByInvitation(host->session.invitationCode(), *relay)) << j.session.relayError();
            }
            if (!runUntil([this] { return host->listed.size() == 3; })) return false;
            // Listed as the relay paired them, which need not be the order they joined.
            const auto slotOf = [this](const std::string& name) {
                for (int slot : host->listed)
                    if (host->session.joinerText(slot) == name + " (internet)") return slot;
                return -1;
            };
            EXPECT_EQ(host->session.addTeamPlayer(slotOf("Bo")), SEATED);
            EXPECT_EQ(host->session.addOtherPlayer(slotOf("Cy")), SEATED);
            return host->session.addOtherPlayer(slotOf("Di")) == SEATS_FULL;
        };
        ASSERT_TRUE(host->session.hostInternetGame(*relay)) << host->table.boxes.front();
        ASSERT_TRUE(runUntil([this] {
            for (Machine* m : all())
                if (m->digests.size() < 20) return false;
            return true;
        }));
    }

    std::optional<RelayAddress> relay;
    std::unique_ptr<Machine> host;
    std::vector<std::unique_ptr<Machine>> joiners;
};

TEST_F(InternetSessionTest, FourMachinesPlayOneGameInTheHostsOrderThroughTheRelay)
{
    startFourMachineGame();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(host->session.invitationCode().size(), 9u);
    EXPECT_EQ(host->session.invitationText(), host->session.invitationCode() + "@" + relayText(*relay));
    // Seated where the host said, with the host's rules.
    EXPECT_EQ(joiners[0]->game.localSeat, 1);
    EXPECT_EQ(joiners[0]->game.seats[0].name, "Ann");
    EXPECT_EQ(joiners[2]->game.seats[joiners[2]->game.localSeat].name, "Di");
    // Play goes on for a few tricks; no joiner calls another.
    ASSERT_TRUE(runUntil([this] { return host->game.trickCount >= 3 || host->digests.size() > 90; }));
    for (size_t i = 0; i < joiners.size(); ++i) {
        Machine& j = *joiners[i];
        int sealed = 0;
        for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot) sealed += j.transport.isSealed(slot);
        EXPECT_EQ(sealed, 1) << j.game.seats[0].name << ": the host's connection only";
        EXPECT_TRUE(j.table.boxes.empty()) << j.table.boxes.front();
    }
    EXPECT_TRUE(host->table.boxes.empty()) << host->table.boxes.front();
    expectOneGame();

    // Chat: a joiner's line goes to the host and through it to the others.
    ASSERT_TRUE(joiners[1]->session.sendChat("good luck"));
    ASSERT_TRUE(runUntil([this] {
        for (Machine* m : all())
            if (m->chat.empty()) return false;
        return true;
    }));
    for (Machine* m : all()) EXPECT_EQ(m->chat, std::vector<std::string>{"Cy: good luck"}) << m->game.seats[0].name;
}

// The host waits at the relay under its code; a joiner typed another.
TEST_F(InternetSessionTest, AWrongCodeFindsNoGameAndSaysSoAfterTheWait)
{
    host->addPlayers = [this] {
        Machine& lost = addJoiner("Bo");
        std::string code = host->session.invitationCode();
        code[0] = code[0] == 'A' ? 'B' : 'A';
        EXPECT_TRUE(lost.session.joinByInvitation(code, *relay));
        EXPECT_NE(lost.status.find(relayText(*relay)), std::string::npos);
        EXPECT_TRUE(runUntil([&] { return lost.backToSetup; }, 5000));
        EXPECT_EQ(lost.table.boxes, std::vector<std::string>{"Network error: " + relayNoPartnerText(*relay)});
        EXPECT_EQ(lost.game.sessionMode, MODE_SETUP);
        EXPECT_TRUE(host->listed.empty());
        return false;
    };
    EXPECT_FALSE(host->session.hostInternetGame(*relay));
}

// The host is told while Add Players is open (LAN joiners may still come);
// the joiner is told and goes back to the setup.
TEST_F(InternetSessionTest, ARelayThatCannotBeReachedIsNamed)
{
    const RelayAddress nowhere{"127.0.0.1", 1};
    host->addPlayers = [this] { return runUntil([this] { return !host->table.boxes.empty(); }) && false; };
    EXPECT_FALSE(host->session.hostInternetGame(nowhere));
    EXPECT_EQ(host->table.boxes, std::vector<std::string>{"Network error: " + relayUnreachableText(nowhere) +
                                                          " Nobody more can join with the invitation."});
    Machine& j = addJoiner("Bo");
    ASSERT_TRUE(j.session.joinByInvitation("K7QX-M9TA", nowhere));
    ASSERT_TRUE(runUntil([&] { return j.backToSetup; }));
    EXPECT_EQ(j.table.boxes, std::vector<std::string>{"Network error: " + relayUnreachableText(nowhere)});
    EXPECT_EQ(j.game.sessionMode, MODE_SETUP);
}

// Someone who has the token (the relay sees it) but not the key: closed
// without a word, never listed, and a real joiner still comes in.
TEST_F(InternetSessionTest, AStrangerWithTheTokenIsNeverListed)
{
    host->addPlayers = [this] {
        const auto secrets = deriveInvitationSecrets(host->session.invitationCode());
        // The host's connection reaches the relay and waits there.
        runUntil([] { return false; }, 300);
        const int stranger = connectToHost(relay->host, relay->port);
        const std::string request = relayRequest(*secrets, RelaySide::JOINER);
        ::send(stranger, request.data(), request.size(), MSG_NOSIGNAL);
        char ok[3];
        EXPECT_EQ(::recv(stranger, ok, sizeof ok, MSG_WAITALL), 3);
        JoinRecord join;
        join.name = "Mallory";
        const FramedMessage m = frameMessage(MSG_JOIN, encodeJoinRecord(join).data());
        std::vector<uint8_t> bytes(RELAY_SALT_SIZE, 0);
        SealedStream guess{secrets->joinerToHost, secrets->hostToJoiner};
        const SealedRecord r = guess.seal(m.bytes.data(), m.size);
        bytes.insert(bytes.end(), r.bytes.begin(), r.bytes.begin() + r.size);
        ::send(stranger, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        runUntil([] { return false; }, 300);
        ::close(stranger);
        EXPECT_TRUE(host->listed.empty());
        Machine& bo = addJoiner("Bo");
        EXPECT_TRUE(bo.session.joinByInvitation(host->session.invitationCode(), *relay));
        EXPECT_TRUE(runUntil([this] { return host->listed.size() == 1; }));
        return false;
    };
    host->session.hostInternetGame(*relay);
    EXPECT_TRUE(host->table.boxes.empty()) << host->table.boxes.front();
}

TEST_F(InternetSessionTest, ALostJoinerComesBackByTheCodeAndTheHostsLossEndsTheGame)
{
    startFourMachineGame();
    ASSERT_FALSE(HasFatalFailure());
    const std::string code = host->session.invitationCode();
    // Cy's program goes; the host's computer plays on in Cy's seat.
    const int cySeat = joiners[1]->game.localSeat;
    joiners[1].reset();
    ASSERT_TRUE(runUntil([&] { return host->game.seats[cySeat].standIn; }));
    const size_t before = host->digests.size();
    ASSERT_TRUE(runUntil([&] { return host->digests.size() > before + 8; }));
    for (Machine* m : all()) EXPECT_TRUE(m->table.boxes.empty()) << m->table.boxes.front();

    Machine& back = addJoiner("Cy");
    ASSERT_TRUE(back.session.joinByInvitation(code, *relay));
    ASSERT_TRUE(runUntil([&] { return !host->game.seats[cySeat].standIn && back.game.seats[cySeat].kind == LOCAL_HUMAN; }));
    ASSERT_TRUE(runUntil([&] { return back.digests.size() > host->digests.size() - 2 && back.digests.size() > before + 12; }));
    expectOneGame();

    // The host's program goes: every joiner is told and goes back to setup.
    host.reset();
    ASSERT_TRUE(runUntil([this] {
        for (Machine* m : all())
            if (!m->backToSetup) return false;
        return true;
    }));
    for (Machine* m : all()) {
        ASSERT_FALSE(m->table.boxes.empty());
        EXPECT_EQ(m->table.boxes.back(), "Network error: Lost connection to Ann through the relay " + relayText(*relay) +
                                             "! Without the host the game cannot go on.");
        EXPECT_EQ(m->game.sessionMode, MODE_SETUP);
    }
}

}  // namespace
