#include "net/relay_client.h"

#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/transport.h"
#include "tests/net/test_relay.h"

namespace {

using Step = RelayHandshake::Step;

const InvitationSecrets& secretsOf(const std::string& code)
{
    static std::map<std::string, InvitationSecrets> derived;
    auto it = derived.find(code);
    if (it == derived.end()) it = derived.emplace(code, *deriveInvitationSecrets(code)).first;
    return it->second;
}

int nonBlocking(int socket)
{
    fcntl(socket, F_SETFL, fcntl(socket, F_GETFL, 0) | O_NONBLOCK);
    return socket;
}

// One end of an invitation at the relay.
struct End {
    End(const RelayAddress& relay, const std::string& code, RelaySide side)
        : socket(nonBlocking(connectToHost(relay.host, relay.port))), handshake(socket, secretsOf(code), side)
    {
        handshake.start();
    }
    ~End() { ::close(socket); }
    int socket;
    RelayHandshake handshake;
};

// Reports readiness to the ends until each is done or ms have passed.
void pump(const std::vector<End*>& ends, int ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        std::vector<pollfd> fds;
        for (End* e : ends)
            if (e->handshake.step() == Step::WAITING) fds.push_back(pollfd{e->socket, POLLIN, 0});
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (fds.empty() || left.count() <= 0) return;
        ::poll(fds.data(), fds.size(), static_cast<int>(left.count()));
        for (End* e : ends)
            if (e->handshake.step() == Step::WAITING) e->handshake.onReadable();
    }
}

void sendRecord(int socket, SealedStream& stream, const std::string& text)
{
    const SealedRecord r = stream.seal(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    ASSERT_EQ(::send(socket, r.bytes.data(), r.size, MSG_NOSIGNAL), static_cast<ssize_t>(r.size));
}

std::optional<std::string> receiveRecord(int socket, SealedStream& stream)
{
    std::vector<uint8_t> bytes;
    pollfd p{socket, POLLIN, 0};
    while (bytes.size() < SEALED_LENGTH_SIZE ||
           bytes.size() < SEALED_LENGTH_SIZE + SealedStream::sealedLength(bytes.data())) {
        if (::poll(&p, 1, 2000) <= 0) return std::nullopt;
        uint8_t byte;
        if (::recv(socket, &byte, 1, 0) != 1) return std::nullopt;
        bytes.push_back(byte);
        if (bytes.size() == SEALED_LENGTH_SIZE && SealedStream::sealedLength(bytes.data()) == 0) return std::nullopt;
    }
    std::array<uint8_t, SEALED_PLAIN_MAX> plain{};
    const auto size = stream.open(bytes.data(), bytes.data() + SEALED_LENGTH_SIZE, bytes.size() - SEALED_LENGTH_SIZE, plain.data());
    if (!size) return std::nullopt;
    return std::string(plain.begin(), plain.begin() + *size);
}

TEST(RelayClient, TheRequestIsTheRelaysLine)
{
    const InvitationSecrets& s = secretsOf("K7QX-M9TA");
    EXPECT_EQ(relayRequest(s, RelaySide::HOST), "please relay " + s.token + " for side " + s.hostSide + "\n");
    EXPECT_EQ(relayRequest(s, RelaySide::JOINER), "please relay " + s.token + " for side " + s.joinerSide + "\n");
    const RelayAddress relay{"relay.example.org", 4001};
    for (const std::string& text : {relayUnreachableText(relay), relayClosedText(relay), relayRefusedText(relay), relayNoPartnerText(relay)})
        EXPECT_NE(text.find("relay.example.org:4001"), std::string::npos) << text;
}

TEST(RelayClient, HostAndJoinerArePairedAndSealBothWays)
{
    REQUIRE_TEST_RELAY(relay);
    End host(*relay, "K7QX-M9TA", RelaySide::HOST);
    pump({&host}, 200);
    EXPECT_EQ(host.handshake.step(), Step::WAITING);
    EXPECT_FALSE(host.handshake.paired());
    End joiner(*relay, "K7QX-M9TA", RelaySide::JOINER);
    pump({&host, &joiner}, 5000);
    ASSERT_EQ(host.handshake.step(), Step::READY);
    ASSERT_EQ(joiner.handshake.step(), Step::READY);
    SealedStream h = host.handshake.stream();
    SealedStream j = joiner.handshake.stream();
    sendRecord(joiner.socket, j, "join");
    sendRecord(joiner.socket, j, "ready");
    EXPECT_EQ(receiveRecord(host.socket, h), "join");
    EXPECT_EQ(receiveRecord(host.socket, h), "ready");
    sendRecord(host.socket, h, "seating");
    EXPECT_EQ(receiveRecord(joiner.socket, j), "seating");
}

// A recording of one pairing opens on no other, though the code is the same.
TEST(RelayClient, EachPairingHasItsOwnKeys)
{
    REQUIRE_TEST_RELAY(relay);
    std::vector<SealedStream> hosts;
    std::vector<SealedStream> joiners;
    for (int i = 0; i < 2; ++i) {
        End host(*relay, "K7QX-M9TA", RelaySide::HOST);
        End joiner(*relay, "K7QX-M9TA", RelaySide::JOINER);
        pump({&host, &joiner}, 5000);
        ASSERT_EQ(joiner.handshake.step(), Step::READY);
        hosts.push_back(host.handshake.stream());
        joiners.push_back(joiner.handshake.stream());
    }
    const SealedRecord r = joiners[0].seal(reinterpret_cast<const uint8_t*>("join"), 4);
    std::array<uint8_t, SEALED_PLAIN_MAX> plain{};
    EXPECT_FALSE(hosts[1].open(r.bytes.data(), r.bytes.data() + 2, r.size - 2, plain.data()));
    EXPECT_TRUE(hosts[0].open(r.bytes.data(), r.bytes.data() + 2, r.size - 2, plain.data()));
}

TEST(RelayClient, JoinersAreNeverPairedWithEachOtherNorWithAnotherCode)
{
    REQUIRE_TEST_RELAY(relay);
    End first(*relay, "ABCD-EFGH", RelaySide::JOINER);
    End second(*relay, "ABCD-EFGH", RelaySide::JOINER);
    End otherHost(*relay, "ABCD-EFGJ", RelaySide::HOST);
    pump({&first, &second, &otherHost}, 500);
    for (End* e : {&first, &second, &otherHost}) {
        EXPECT_EQ(e->handshake.step(), Step::WAITING);
        EXPECT_FALSE(e->handshake.paired());
    }
    // The host pairs one of them; the relay sends the other away.
    End host(*relay, "ABCD-EFGH", RelaySide::HOST);
    pump({&first, &second, &host}, 5000);
    EXPECT_EQ(host.handshake.step(), Step::READY);
    const int ready = (first.handshake.step() == Step::READY) + (second.handshake.step() == Step::READY);
    const int closed = (first.handshake.step() == Step::CLOSED) + (second.handshake.step() == Step::CLOSED);
    EXPECT_EQ(ready, 1);
    EXPECT_EQ(closed, 1);
}

// Something that is not a relay at the relay's address.
TEST(RelayClient, AServerThatIsNoRelayIsTold)
{
    struct Case {
        const char* reply;  // nullptr: closes without a word
        Step step;
    };
    const Case cases[] = {{"HTTP/1.1 400 Bad Request\r\n", Step::REFUSED}, {"bad handshake\n", Step::REFUSED}, {"o", Step::CLOSED}, {nullptr, Step::CLOSED}};
    for (const Case& c : cases) {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
        ASSERT_EQ(::listen(listener, 1), 0);
        socklen_t size = sizeof sa;
        getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &size);
        End end(RelayAddress{"127.0.0.1", ntohs(sa.sin_port)}, "K7QX-M9TA", RelaySide::JOINER);
        const int server = ::accept(listener, nullptr, nullptr);
        if (c.reply) ::send(server, c.reply, strlen(c.reply), MSG_NOSIGNAL);
        ::close(server);
        pump({&end}, 2000);
        EXPECT_EQ(end.handshake.step(), c.step) << (c.reply ? c.reply : "(closed)");
        ::close(listener);
    }
}

}  // namespace
