#include "net/sealed_stream.h"

#include <sodium.h>

namespace {

static_assert(SEALED_TAG_SIZE == crypto_aead_xchacha20poly1305_ietf_ABYTES, "the cipher's tag");
static_assert(INVITATION_KEY_SIZE == crypto_aead_xchacha20poly1305_ietf_KEYBYTES, "the cipher's key");
static_assert(SEALED_BODY_MAX <= UINT16_MAX, "a record's length fits its field");

using Nonce = std::array<uint8_t, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES>;

Nonce nonceOf(uint64_t count)
{
    Nonce nonce{};
    for (int i = 0; i < 8; ++i) nonce[i] = static_cast<uint8_t>(count >> (8 * i));
    return nonce;
}

}  // namespace

SealedStream::SealedStream(const InvitationKey& sendKey, const InvitationKey& receiveKey)
    : sendKey_(sendKey), receiveKey_(receiveKey)
{
}

SealedStream::~SealedStream()
{
    sodium_memzero(sendKey_.data(), sendKey_.size());
    sodium_memzero(receiveKey_.data(), receiveKey_.size());
}

SealedRecord SealedStream::seal(const uint8_t* plain, size_t size)
{
    SealedRecord record;
    const size_t sealed = size + SEALED_TAG_SIZE;
    record.bytes[0] = static_cast<uint8_t>(sealed);
    record.bytes[1] = static_cast<uint8_t>(sealed >> 8);
    const Nonce nonce = nonceOf(sent_++);
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(record.bytes.data() + SEALED_LENGTH_SIZE, &written, plain, size,
                                               record.bytes.data(), SEALED_LENGTH_SIZE, nullptr, nonce.data(),
                                               sendKey_.data());
    record.size = SEALED_LENGTH_SIZE + written;
    return record;
}

size_t SealedStream::sealedLength(const uint8_t* lengthBytes)
{
    const size_t length = lengthBytes[0] | static_cast<size_t>(lengthBytes[1]) << 8;
    return length > SEALED_TAG_SIZE && length <= SEALED_BODY_MAX ? length : 0;
}

std::optional<size_t> SealedStream::open(const uint8_t* lengthBytes, const uint8_t* sealed, size_t size, uint8_t* plain)
{
    if (failed_ || size != sealedLength(lengthBytes) || size == 0) {
        failed_ = true;
        return std::nullopt;
    }
    const Nonce nonce = nonceOf(received_);
    unsigned long long opened = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain, &opened, nullptr, sealed, size, lengthBytes, SEALED_LENGTH_SIZE,
                                                   nonce.data(), receiveKey_.data()) != 0) {
        failed_ = true;
        return std::nullopt;
    }
    ++received_;
    return static_cast<size_t>(opened);
}
