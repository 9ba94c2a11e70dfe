// UTF-8, the one encoding of every text the program stores, sends and draws.
#pragma once

#include <cstddef>
#include <string>

// The length of the well-formed UTF-8 character at text[i], or 0.
size_t utf8CharacterLength(const std::string& text, size_t i);

// Text from the keyboard as UTF-8, whatever the locale: under a locale that
// is not UTF-8 keys and pastes bring Latin-1 bytes, and every byte that is
// not part of well-formed UTF-8 is read as the Latin-1 character it is.
std::string typedText(const std::string& raw);
