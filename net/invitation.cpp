#include "net/invitation.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <sodium.h>

namespace {

constexpr size_t ALPHABET_SIZE = sizeof INVITATION_ALPHABET - 1;
static_assert(ALPHABET_SIZE == 32, "five bits a symbol");

// A fixed salt: both ends must reach the same secrets from the code alone.
constexpr char SECRETS_SALT[crypto_pwhash_SALTBYTES + 1] = "marvanto-invite1";
constexpr char KDF_CONTEXT[crypto_kdf_CONTEXTBYTES + 1] = "mvinvite";

enum : uint64_t { SUBKEY_TOKEN = 1, SUBKEY_HOST_SIDE, SUBKEY_JOINER_SIDE, SUBKEY_HOST_TO_JOINER, SUBKEY_JOINER_TO_HOST };

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

std::string hexOf(const uint8_t* bytes, size_t size)
{
    std::string hex(size * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes, size);
    hex.pop_back();
    return hex;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string newInvitationCode()
{
    sodiumReady();
    std::string code;
    for (int i = 0; i < 2 * INVITATION_GROUP; ++i) {
        if (i == INVITATION_GROUP) code += '-';
        code += INVITATION_ALPHABET[randombytes_uniform(ALPHABET_SIZE)];
    }
    return code;
}

std::optional<std::string> normalizeInvitationCode(const std::string& text)
{
    std::string symbols;
    const std::string t = trimmed(text);
    for (size_t i = 0; i < t.size(); ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i])));
        if ((c == '-' || c == ' ') && symbols.size() == INVITATION_GROUP && i == INVITATION_GROUP) continue;
        if (!std::memchr(INVITATION_ALPHABET, c, ALPHABET_SIZE)) return std::nullopt;
        symbols += c;
    }
    if (symbols.size() != 2 * INVITATION_GROUP) return std::nullopt;
    return symbols.substr(0, INVITATION_GROUP) + '-' + symbols.substr(INVITATION_GROUP);
}

std::optional<RelayAddress> parseRelayAddress(const std::string& text)
{
    const std::string t = trimmed(text);
    RelayAddress relay;
    const auto colon = t.rfind(':');
    relay.host = t.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string digits = t.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return std::nullopt;
        const unsigned long port = std::stoul(digits);
        if (port == 0 || port > UINT16_MAX) return std::nullopt;
        relay.port = static_cast<uint16_t>(port);
    }
    if (relay.host.empty() || relay.host.find_first_of(" \t@:") != std::string::npos) return std::nullopt;
    return relay;
}

std::string relayText(const RelayAddress& relay) { return relay.host + ":" + std::to_string(relay.port); }

std::optional<JoinTarget> parseJoinField(const std::string& text)
{
    const std::string t = trimmed(text);
    if (t.empty()) return std::nullopt;
    JoinTarget target;
    const auto at = t.find('@');
    if (at != std::string::npos) {
        target.code = normalizeInvitationCode(t.substr(0, at));
        target.relay = parseRelayAddress(t.substr(at + 1));
        if (!target.code || !target.relay) return std::nullopt;
        return target;
    }
    // A host name written like a code is taken as a code; a trailing dot
    // makes it a host name again.
    target.code = normalizeInvitationCode(t);
    if (!target.code) target.host = t;
    return target;
}

std::optional<InvitationSecrets> deriveInvitationSecrets(const std::string& code)
{
    if (!sodiumReady()) return std::nullopt;
    uint8_t master[crypto_kdf_KEYBYTES];
    if (crypto_pwhash(master, sizeof master, code.data(), code.size(), reinterpret_cast<const uint8_t*>(SECRETS_SALT),
                      crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::nullopt;
    InvitationSecrets secrets;
    uint8_t token[32];
    uint8_t side[crypto_kdf_BYTES_MIN];
    crypto_kdf_derive_from_key(token, sizeof token, SUBKEY_TOKEN, KDF_CONTEXT, master);
    secrets.token = hexOf(token, sizeof token);
    crypto_kdf_derive_from_key(side, sizeof side, SUBKEY_HOST_SIDE, KDF_CONTEXT, master);
    secrets.hostSide = hexOf(side, 8);
    crypto_kdf_derive_from_key(side, sizeof side, SUBKEY_JOINER_SIDE, KDF_CONTEXT, master);
    secrets.joinerSide = hexOf(side, 8);
    crypto_kdf_derive_from_key(secrets.hostToJoiner.data(), INVITATION_KEY_SIZE, SUBKEY_HOST_TO_JOINER, KDF_CONTEXT, master);
    crypto_kdf_derive_from_key(secrets.joinerToHost.data(), INVITATION_KEY_SIZE, SUBKEY_JOINER_TO_HOST, KDF_CONTEXT, master);
    sodium_memzero(master, sizeof master);
    return secrets;
}

RelaySalt newRelaySalt()
{
    sodiumReady();
    RelaySalt salt;
    randombytes_buf(salt.data(), salt.size());
    return salt;
}

InvitationKey connectionKey(const InvitationKey& direction, const RelaySalt& hostSalt, const RelaySalt& joinerSalt)
{
    InvitationKey key;
    crypto_generichash_state state;
    crypto_generichash_init(&state, direction.data(), direction.size(), key.size());
    crypto_generichash_update(&state, hostSalt.data(), hostSalt.size());
    crypto_generichash_update(&state, joinerSalt.data(), joinerSalt.size());
    crypto_generichash_final(&state, key.data(), key.size());
    return key;
}
