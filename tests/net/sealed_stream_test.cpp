#include "net/sealed_stream.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

const InvitationKey KEY_A{0xA1, 0xA2};
const InvitationKey KEY_B{0xB1, 0xB2};

Bytes recordBytes(const SealedRecord& r) { return Bytes(r.bytes.begin(), r.bytes.begin() + r.size); }

Bytes sealText(SealedStream& s, const std::string& text)
{
    return recordBytes(s.seal(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::optional<std::string> openRecord(SealedStream& s, const Bytes& record)
{
    std::array<uint8_t, SEALED_PLAIN_MAX> plain{};
    const auto size = s.open(record.data(), record.data() + SEALED_LENGTH_SIZE, record.size() - SEALED_LENGTH_SIZE, plain.data());
    if (!size) return std::nullopt;
    return std::string(plain.begin(), plain.begin() + *size);
}

struct Pair {
    SealedStream host{KEY_A, KEY_B};
    SealedStream joiner{KEY_B, KEY_A};
};

TEST(SealedStream, RecordsOpenInOrderBothWays)
{
    Pair p;
    EXPECT_FALSE(p.joiner.opened());
    for (const std::string& text : {std::string("first"), std::string("second"), std::string(SEALED_PLAIN_MAX - 1, 'x')}) {
        const Bytes record = sealText(p.host, text);
        EXPECT_EQ(record.size(), SEALED_LENGTH_SIZE + text.size() + SEALED_TAG_SIZE);
        EXPECT_EQ(SealedStream::sealedLength(record.data()), text.size() + SEALED_TAG_SIZE);
        EXPECT_EQ(openRecord(p.joiner, record), text);
        EXPECT_EQ(openRecord(p.host, sealText(p.joiner, text + "!")), text + "!");
    }
    EXPECT_TRUE(p.joiner.opened());
}

TEST(SealedStream, TheSameTextSealsDifferentlyEachTime)
{
    Pair p;
    EXPECT_NE(sealText(p.host, "play"), sealText(p.host, "play"));
}

// Every byte of a record, the length included, is guarded.
TEST(SealedStream, AnyChangedByteFailsAndTheStreamStaysFailed)
{
    Pair sample;
    const size_t size = sealText(sample.host, "a card").size();
    for (size_t i = 0; i < size; ++i) {
        Pair p;
        Bytes record = sealText(p.host, "a card");
        record[i] ^= 0x01;
        EXPECT_FALSE(openRecord(p.joiner, record)) << "byte " << i;
        EXPECT_FALSE(openRecord(p.joiner, sealText(p.host, "next"))) << "byte " << i;
    }
}

TEST(SealedStream, ReplayedDroppedMovedAndForeignRecordsFail)
{
    struct Case {
        const char* what;
        // Which of three records sealed in turn arrive, in arrival order;
        // the last one is the one that must fail.
        std::vector<int> arrive;
    };
    const Case cases[] = {
        {"replayed", {0, 0}},
        {"dropped", {0, 2}},
        {"moved", {1}},
        {"replayed after more", {0, 1, 0}},
    };
    for (const Case& c : cases) {
        Pair p;
        std::vector<Bytes> sealed;
        for (int i = 0; i < 3; ++i) sealed.push_back(sealText(p.host, "record " + std::to_string(i)));
        for (size_t k = 0; k + 1 < c.arrive.size(); ++k) ASSERT_TRUE(openRecord(p.joiner, sealed[c.arrive[k]])) << c.what;
        EXPECT_FALSE(openRecord(p.joiner, sealed[c.arrive.back()])) << c.what;
    }
    // Sealed under the other direction's key, or by someone without it.
    Pair p;
    EXPECT_FALSE(openRecord(p.host, sealText(p.host, "own")));
    SealedStream stranger{InvitationKey{}, InvitationKey{}};
    EXPECT_FALSE(openRecord(p.joiner, sealText(stranger, "let me in")));
}

TEST(SealedStream, LengthsNoRecordCanHaveAreRefused)
{
    const auto lengthOf = [](size_t n) {
        const uint8_t bytes[2] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8)};
        return SealedStream::sealedLength(bytes);
    };
    EXPECT_EQ(lengthOf(0), 0u);
    EXPECT_EQ(lengthOf(SEALED_TAG_SIZE), 0u);
    EXPECT_EQ(lengthOf(SEALED_TAG_SIZE + 1), SEALED_TAG_SIZE + 1);
    EXPECT_EQ(lengthOf(SEALED_BODY_MAX), SEALED_BODY_MAX);
    EXPECT_EQ(lengthOf(SEALED_BODY_MAX + 1), 0u);
    EXPECT_EQ(lengthOf(0xFFFF), 0u);
}

}  // namespace
