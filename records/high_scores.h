// The ten finished games won by the widest margin, kept in the settings
// registry under "Scores"/"Data" as a scrambled, TAB-separated text, and how
// each was played under "Scores"/"Played", a key of its own so that older
// programs read and write "Data" as they always did.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/game_state.h"
#include "records/settings_store.h"

// How a recorded game was played, as this program saw it.
struct PlayedAs {
    int seatCount = 4;  // 2: a Duvanto game
    // The seats this program's computers played, at which level. None in a
    // network game whose computers, if any, were another program's.
    int computerSeats = 0;
    std::string computerLevel;

    bool operator==(const PlayedAs& o) const;
};

struct HighScoreEntry {
    std::string winners;
    std::string losers;
    int32_t winnerScore = 0;
    int32_t loserScore = 0;
    // Unknown for the rows of the default table and for games recorded
    // before it was kept (or by a program that did not keep it).
    std::optional<PlayedAs> played{};

    // 64-bit so that hand-edited extreme scores cannot overflow.
    int64_t margin() const { return int64_t{winnerScore} - loserScore; }
    // A row of the default table: no game has reached it yet.
    bool empty() const;
};

// "Duvanto, Expert computer", "Standard computers", "network game"; empty
// when unknown.
std::string playedDescription(const std::optional<PlayedAs>& played);

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

// The "Played" text: one field a row, TAB-separated, each "?" when unknown
// or "check,seats,computer seats,level" ("-" for no level). The check is
// taken from the row's own stored text, so that a row moved or replaced by
// a program that writes only "Data" is not given another game's details.
std::string playedText(const HighScoreTable& table);
// Gives each row the details whose check matches it (its own field first),
// and none where no well-formed field does.
void applyPlayedText(HighScoreTable& table, const std::string& text);

// A missing or malformed "Data" gives the default table; a missing or
// malformed "Played" leaves rows without their details.
HighScoreTable loadHighScores(const SettingsStore& store);
// Writes without flushing: the registry reaches its file when next written.
void saveHighScores(const HighScoreTable& table, SettingsStore& store);

// Offers a finished game to the table and saves it if the game entered.
// The winner is the team with the higher score (team 1 on equal scores),
// whichever team the game was awarded to. computerLevel: the level this
// program's computer seats played at.
void recordGameResult(HighScoreTable& table, const GameState& game, SettingsStore& store,
                      const std::string& computerLevel);
