#include "net/chat.h"

#include "net/utf8_text.h"

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
        const std::string piece = length == 0 ? std::string("?") : raw.substr(i, length);
        if (out.size() + piece.size() > limit) break;
        out += piece;
        i += length == 0 ? 1 : length;
    }
    return out;
}
