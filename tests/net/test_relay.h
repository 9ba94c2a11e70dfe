// Where the tests' transit relay listens: the relay fixture writes it to the
// file MARVANTO_TEST_RELAY names.
#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "net/invitation.h"

inline std::optional<RelayAddress> testRelay()
{
    const char* file = std::getenv("MARVANTO_TEST_RELAY");
    if (!file) return std::nullopt;
    std::ifstream in(file);
    std::string text;
    if (!std::getline(in, text)) return std::nullopt;
    return parseRelayAddress(text);
}

// Skips a test run outside CTest, where no relay was started for it.
#define REQUIRE_TEST_RELAY(relay)                                                      \
    const std::optional<RelayAddress> relay = testRelay();                            \
    if (!relay) GTEST_SKIP() << "no test relay: run through ctest (the relay fixture)"
