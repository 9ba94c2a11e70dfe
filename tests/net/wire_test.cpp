#include "net/wire.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

template <size_t N>
Bytes bytesOf(const std::array<uint8_t, N>& a)
{
    return Bytes(a.begin(), a.end());
}

Bytes textBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A zero-filled buffer with the given bytes written at the given offsets.
Bytes zerosWith(size_t size, std::initializer_list<std::pair<size_t, Bytes>> parts)
{
    Bytes out(size, 0);
    for (const auto& part : parts) std::copy(part.second.begin(), part.second.end(), out.begin() + part.first);
    return out;
}

const Bytes SIGNATURE = {0xA4, 0xA4, 0xA4, 0xA4};

TEST(WireHeader, WritesSignatureLengthAndTypeLittleEndian)
{
    MessageHeader header;
    header.msgLen = 368;
    header.msgType = MSG_SEATING;
    EXPECT_EQ(bytesOf(encodeHeader(header)), (Bytes{0xA4, 0xA4, 0xA4, 0xA4, 0x70, 0x01, 0, 0, 0x02, 0, 0, 0}));
}

TEST(WireHeader, ReadsFieldsAndKeepsAWrongSignatureForTheCaller)
{
    const Bytes good = {0xA4, 0xA4, 0xA4, 0xA4, 0x10, 0x27, 0, 0, 0x05, 0, 0, 0};
    const MessageHeader h = decodeHeader(good.data());
    EXPECT_EQ(h.signature, MSG_SIGNATURE);
    EXPECT_EQ(h.msgLen, 10000u);
    EXPECT_EQ(h.msgType, 5);

    const Bytes bad = {0xA4, 0xA4, 0xA4, 0xA5, 0x0C, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_NE(decodeHeader(bad.data()).signature, MSG_SIGNATURE);

    const Bytes huge = {0xA4, 0xA4, 0xA4, 0xA4, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(decodeHeader(huge.data()).msgLen, 0xFFFFFFFFu);
}

TEST(WireFrame, EachTypeStatesItsBodyLength)
{
    const struct {
        int32_t type;
        Bytes lengthBytes;
        size_t size;
    } cases[] = {
        {MSG_ACTION, {0x0C, 0, 0, 0}, 12},    {MSG_TEXT, {0xC8, 0, 0, 0}, 200}, {MSG_SEATING, {0x70, 0x01, 0, 0}, 368},
        {MSG_SEAT, {0x5C, 0, 0, 0}, 92},      {MSG_JOIN, {0xB0, 0, 0, 0}, 176}, {MSG_READY, {0, 0, 0, 0}, 0},
        {MSG_RULES, {0x20, 0, 0, 0}, 32},     {MSG_DIGEST, {0x0C, 0, 0, 0}, 12}, {5, {0, 0, 0, 0}, 0},
        {MSG_ACTION_BLOCK, {0x6C, 0x01, 0, 0}, 364}, {MSG_REJOIN_REFUSED, {0, 0, 0, 0}, 0},
        {MSG_NAME_TAKEN, {0, 0, 0, 0}, 0},
    };
    const Bytes body(MSG_BODY_MAX, 0x5A);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const FramedMessage m = frameMessage(c.type, body.data());
        ASSERT_EQ(m.size, MSG_HEADER_SIZE + c.size);
        EXPECT_EQ(Bytes(m.bytes.begin(), m.bytes.begin() + 4), SIGNATURE);
        EXPECT_EQ(Bytes(m.bytes.begin() + 4, m.bytes.begin() + 8), c.lengthBytes);
        EXPECT_EQ(m.bytes[8], static_cast<uint8_t>(c.type));
        EXPECT_EQ(Bytes(m.bytes.begin() + 12, m.bytes.begin() + m.size), Bytes(c.size, 0x5A));
    }
}

TEST(WireFrame, WholeMessagesByteForByte)
{
    GameAction play;
    play.seat = 1;
    play.card = 51;
    play.action = ACTION_PLAY;
    const FramedMessage action = frameMessage(MSG_ACTION, encodeAction(play).data());
    EXPECT_EQ(Bytes(action.bytes.begin(), action.bytes.begin() + action.size),
              (Bytes{0xA4, 0xA4, 0xA4, 0xA4, 0x0C, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0x33, 0, 0, 0, 0, 0, 0, 0}));

    const FramedMessage ready = frameMessage(MSG_READY, nullptr);
    EXPECT_EQ(Bytes(ready.bytes.begin(), ready.bytes.begin() + ready.size),
              (Bytes{0xA4, 0xA4, 0xA4, 0xA4, 0, 0, 0, 0, 0x08, 0, 0, 0}));

    RuleSettings r;
    r.reneedRule = RENEED_HIGH_TRUMP_BULLSEYE;
    r.noGamePointIfReneed = 1;
    r.underTrumpPenalty = UNDER_TRUMP_BULLSEYE;
    r.target = 7;
    r.hangJackPoints = 1;
    r.tobagoRules = 1;
    r.forceFollow = FOLLOW_NEVER;
    r.forceBeg = 1;
    const FramedMessage rules = frameMessage(MSG_RULES, encodeRules(r).data());
    EXPECT_EQ(Bytes(rules.bytes.begin(), rules.bytes.begin() + rules.size),
              (Bytes{0xA4, 0xA4, 0xA4, 0xA4, 0x20, 0, 0, 0, 0x09, 0, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0,
                     7,    0,    0,    0,    1,    0, 0, 0, 1,    0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}));
}

TEST(WireAction, NoCardTravelsAsMinusOne)
{
    GameAction beg;
    beg.seat = 2;
    beg.action = ACTION_BEG;
    const Bytes expected = {2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0};
    EXPECT_EQ(bytesOf(encodeAction(beg)), expected);
    const GameAction back = decodeAction(expected.data());
    EXPECT_EQ(back.seat, 2);
    EXPECT_EQ(back.card, NO_CARD);
    EXPECT_EQ(back.action, ACTION_BEG);
}

TEST(WireAddress, FamilyLittleEndianPortAndAddressInNetworkOrder)
{
    const WireAddress addr{0x7F000001, 4100};
    const Bytes expected = zerosWith(16, {{0, {0x02, 0x00, 0x10, 0x04, 0x7F, 0x00, 0x00, 0x01}}});
    EXPECT_EQ(bytesOf(encodeAddress(addr)), expected);
    EXPECT_EQ(decodeAddress(expected.data()), addr);
}

TEST(WireSeatRecord, Layout)
{
    SeatRecord record;
    record.name = "Ann";
    record.seat = 3;
    record.team = 1;
    record.addr = WireAddress{0xC0A80105, 4101};
    const Bytes expected = zerosWith(92, {{0, textBytes("Ann")},
                                          {68, {3, 0, 0, 0}},
                                          {72, {1, 0, 0, 0}},
                                          {76, {0x02, 0x00, 0x10, 0x05, 192, 168, 1, 5}}});
    EXPECT_EQ(bytesOf(encodeSeatRecord(record)), expected);

    const SeatRecord back = decodeSeatRecord(expected.data());
    EXPECT_EQ(back.name, "Ann");
    EXPECT_EQ(back.seat, 3);
    EXPECT_EQ(back.team, 1);
    EXPECT_EQ(back.addr, record.addr);
}

TEST(WireSeating, FourRecordsAtOffsetsOf92)
{
    Seating seating;
    for (int i = 0; i < 4; ++i) {
        seating[i].name = i == 1 ? "" : "S" + std::to_string(i);
        seating[i].seat = i;
        seating[i].team = i / 2;
    }
    seating[3].addr = WireAddress{0x0A000003, 4100};
    const Bytes expected = zerosWith(368, {{0, textBytes("S0")},
                                           {160, {1, 0, 0, 0}},
                                           {168, {0x02, 0x00}},
                                           {184, textBytes("S2")},
                                           {252, {2, 0, 0, 0}},
                                           {256, {1, 0, 0, 0}},
                                           {260, {0x02, 0x00}},
                                           {276, textBytes("S3")},
                                           {344, {3, 0, 0, 0}},
                                           {348, {1, 0, 0, 0}},
                                           {352, {0x02, 0x00, 0x10, 0x04, 10, 0, 0, 3}},
                                           {76, {0x02, 0x00}}});
    EXPECT_EQ(bytesOf(encodeSeating(seating)), expected);

    const Seating back = decodeSeating(expected.data());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(back[i].name, seating[i].name);
        EXPECT_EQ(back[i].seat, i);
        EXPECT_EQ(back[i].team, i / 2);
    }
    EXPECT_EQ(back[3].addr, seating[3].addr);
}

TEST(WireJoinRecord, Layout)
{
    JoinRecord record;
    record.name = "Ann";
    record.partner = "Bob";
    record.addr = WireAddress{0x0A000002, 4102};
    record.players = 2;
    const Bytes expected = zerosWith(176, {{0, textBytes("Ann")},
                                           {65, textBytes("Bob")},
                                           {152, {0x02, 0x00, 0x10, 0x06, 10, 0, 0, 2}},
                                           {168, {0xCC, 0x10}},
                                           {172, {2, 0, 0, 0}}});
    EXPECT_EQ(bytesOf(encodeJoinRecord(record)), expected);

    const JoinRecord back = decodeJoinRecord(expected.data());
    EXPECT_EQ(back.name, "Ann");
    EXPECT_EQ(back.partner, "Bob");
    EXPECT_EQ(back.addr, record.addr);
    EXPECT_EQ(back.players, 2);
}

TEST(WireTextMessage, Layout)
{
    TextMessage message;
    message.text = "hi there";
    message.from = "Ann";
    const Bytes expected = zerosWith(200, {{0, {8, 0, 0, 0}}, {4, textBytes("hi there")}, {133, textBytes("Ann")}});
    EXPECT_EQ(bytesOf(encodeTextMessage(message)), expected);

    message.text = std::string(150, 't');
    const TextMessageBytes longText = encodeTextMessage(message);
    EXPECT_EQ(longText[0], 128);
    EXPECT_EQ(decodeTextMessage(longText.data()).text, std::string(128, 't'));
}

TEST(WireRoundDigest, Layout)
{
    RoundDigest digest;
    digest.round = 3;
    digest.digest = 0x0102030405060708ull;
    const Bytes expected = {3, 0, 0, 0, 8, 7, 6, 5, 4, 3, 2, 1};
    EXPECT_EQ(bytesOf(encodeRoundDigest(digest)), expected);
    const RoundDigest back = decodeRoundDigest(expected.data());
    EXPECT_EQ(back.round, 3);
    EXPECT_EQ(back.digest, digest.digest);
    digest.digest = ~0ull;
    EXPECT_EQ(decodeRoundDigest(encodeRoundDigest(digest).data()).digest, ~0ull) << "the high bit survives";
}

// Every name field, by how it is written and where it lies in its body.
struct NameField {
    const char* what;
    size_t offset;
    size_t size;
    Bytes (*encode)(const std::string& name);
    std::string (*decode)(const Bytes& body);
};

const NameField NAME_FIELDS[] = {
    {"seat name", 0, 68,
     [](const std::string& n) {
         SeatRecord r;
         r.name = n;
         return bytesOf(encodeSeatRecord(r));
     },
     [](const Bytes& b) { return decodeSeatRecord(b.data()).name; }},
    {"join name", 0, 65,
     [](const std::string& n) {
         JoinRecord r;
         r.name = n;
         return bytesOf(encodeJoinRecord(r));
     },
     [](const Bytes& b) { return decodeJoinRecord(b.data()).name; }},
    {"join partner", 65, 65,
     [](const std::string& n) {
         JoinRecord r;
         r.partner = n;
         return bytesOf(encodeJoinRecord(r));
     },
     [](const Bytes& b) { return decodeJoinRecord(b.data()).partner; }},
    {"text sender", 133, 65,
     [](const std::string& n) {
         TextMessage m;
         m.from = n;
         return bytesOf(encodeTextMessage(m));
     },
     [](const Bytes& b) { return decodeTextMessage(b.data()).from; }},
};

TEST(WireActionBlock, CountThenActionsAndZeroBehind)
{
    GameAction deal;
    deal.seat = 2;
    deal.card = 17;
    deal.action = ACTION_DEAL;
    GameAction takeover;
    takeover.seat = 3;
    takeover.action = ACTION_TAKEOVER;
    const ActionBlockBytes bytes = encodeActionBlock({deal, takeover});
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 28),
              (Bytes{2, 0, 0, 0, 2, 0, 0, 0, 17, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 8, 0, 0, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 28, bytes.end()), Bytes(MSG_ACTION_BLOCK_SIZE - 28, 0));
    const auto back = decodeActionBlock(bytes.data());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[1].action, ACTION_TAKEOVER);
    EXPECT_EQ((*back)[1].card, NO_CARD);

    // Thirty at most travel; a count outside 0 to 30 is no block at all.
    EXPECT_EQ(decodeActionBlock(encodeActionBlock(ActionBlock(40, deal)).data())->size(), 30u);
    for (int32_t count : {-1, 31, 1 << 20}) {
        ActionBlockBytes odd{};
        odd[0] = static_cast<uint8_t>(count);
        odd[1] = static_cast<uint8_t>(count >> 8);
        odd[2] = static_cast<uint8_t>(count >> 16);
        odd[3] = static_cast<uint8_t>(count >> 24);
        EXPECT_FALSE(decodeActionBlock(odd.data())) << count;
    }
}

TEST(WireNames, ALongNameTravelsAsItsFirst64Characters)
{
    std::string name;
    for (int i = 0; i < 70; ++i) name += static_cast<char>('A' + i % 26);
    for (const NameField& f : NAME_FIELDS) {
        SCOPED_TRACE(f.what);
        const Bytes body = f.encode(name);
        EXPECT_EQ(body[f.offset + 64], 0);
        EXPECT_EQ(f.decode(body), name.substr(0, 64));
    }
}

TEST(WireNames, AFieldWithoutTerminatorEndsAtItsSize)
{
    for (const NameField& f : NAME_FIELDS) {
        SCOPED_TRACE(f.what);
        Bytes body = f.encode("");
        std::fill(body.begin() + f.offset, body.begin() + f.offset + f.size, 'x');
        EXPECT_EQ(f.decode(body), std::string(f.size, 'x'));
    }
}

}  // namespace
