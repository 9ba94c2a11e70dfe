#include "net/wire.h"

#include <algorithm>
#include <cstring>

#include "engine/byte_order.h"

namespace {

constexpr size_t SEAT_NAME_FIELD = 68;
constexpr size_t JOIN_NAME_FIELD = 65;
constexpr size_t TEXT_FIELD = 129;
constexpr uint16_t ADDRESS_FAMILY_INET = 2;

// Writes at most limit characters; the rest of the field stays zero, so the
// text is always terminated.
void putText(uint8_t* field, const std::string& text, size_t limit)
{
    std::memcpy(field, text.data(), std::min(text.size(), limit));
}

// A field without a terminator ends at its size.
std::string getText(const uint8_t* field, size_t size)
{
    const auto* begin = reinterpret_cast<const char*>(field);
    return std::string(begin, std::find(begin, begin + size, '\0'));
}

void putBe16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

uint16_t getBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

void putBe32(uint8_t* p, uint32_t v)
{
    putBe16(p, static_cast<uint16_t>(v >> 16));
    putBe16(p + 2, static_cast<uint16_t>(v));
}

uint32_t getBe32(const uint8_t* p) { return (static_cast<uint32_t>(getBe16(p)) << 16) | getBe16(p + 2); }

}  // namespace

size_t bodySizeOf(int32_t type)
{
    switch (type) {
    case MSG_ACTION: return MSG_ACTION_SIZE;
    case MSG_TEXT: return MSG_TEXT_SIZE;
    case MSG_SEATING: return MSG_SEATING_SIZE;
    case MSG_SEAT:
    case MSG_SEAT_RETURNING: return MSG_SEAT_RECORD_SIZE;
    case MSG_JOIN: return MSG_JOIN_SIZE;
    case MSG_RULES: return MSG_RULES_SIZE;
    case MSG_DIGEST: return MSG_DIGEST_SIZE;
    case MSG_ACTION_BLOCK: return MSG_ACTION_BLOCK_SIZE;
    default: return 0;
    }
}

HeaderBytes encodeHeader(const MessageHeader& header)
{
    HeaderBytes bytes{};
    putLe32(bytes.data(), static_cast<int32_t>(header.signature));
    putLe32(bytes.data() + 4, static_cast<int32_t>(header.msgLen));
    putLe32(bytes.data() + 8, header.msgType);
    return bytes;
}

MessageHeader decodeHeader(const uint8_t* bytes)
{
    MessageHeader header;
    header.signature = static_cast<uint32_t>(getLe32(bytes));
    header.msgLen = static_cast<uint32_t>(getLe32(bytes + 4));
    header.msgType = getLe32(bytes + 8);
    return header;
}

ActionBytes encodeAction(const GameAction& action)
{
    ActionBytes bytes{};
    putLe32(bytes.data(), action.seat);
    putLe32(bytes.data() + 4, action.card);
    putLe32(bytes.data() + 8, action.action);
    return bytes;
}

GameAction decodeAction(const uint8_t* bytes)
{
    GameAction action;
    action.seat = getLe32(bytes);
    action.card = getLe32(bytes + 4);
    action.action = getLe32(bytes + 8);
    return action;
}

AddressBytes encodeAddress(const WireAddress& address)
{
    AddressBytes bytes{};
    putLe16(bytes.data(), ADDRESS_FAMILY_INET);
    putBe16(bytes.data() + 2, address.port);
    putBe32(bytes.data() + 4, address.ipv4);
    return bytes;
}

WireAddress decodeAddress(const uint8_t* bytes)
{
    WireAddress address;
    address.port = getBe16(bytes + 2);
    address.ipv4 = getBe32(bytes + 4);
    return address;
}

SeatRecordBytes encodeSeatRecord(const SeatRecord& record)
{
    SeatRecordBytes bytes{};
    putText(bytes.data(), record.name, MSG_NAME_MAX);
    putLe32(bytes.data() + 68, record.seat);
    putLe32(bytes.data() + 72, record.team);
    const AddressBytes addr = encodeAddress(record.addr);
    std::copy(addr.begin(), addr.end(), bytes.begin() + 76);
    return bytes;
}

SeatRecord decodeSeatRecord(const uint8_t* bytes)
{
    SeatRecord record;
    record.name = getText(bytes, SEAT_NAME_FIELD);
    record.seat = getLe32(bytes + 68);
    record.team = getLe32(bytes + 72);
    record.addr = decodeAddress(bytes + 76);
    return record;
}

SeatingBytes encodeSeating(const Seating& seating)
{
    SeatingBytes bytes{};
    for (size_t i = 0; i < seating.size(); ++i) {
        const SeatRecordBytes record = encodeSeatRecord(seating[i]);
        std::copy(record.begin(), record.end(), bytes.begin() + i * MSG_SEAT_RECORD_SIZE);
    }
    return bytes;
}

Seating decodeSeating(const uint8_t* bytes)
{
    Seating seating;
    for (size_t i = 0; i < seating.size(); ++i) seating[i] = decodeSeatRecord(bytes + i * MSG_SEAT_RECORD_SIZE);
    return seating;
}

JoinRecordBytes encodeJoinRecord(const JoinRecord& record)
{
    JoinRecordBytes bytes{};
    putText(bytes.data(), record.name, MSG_NAME_MAX);
    putText(bytes.data() + 65, record.partner, MSG_NAME_MAX);
    const AddressBytes addr = encodeAddress(record.addr);
    std::copy(addr.begin(), addr.end(), bytes.begin() + 152);
    putLe16(bytes.data() + 168, MSG_JOIN_UDP_PORT);
    putLe32(bytes.data() + 172, record.players);
    return bytes;
}

JoinRecord decodeJoinRecord(const uint8_t* bytes)
{
    JoinRecord record;
    record.name = getText(bytes, JOIN_NAME_FIELD);
    record.partner = getText(bytes + 65, JOIN_NAME_FIELD);
    record.addr = decodeAddress(bytes + 152);
    record.players = getLe32(bytes + 172);
    return record;
}

TextMessageBytes encodeTextMessage(const TextMessage& message)
{
    TextMessageBytes bytes{};
    putLe32(bytes.data(), static_cast<int32_t>(std::min(message.text.size(), MSG_TEXT_MAX)));
    putText(bytes.data() + 4, message.text, MSG_TEXT_MAX);
    putText(bytes.data() + 133, message.from, MSG_NAME_MAX);
    return bytes;
}

TextMessage decodeTextMessage(const uint8_t* bytes)
{
    // The length field is the sender's claim; the terminator or the field's
    // end is what bounds the text.
    TextMessage message;
    message.text = getText(bytes + 4, TEXT_FIELD);
    message.from = getText(bytes + 133, JOIN_NAME_FIELD);
    return message;
}

RoundDigestBytes encodeRoundDigest(const RoundDigest& digest)
{
    RoundDigestBytes bytes{};
    putLe32(bytes.data(), digest.round);
    putLe32(bytes.data() + 4, static_cast<int32_t>(digest.digest & 0xFFFFFFFFu));
    putLe32(bytes.data() + 8, static_cast<int32_t>(digest.digest >> 32));
    return bytes;
}

RoundDigest decodeRoundDigest(const uint8_t* bytes)
{
    RoundDigest digest;
    digest.round = getLe32(bytes);
    digest.digest = static_cast<uint32_t>(getLe32(bytes + 4)) |
                    (static_cast<uint64_t>(static_cast<uint32_t>(getLe32(bytes + 8))) << 32);
    return digest;
}

ActionBlockBytes encodeActionBlock(const ActionBlock& actions)
{
    ActionBlockBytes bytes{};
    const size_t count = std::min(actions.size(), MSG_BLOCK_ACTIONS);
    putLe32(bytes.data(), static_cast<int32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const ActionBytes action = encodeAction(actions[i]);
        std::copy(action.begin(), action.end(), bytes.begin() + 4 + i * MSG_ACTION_SIZE);
    }
    return bytes;
}

std::optional<ActionBlock> decodeActionBlock(const uint8_t* bytes)
{
    const int32_t count = getLe32(bytes);
    if (count < 0 || count > static_cast<int32_t>(MSG_BLOCK_ACTIONS)) return std::nullopt;
    ActionBlock actions;
    for (int32_t i = 0; i < count; ++i) actions.push_back(decodeAction(bytes + 4 + i * MSG_ACTION_SIZE));
    return actions;
}

FramedMessage frameMessage(int32_t type, const uint8_t* body)
{
    MessageHeader header;
    header.msgType = type;
    header.msgLen = static_cast<uint32_t>(bodySizeOf(type));
    FramedMessage message;
    const HeaderBytes head = encodeHeader(header);
    std::copy(head.begin(), head.end(), message.bytes.begin());
    if (header.msgLen > 0) std::memcpy(message.bytes.data() + MSG_HEADER_SIZE, body, header.msgLen);
    message.size = MSG_HEADER_SIZE + header.msgLen;
    return message;
}
