// An invitation to an internet game: the code a host hands to its friends,
// what a joiner may type in the Join field, and the relay token and keys
// that both ends derive from the code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Digits and capitals without the ones read one for another (0 O, 1 I):
// 32 symbols, 5 bits each.
constexpr char INVITATION_ALPHABET[] = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
constexpr int INVITATION_GROUP = 4;
// The relay package's own default port.
constexpr uint16_t RELAY_DEFAULT_PORT = 4001;
constexpr size_t INVITATION_KEY_SIZE = 32;

// Eight symbols from the system's random source (40 bits), "K7QX-M9TA".
std::string newInvitationCode();
// The code in its written form, or none: case and a space or no
// separator in place of the hyphen are forgiven, any other character is not.
std::optional<std::string> normalizeInvitationCode(const std::string& text);

struct RelayAddress {
    std::string host;
    uint16_t port = RELAY_DEFAULT_PORT;
};
// "host:port" or "host"; none for an empty host or a bad port.
std::optional<RelayAddress> parseRelayAddress(const std::string& text);
std::string relayText(const RelayAddress& relay);

// What the Join field holds: a host on this network, or a code with the
// relay named after it or taken from the settings (relay empty).
struct JoinTarget {
    std::string host;  // a LAN game when no code
    std::optional<std::string> code;
    std::optional<RelayAddress> relay;
};
// None for text that is neither (empty, or code@ with a bad relay).
std::optional<JoinTarget> parseJoinField(const std::string& text);

using InvitationKey = std::array<uint8_t, INVITATION_KEY_SIZE>;

// Both ends of an invitation derive the same secrets from its code. The
// derivation is deliberately slow (a memory-hard hash), since the relay
// sees the token and could otherwise try every code against it.
struct InvitationSecrets {
    std::string token;       // 64 hex digits: pairs host and joiner at the relay
    std::string hostSide;    // 16 hex digits each; joiners share one side so
    std::string joinerSide;  // the relay never pairs two joiners
    InvitationKey hostToJoiner{};
    InvitationKey joinerToHost{};
};
// None only when the system cannot spare the memory the hash needs.
std::optional<InvitationSecrets> deriveInvitationSecrets(const std::string& code);

// The keys of one connection, from the direction's key and both ends'
// salts, so that a recording of one connection opens on no other.
constexpr size_t RELAY_SALT_SIZE = 16;
using RelaySalt = std::array<uint8_t, RELAY_SALT_SIZE>;
RelaySalt newRelaySalt();
InvitationKey connectionKey(const InvitationKey& direction, const RelaySalt& hostSalt, const RelaySalt& joinerSalt);
