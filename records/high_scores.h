// The ten finished games won by the widest margin, kept in the settings
// registry under "Scores"/"Data" as a scrambled, TAB-separated text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/game_state.h"
#include "records/settings_store.h"

struct HighScoreEntry {
    std::string winners;
    std::string losers;
    int32_t winnerScore = 0;
    int32_t loserScore = 0;

    // 64-bit so that hand-edited extreme scores cannot overflow.
    int64_t margin() const { return int64_t{winnerScore} - loserScore; }
};

constexpr int HIGH_SCORE_COUNT = 10;

// Ordered by descending margin; among equal margins the earlier game first.
using HighScoreTable = std::array<HighScoreEntry, HIGH_SCORE_COUNT>;

// Ten entries "Nobody", "Nobody", 0, 0.
HighScoreTable defaultHighScores();

// "first && second" with four seats, the first seat's name with two. The
// doubled ampersand is how a label shows one, and is what is stored.
std::string formatTeamNames(const Team& team, int seatCount);

// The text form: the four fields of each entry in table order, every field
// but the last followed by one TAB, scores as "%d". Name bytes that the
// stored form cannot carry are replaced or escaped (high_scores.cpp).
std::string highScoreText(const HighScoreTable& table);

// Reads the text form; a run of TABs is one separator. None unless the text
// holds exactly ten entries with decimal 32-bit scores.
std::optional<HighScoreTable> parseHighScoreText(const std::string& text);

// XOR 0x9B of every byte up to the first zero byte; its own inverse.
void scrambleText(std::string& text);

// The first position (1 to 10) whose entry has a margin below the given
// one, or none.
std::optional<int> findHighScorePosition(const HighScoreTable& table, int64_t margin);

// A missing or malformed entry gives the default table.
HighScoreTable loadHighScores(const SettingsStore& store);
// Writes without flushing: the registry reaches its file when next written.
void saveHighScores(const HighScoreTable& table, SettingsStore& store);

// Offers a finished game to the table and saves it if the game entered.
// The winner is the team with the higher score (team 1 on equal scores),
// whichever team the game was awarded to.
void recordGameResult(HighScoreTable& table, const GameState& game, SettingsStore& store);
