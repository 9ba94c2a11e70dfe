#include "net/invitation.h"

#include <cstring>
#include <set>

#include <gtest/gtest.h>

namespace {

TEST(Invitation, NewCodesAreTwoGroupsOfFourFromTheAlphabet)
{
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const std::string code = newInvitationCode();
        ASSERT_EQ(code.size(), 9u) << code;
        EXPECT_EQ(code[4], '-') << code;
        for (size_t k = 0; k < code.size(); ++k) {
            if (k == 4) continue;
            EXPECT_NE(std::strchr(INVITATION_ALPHABET, code[k]), nullptr) << code;
        }
        EXPECT_EQ(normalizeInvitationCode(code), code);
        seen.insert(code);
    }
    // 40 bits: two hundred codes meet by chance about once in 10^8.
    EXPECT_EQ(seen.size(), 200u);
}

TEST(Invitation, TheJoinFieldTellsAHostFromACode)
{
    struct Case {
        const char* text;
        const char* host;   // "" for a code
        const char* code;   // "" for a host
        const char* relay;  // "" when the settings name it
    };
    const Case cases[] = {
        {"192.168.1.20", "192.168.1.20", "", ""},
        {"  parlour  ", "parlour", "", ""},
        {"K7QX-M9TA", "", "K7QX-M9TA", ""},
        {"k7qx m9ta", "", "K7QX-M9TA", ""},
        {"k7qxm9ta", "", "K7QX-M9TA", ""},
        {"K7QX-M9TA@relay.example.org:4001", "", "K7QX-M9TA", "relay.example.org:4001"},
        {"k7qx-m9ta@10.0.0.5", "", "K7QX-M9TA", "10.0.0.5:4001"},
        {"K7QX-M9TA@127.0.0.1:65535", "", "K7QX-M9TA", "127.0.0.1:65535"},
        // Look-alikes are not in the alphabet, so this is a host name.
        {"K7QX-M0TA", "K7QX-M0TA", "", ""},
        {"game-desk", "", "GAME-DESK", ""},
        {"game-desk.", "game-desk.", "", ""},
        {"K7QX-M9TAB", "K7QX-M9TAB", "", ""},
        {"K7Q-XM9TA", "K7Q-XM9TA", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto target = parseJoinField(c.text);
        ASSERT_TRUE(target);
        EXPECT_EQ(target->host, c.host);
        EXPECT_EQ(target->code.value_or(""), c.code);
        EXPECT_EQ(target->relay ? relayText(*target->relay) : "", c.relay);
    }
    for (const char* bad : {"", "   ", "K7QX-M9TA@", "K7QX-M9TA@relay:0", "K7QX-M9TA@relay:65536", "K7QX-M9TA@relay:port",
                            "K7QX-M9TA@:4001", "K7QX-M0TA@relay:4001", "K7QX-M9TA@a b:4001"}) {
        EXPECT_FALSE(parseJoinField(bad)) << bad;
    }
}

TEST(Invitation, RelaySettingTakesHostAndPort)
{
    EXPECT_EQ(relayText(*parseRelayAddress("relay.example.org:4001")), "relay.example.org:4001");
    EXPECT_EQ(relayText(*parseRelayAddress(" relay.example.org ")), "relay.example.org:4001");
    for (const char* bad : {"", ":4001", "relay:", "relay:99999", "relay:-1", "re lay:4001"})
        EXPECT_FALSE(parseRelayAddress(bad)) << bad;
}

TEST(Invitation, BothEndsDeriveTheSameSecretsAndOtherCodesOthers)
{
    const auto a = deriveInvitationSecrets("K7QX-M9TA");
    const auto again = deriveInvitationSecrets("K7QX-M9TA");
    const auto other = deriveInvitationSecrets("K7QX-M9TB");
    ASSERT_TRUE(a && again && other);
    EXPECT_EQ(a->token.size(), 64u);
    EXPECT_EQ(a->hostSide.size(), 16u);
    EXPECT_EQ(a->token.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(a->token, again->token);
    EXPECT_EQ(a->hostToJoiner, again->hostToJoiner);
    EXPECT_EQ(a->joinerToHost, again->joinerToHost);
    EXPECT_NE(a->hostSide, a->joinerSide);
    EXPECT_NE(a->hostToJoiner, a->joinerToHost);
    EXPECT_NE(a->token, other->token);
    EXPECT_NE(a->hostToJoiner, other->hostToJoiner);
}

TEST(Invitation, EachConnectionHasKeysOfItsOwn)
{
    const InvitationKey direction{1, 2, 3};
    const RelaySalt host = newRelaySalt();
    const RelaySalt joiner = newRelaySalt();
    EXPECT_EQ(connectionKey(direction, host, joiner), connectionKey(direction, host, joiner));
    EXPECT_NE(connectionKey(direction, host, joiner), connectionKey(direction, host, newRelaySalt()));
    EXPECT_NE(connectionKey(direction, host, joiner), connectionKey(direction, joiner, host));
}

}  // namespace
