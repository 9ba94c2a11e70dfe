// Lines of chat between the processes of a network game. What arrives is
// shown as plain text: whatever a peer sends, nothing in it may steer the
// display.
#pragma once

#include <cstddef>
#include <string>

// The most a line of chat carries, in bytes: what the text field holds.
constexpr size_t CHAT_LINE_MAX = 128;

// The text with control characters (C0, C1, bidirectional, line and
// paragraph separators) left out and every byte that is not part
// of well-formed UTF-8 shown as '?', cut to at most limit bytes without
// splitting a character.
std::string plainText(const std::string& raw, size_t limit);
