// What a line of chat may show: plain text only, cut without splitting a
// character.
#include <gtest/gtest.h>

#include "net/chat.h"
#include "net/utf8_text.h"

namespace {

TEST(PlainText, ShowsTextOnly)
{
    const struct {
        const char* raw;
        size_t limit;
        const char* shown;
    } cases[] = {
        {"hello", 128, "hello"},
        {"a\tb\nc\rd\x1b[2Je\x7f", 128, "abcd[2Je"},
        {"caf\xc3\xa9", 128, "caf\xc3\xa9"},
        {"\xe2\x82\xac 5", 128, "\xe2\x82\xac 5"},
        {"bad \xff byte", 128, "bad ? byte"},
        {"overlong \xc0\xaf", 128, "overlong ??"},
        {"surrogate \xed\xa0\x80", 128, "surrogate ???"},
        {"cut \xe2\x82", 128, "cut ??"},
        {"a\xc3\xa9z", 3, "a\xc3\xa9"},
        {"ab\xc3\xa9", 3, "ab"},
        {"abcdef", 4, "abcd"},
        {"c1 \xc2\x80\xc2\x9b[2J\xc2\x9f end", 128, "c1 [2J end"},
        {"nbsp \xc2\xa0 stays", 128, "nbsp \xc2\xa0 stays"},
        {"bidi \xe2\x80\xaa" "a\xe2\x80\xab" "b\xe2\x80\xac" "c\xe2\x80\xad" "d\xe2\x80\xae" "e", 128, "bidi abcde"},
        {"isolates \xe2\x81\xa6x\xe2\x81\xa7y\xe2\x81\xa8z\xe2\x81\xa9", 128, "isolates xyz"},
        {"lines \xe2\x80\xa8one\xe2\x80\xa9two", 128, "lines onetwo"},
        {"dash \xe2\x80\x94 and ellipsis \xe2\x80\xa6 stay", 128, "dash \xe2\x80\x94 and ellipsis \xe2\x80\xa6 stay"},
        {"word joiner \xe2\x81\xa0 stays", 128, "word joiner \xe2\x81\xa0 stays"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(plainText(c.raw, c.limit), c.shown);
    }
}

}  // namespace

// What the keyboard brings under any locale is kept as UTF-8: well-formed
// UTF-8 as it is, a Latin-1 byte as its character.
TEST(TypedText, IsUtf8WhateverTheLocale)
{
    const struct {
        const char* raw;
        const char* stored;
    } cases[] = {
        {"Bo", "Bo"},
        {"Bo \xd1" "and\xfa", "Bo \xc3\x91" "and\xc3\xba"},
        {"Bo \xc3\x91" "and\xc3\xba", "Bo \xc3\x91" "and\xc3\xba"},
        {"\xe2\x82\xac and \xa3", "\xe2\x82\xac and \xc2\xa3"},
        {"\xc3", "\xc3\x83"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(typedText(c.raw), c.stored);
    }
}
