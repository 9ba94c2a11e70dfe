// Key events as the text fields are given them: their text UTF-8, whatever
// the locale.
#pragma once

#include <string>

#include <fx.h>

#include "net/utf8_text.h"

inline FXEvent typedKey(const void* ptr)
{
    FXEvent event = *static_cast<const FXEvent*>(ptr);
    const std::string text = typedText(std::string(event.text.text(), event.text.length()));
    event.text = FXString(text.data(), static_cast<FXint>(text.size()));
    return event;
}
