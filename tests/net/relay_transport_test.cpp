// Transports that reach each other only through a real relay.
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/poll_loop.h"
#include "net/transport.h"
#include "tests/net/net_harness.h"
#include "tests/net/test_relay.h"

namespace {

const InvitationSecrets& secrets()
{
    static const InvitationSecrets derived = *deriveInvitationSecrets("K7QX-M9TA");
    return derived;
}

class RelayHandler : public ActionApplier {
public:
    using ActionApplier::ActionApplier;
    void onAccepted(int slot) override { accepted.push_back(slot); }
    void onClosed(int slot) override { closed.push_back(slot); }
    void onJoin(int slot, const JoinRecord& r) override { joins.push_back(r.name + "@" + std::to_string(slot)); }
    void onRelayJoined(int slot) override { joined = slot; }
    void onRelayFailed(const std::string& why) override { failures.push_back(why); }
    std::vector<int> accepted;
    std::vector<int> closed;
    std::vector<std::string> joins;
    std::vector<std::string> failures;
    int joined = -2;
};

// A process: its game, transport and loop.
struct Process {
    Process() : handler(game)
    {
        game.table = &table;
        game.sessionMode = MODE_HOSTING;
        transport.setHandler(&handler);
        loop.attach(transport);
    }
    GameState game;
    QuietTable table;
    PollLoop loop;
    Transport transport{loop, game};
    RelayHandler handler;
};

class RelayTransportTest : public ::testing::Test {
protected:
    bool runUntil(const std::function<bool()>& done, int ms = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done() && std::chrono::steady_clock::now() < end)
            for (auto& p : processes) p->loop.runOnce(5);
        return done();
    }
    Process& add()
    {
        processes.push_back(std::make_unique<Process>());
        return *processes.back();
    }
    // A joiner paired with host, and its slot in the host.
    std::pair<Process*, int> join(Process& host, const RelayAddress& relay, const std::string& name)
    {
        Process& j = add();
        const size_t before = host.handler.accepted.size();
        EXPECT_TRUE(j.transport.joinThroughRelay(relay, secrets()));
        EXPECT_TRUE(runUntil([&] { return j.handler.joined >= 0 && host.handler.accepted.size() > before; }));
        JoinRecord record;
        record.name = name;
        j.transport.sendJoin(j.handler.joined, record);
        return {&j, host.handler.accepted.empty() ? -1 : host.handler.accepted.back()};
    }
    std::vector<std::unique_ptr<Process>> processes;
};

TEST_F(RelayTransportTest, JoinersPairWithTheHostOneAfterAnotherAndTalkSealed)
{
    REQUIRE_TEST_RELAY(relay);
    Process& host = add();
    ASSERT_TRUE(host.transport.inviteThroughRelay(*relay, secrets()));
    const auto [ann, annSlot] = join(host, *relay, "Ann");
    const auto [bo, boSlot] = join(host, *relay, "Bo");
    ASSERT_TRUE(runUntil([&] { return host.handler.joins.size() == 2; }));
    EXPECT_EQ(host.handler.joins, (std::vector<std::string>{"Ann@" + std::to_string(annSlot), "Bo@" + std::to_string(boSlot)}));
    EXPECT_TRUE(host.transport.isSealed(annSlot));
    EXPECT_TRUE(ann->transport.isSealed(ann->handler.joined));
    // Still waiting for the next one.
    EXPECT_TRUE(host.transport.relayWaiting());

    for (int i = 0; i < 40; ++i) {
        GameAction a;
        a.seat = i % 4;
        a.card = i;
        a.action = ACTION_DEAL;
        host.transport.sendActionMessage(annSlot, a);
        host.transport.sendActionMessage(boSlot, a);
    }
    ASSERT_TRUE(runUntil([&] { return ann->handler.applied == 40 && bo->handler.applied == 40; }));
    EXPECT_TRUE(host.table.boxes.empty());
}

// Someone who learned the token (the relay sees it) but has no key.
TEST_F(RelayTransportTest, AStrangerWithTheTokenIsClosedWithoutAWordAndTheNextJoinerComesIn)
{
    REQUIRE_TEST_RELAY(relay);
    Process& host = add();
    ASSERT_TRUE(host.transport.inviteThroughRelay(*relay, secrets()));
    // The host's connection reaches the relay and waits there.
    runUntil([] { return false; }, 300);
    const int stranger = connectToHost(relay->host, relay->port);
    ASSERT_GE(stranger, 0);
    const std::string request = relayRequest(secrets(), RelaySide::JOINER);
    ::send(stranger, request.data(), request.size(), MSG_NOSIGNAL);
    char ok[3] = {};
    ASSERT_EQ(::recv(stranger, ok, sizeof ok, MSG_WAITALL), 3);
    std::vector<uint8_t> junk(RELAY_SALT_SIZE, 7);
    // A record of the right shape, sealed with a key of its own.
    SealedStream own{InvitationKey{9}, InvitationKey{9}};
    const uint8_t ready[MSG_HEADER_SIZE] = {};
    const SealedRecord r = own.seal(ready, sizeof ready);
    junk.insert(junk.end(), r.bytes.begin(), r.bytes.begin() + r.size);
    ::send(stranger, junk.data(), junk.size(), MSG_NOSIGNAL);
    ASSERT_TRUE(runUntil([&] { return host.handler.accepted.size() == 1; }));
    const int slot = host.handler.accepted.front();
    ASSERT_TRUE(runUntil([&] { return !host.transport.isOpen(slot); }));
    EXPECT_TRUE(host.handler.joins.empty());
    EXPECT_TRUE(host.table.boxes.empty());
    ::close(stranger);

    const auto [ann, annSlot] = join(host, *relay, "Ann");
    EXPECT_TRUE(runUntil([&] { return host.handler.joins.size() == 1; }));
    EXPECT_GE(annSlot, 0);
}

TEST_F(RelayTransportTest, ARelayThatCannotBeReachedIsNamed)
{
    // A port that was free a moment ago.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t size = sizeof sa;
    getsockname(s, reinterpret_cast<sockaddr*>(&sa), &size);
    ::close(s);
    const RelayAddress nowhere{"127.0.0.1", ntohs(sa.sin_port)};
    // The connect runs in the event loop; its failure comes from there.
    for (bool host : {true, false}) {
        Process& p = add();
        ASSERT_TRUE(host ? p.transport.inviteThroughRelay(nowhere, secrets()) : p.transport.joinThroughRelay(nowhere, secrets()));
        EXPECT_TRUE(runUntil([&] { return !p.handler.failures.empty(); }));
        EXPECT_EQ(p.handler.failures, std::vector<std::string>{relayUnreachableText(nowhere)});
        EXPECT_FALSE(p.transport.relayWaiting());
    }
    // A name that resolves to nothing fails at once.
    Process& p = add();
    EXPECT_FALSE(p.transport.joinThroughRelay(RelayAddress{"no-such-host.invalid", 4001}, secrets()));
    EXPECT_EQ(p.transport.relayError(), relayUnreachableText(RelayAddress{"no-such-host.invalid", 4001}));
}

TEST_F(RelayTransportTest, TheHostLeavingClosesTheJoinersConnection)
{
    REQUIRE_TEST_RELAY(relay);
    Process& host = add();
    ASSERT_TRUE(host.transport.inviteThroughRelay(*relay, secrets()));
    const auto [ann, annSlot] = join(host, *relay, "Ann");
    ASSERT_GE(annSlot, 0);
    host.transport.sendReady(annSlot);
    ASSERT_TRUE(runUntil([&] { return ann->handler.sessionMessages == 1; }));
    host.transport.stopRelay();
    host.transport.closeAllConnections();
    EXPECT_TRUE(runUntil([&] { return !ann->transport.isOpen(ann->handler.joined); }));
}

}  // namespace
