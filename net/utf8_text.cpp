#include "net/utf8_text.h"

size_t utf8CharacterLength(const std::string& text, size_t i)
{
    const auto byte = [&text](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

std::string typedText(const std::string& raw)
{
    std::string out;
    for (size_t i = 0; i < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[i]);
        const size_t length = c < 0x80 ? 1 : utf8CharacterLength(raw, i);
        if (length > 0) {
            out.append(raw, i, length);
            i += length;
            continue;
        }
        // A Latin-1 byte is its own code point, from U+0080 to U+00FF.
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        ++i;
    }
    return out;
}
