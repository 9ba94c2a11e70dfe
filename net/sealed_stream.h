// The messages of an internet game travel sealed: each one as a record of a
// 2-byte length (little-endian, the sealed bytes that follow) and the
// message encrypted and authenticated under the direction's key. The nonce
// counts the records of the direction and the length is authenticated with
// them, so a record that is changed, replayed, dropped or moved fails to
// open.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "net/invitation.h"
#include "net/wire.h"

constexpr size_t SEALED_LENGTH_SIZE = 2;
constexpr size_t SEALED_TAG_SIZE = 16;
// One whole message, header and body, a record.
constexpr size_t SEALED_PLAIN_MAX = MSG_HEADER_SIZE + MSG_BODY_MAX;
constexpr size_t SEALED_BODY_MAX = SEALED_PLAIN_MAX + SEALED_TAG_SIZE;

struct SealedRecord {
    std::array<uint8_t, SEALED_LENGTH_SIZE + SEALED_BODY_MAX> bytes{};
    size_t size = 0;
};

class SealedStream {
public:
    SealedStream(const InvitationKey& sendKey, const InvitationKey& receiveKey);
    ~SealedStream();
    SealedStream(const SealedStream&) = default;
    SealedStream& operator=(const SealedStream&) = default;

    // size at most SEALED_PLAIN_MAX.
    SealedRecord seal(const uint8_t* plain, size_t size);
    // The sealed bytes a record's length field announces, or 0 when no
    // record of this stream can be that long.
    static size_t sealedLength(const uint8_t* lengthBytes);
    // Opens the next record (its length field and sealed bytes) into plain,
    // which holds SEALED_PLAIN_MAX bytes; the plain size, or none when it
    // does not open. A stream that failed once stays failed.
    std::optional<size_t> open(const uint8_t* lengthBytes, const uint8_t* sealed, size_t size, uint8_t* plain);
    // Whether a record has opened: the far end holds the key.
    bool opened() const { return received_ > 0; }

private:
    InvitationKey sendKey_;
    InvitationKey receiveKey_;
    uint64_t sent_ = 0;
    uint64_t received_ = 0;
    bool failed_ = false;
};
