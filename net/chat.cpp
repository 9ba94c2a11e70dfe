#include "net/chat.h"

#include "net/utf8_text.h"

namespace {

// C1 controls, the controls that reorder text (embeddings, overrides,
// isolates) and the line and paragraph separators: each steers the display
// as much as the ASCII controls do.
bool isHiddenControl(const std::string& text, size_t i, size_t length)
{
    const auto byte = [&text](size_t at) { return static_cast<unsigned char>(text[at]); };
    if (length == 2) return byte(i) == 0xC2 && byte(i + 1) <= 0x9F;
    if (length != 3 || byte(i) != 0xE2) return false;
    const unsigned char b1 = byte(i + 1);
    const unsigned char b2 = byte(i + 2);
    if (b1 == 0x80) return b2 >= 0xA8 && b2 <= 0xAE;  // U+2028 to U+202E
    return b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9;    // U+2066 to U+2069
}

}  // namespace

std::string plainText(const std::string& raw, size_t limit)
{
    std::string out;
    for (size_t i = 0; i < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c < 0x20 || c == 0x7F) {
            ++i;
            continue;
        }
        size_t length = c < 0x80 ? 1 : utf8CharacterLength(raw, i);
        if (length > 1 && isHiddenControl(raw, i, length)) {
            i += length;
            continue;
        }
        const std::string piece = length == 0 ? std::string("?") : raw.substr(i, length);
        if (out.size() + piece.size() > limit) break;
        out += piece;
        i += length == 0 ? 1 : length;
    }
    return out;
}
