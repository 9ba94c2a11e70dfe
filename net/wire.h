// The message format between game processes: a 12-byte header and a body of
// the length it states. Encoding and decoding work on byte buffers and write
// every integer little-endian, whatever the host, so they can be checked
// against fixed byte vectors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/actions.h"
#include "engine/rules.h"

constexpr uint32_t MSG_SIGNATURE = 0xA4A4A4A4;

enum : int32_t {
    MSG_ACTION = 0,
    MSG_TEXT = 1,
    MSG_SEATING = 2,
    MSG_SEAT = 3,
    MSG_JOIN = 6,
    MSG_READY = 8,
    MSG_RULES = 9,
    MSG_DIGEST = 10,
    // The host, to a player joining again mid-game: the game so far, as
    // ActionBlock bodies in order from the first set-dealer action.
    MSG_ACTION_BLOCK = 11,
    // The host, to a joiner while its game is under way whose name no lost
    // seat holds. No body (msgLen 0).
    MSG_REJOIN_REFUSED = 12,
    // The host, to a joiner one of whose names a listed or seated player
    // has already. No body (msgLen 0).
    MSG_NAME_TAKEN = 13,
};

constexpr size_t MSG_HEADER_SIZE = 12;
constexpr size_t MSG_ACTION_SIZE = 12;
constexpr size_t MSG_TEXT_SIZE = 200;
constexpr size_t MSG_SEAT_RECORD_SIZE = 92;
constexpr size_t MSG_SEATING_SIZE = 4 * MSG_SEAT_RECORD_SIZE;
constexpr size_t MSG_JOIN_SIZE = 176;
constexpr size_t MSG_RULES_SIZE = RULES_SIZE;
constexpr size_t MSG_DIGEST_SIZE = 12;
constexpr size_t MSG_ADDR_SIZE = 16;
constexpr size_t MSG_BLOCK_ACTIONS = 30;
constexpr size_t MSG_ACTION_BLOCK_SIZE = 4 + MSG_BLOCK_ACTIONS * MSG_ACTION_SIZE;
// The largest body any type has; longer bodies are skipped unread.
constexpr size_t MSG_BODY_MAX = MSG_SEATING_SIZE;
static_assert(MSG_ACTION_BLOCK_SIZE <= MSG_BODY_MAX, "an action block fits the body buffer");
constexpr size_t MSG_NAME_MAX = 64;
constexpr size_t MSG_TEXT_MAX = 128;
constexpr uint16_t MSG_JOIN_UDP_PORT = 4300;

// Wire layout (12 bytes): signature, msgLen (body bytes that follow), msgType.
struct MessageHeader {
    uint32_t signature = MSG_SIGNATURE;
    uint32_t msgLen = 0;
    int32_t msgType = MSG_READY;
};
static_assert(sizeof(MessageHeader) == MSG_HEADER_SIZE, "MessageHeader is three 32-bit fields");

// The body size a type carries: 0 for types without a body.
size_t bodySizeOf(int32_t type);

using HeaderBytes = std::array<uint8_t, MSG_HEADER_SIZE>;
HeaderBytes encodeHeader(const MessageHeader& header);
MessageHeader decodeHeader(const uint8_t* bytes);

using ActionBytes = std::array<uint8_t, MSG_ACTION_SIZE>;
ActionBytes encodeAction(const GameAction& action);
GameAction decodeAction(const uint8_t* bytes);

// An IPv4 socket address, values in host order. On the wire (16 bytes):
// family 2 little-endian, port big-endian, address big-endian, 8 zero bytes.
struct WireAddress {
    uint32_t ipv4 = 0;
    uint16_t port = 0;

    bool operator==(const WireAddress& o) const { return ipv4 == o.ipv4 && port == o.port; }
    bool operator!=(const WireAddress& o) const { return !(*this == o); }
};
using AddressBytes = std::array<uint8_t, MSG_ADDR_SIZE>;
AddressBytes encodeAddress(const WireAddress& address);
WireAddress decodeAddress(const uint8_t* bytes);

// Wire layout (92 bytes): name 68 (64 characters at most and a NUL),
// seat at 68, team at 72, addr 16 at 76.
struct SeatRecord {
    std::string name;
    int32_t seat = 0;
    int32_t team = 0;
    WireAddress addr;
};
using SeatRecordBytes = std::array<uint8_t, MSG_SEAT_RECORD_SIZE>;
SeatRecordBytes encodeSeatRecord(const SeatRecord& record);
SeatRecord decodeSeatRecord(const uint8_t* bytes);

// The body of MSG_SEATING: the records of seats 0 to 3, one after another.
using Seating = std::array<SeatRecord, 4>;
using SeatingBytes = std::array<uint8_t, MSG_SEATING_SIZE>;
SeatingBytes encodeSeating(const Seating& seating);
Seating decodeSeating(const uint8_t* bytes);

// Wire layout (176 bytes): name 65, partner 65, 22 reserved, addr 16 at 152,
// udpPort 16-bit at 168 (always 4300, unused), 2 reserved, players at 172.
struct JoinRecord {
    std::string name;
    std::string partner;  // significant only when players is 2
    WireAddress addr;
    int32_t players = 1;
};
using JoinRecordBytes = std::array<uint8_t, MSG_JOIN_SIZE>;
JoinRecordBytes encodeJoinRecord(const JoinRecord& record);
JoinRecord decodeJoinRecord(const uint8_t* bytes);

// Wire layout (200 bytes): length at 0, text 129 at 4, from 65 at 133,
// 2 reserved. A line of chat; the length is the sender's claim, the
// terminator or the field's end bounds the text.
struct TextMessage {
    std::string text;
    std::string from;
};
using TextMessageBytes = std::array<uint8_t, MSG_TEXT_SIZE>;
TextMessageBytes encodeTextMessage(const TextMessage& message);
TextMessage decodeTextMessage(const uint8_t* bytes);

// Wire layout (12 bytes): round at 0 (rounds scored since the game's first
// deal, from 1), digest at 4 (64 bits, little-endian): the sender's
// sharedDigest right after it scored that round.
struct RoundDigest {
    int32_t round = 0;
    uint64_t digest = 0;
};
using RoundDigestBytes = std::array<uint8_t, MSG_DIGEST_SIZE>;
RoundDigestBytes encodeRoundDigest(const RoundDigest& digest);
RoundDigest decodeRoundDigest(const uint8_t* bytes);
// Wire layout (364 bytes): count at 0 (0 to 30), then 30 GameActions of 12
// bytes each at 4, 16, ... 352; only the first count are significant, the
// rest are zero. A block with another count is ignored.
using ActionBlock = std::vector<GameAction>;
using ActionBlockBytes = std::array<uint8_t, MSG_ACTION_BLOCK_SIZE>;
// Takes at most MSG_BLOCK_ACTIONS actions.
ActionBlockBytes encodeActionBlock(const ActionBlock& actions);
// Empty optional for a count out of range.
std::optional<ActionBlock> decodeActionBlock(const uint8_t* bytes);

// A whole message, header and body, in one buffer so that it goes out in one
// write: a header and a body written apart can stall on Nagle and delayed ACK.
struct FramedMessage {
    std::array<uint8_t, MSG_HEADER_SIZE + MSG_BODY_MAX> bytes{};
    size_t size = 0;
};
// body holds bodySizeOf(type) bytes; msgLen is that size.
FramedMessage frameMessage(int32_t type, const uint8_t* body);
