#include "records/high_scores.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

namespace {

const char* const SCORES_SECTION = "Scores";
const char* const SCORES_KEY = "Data";
const char* const PLAYED_KEY = "Played";
const HighScoreEntry NOBODY{"Nobody", "Nobody", 0, 0, std::nullopt};
constexpr char TAB = '\t';
constexpr char SCRAMBLE_KEY = '\x9B';

// A TAB in a name would split it into two fields, a zero byte would end the
// text, and an empty name would vanish in a run of TABs; such names are kept
// with a space instead, in the table as well, so that it shows what it will
// read back.
std::string storableName(const std::string& name)
{
    if (name.empty()) return " ";
    std::string out = name;
    std::replace(out.begin(), out.end(), TAB, ' ');
    std::replace(out.begin(), out.end(), '\0', ' ');
    return out;
}

// A name byte 0x9B would scramble to a zero byte and cut the stored text
// short, and 0xE4 scrambles to DEL, where the FOX registry file stops reading
// a value. Both, and the escape byte 0xFF itself, are stored as 0xFF followed
// by 1, 2 or 3. 0xFF never occurs in UTF-8, so every name that is valid text
// without those bytes is stored unchanged, and no escape scrambles to zero,
// TAB or DEL.
constexpr char ESCAPE = '\xFF';
constexpr char ESCAPED[] = {SCRAMBLE_KEY, '\xE4', ESCAPE};
constexpr int ESCAPED_COUNT = sizeof ESCAPED;

std::string storedName(const std::string& name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : storableName(name)) {
        const int escaped = static_cast<int>(std::find(ESCAPED, ESCAPED + ESCAPED_COUNT, c) - ESCAPED);
        if (escaped < ESCAPED_COUNT) {
            out += ESCAPE;
            out += static_cast<char>(escaped + 1);
        } else {
            out += c;
        }
    }
    return out;
}

std::string nameFromStored(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const int code = i + 1 < field.size() ? field[i + 1] : 0;
        if (field[i] == ESCAPE && code >= 1 && code <= ESCAPED_COUNT) {
            out += ESCAPED[code - 1];
            ++i;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::optional<int32_t> parseScore(const std::string& token)
{
    int32_t value = 0;
    const char* end = token.data() + token.size();
    const auto [stop, error] = std::from_chars(token.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::vector<std::string> splitAtTabRuns(const std::string& text)
{
    std::vector<std::string> tokens;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(TAB, start), text.size());
        if (end > start) tokens.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return tokens;
}

std::string entryText(const HighScoreEntry& entry)
{
    return storedName(entry.winners) + TAB + storedName(entry.losers) + TAB + std::to_string(entry.winnerScore) + TAB +
           std::to_string(entry.loserScore);
}

// FNV-1a of the row's stored text, as 8 hex digits.
std::string rowCheck(const HighScoreEntry& entry)
{
    uint32_t hash = 2166136261u;
    for (const char c : entryText(entry)) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(hash));
    return digits;
}

constexpr char UNKNOWN_PLAYED[] = "?";
constexpr char NO_LEVEL[] = "-";
constexpr std::size_t LEVEL_MAX = 16;

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool isLevelName(const std::string& level)
{
    return !level.empty() && level.size() <= LEVEL_MAX &&
           std::all_of(level.begin(), level.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
}

struct PlayedField {
    std::string check;
    PlayedAs played;
};

std::optional<PlayedField> parsePlayedField(const std::string& field)
{
    const std::vector<std::string> parts = splitAt(field, ',');
    if (parts.size() != 4 || parts[0].size() != 8 ||
        !std::all_of(parts[0].begin(), parts[0].end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    const std::optional<int32_t> seats = parseScore(parts[1]);
    const std::optional<int32_t> computers = parseScore(parts[2]);
    if (!seats || (*seats != 2 && *seats != 4) || !computers || *computers < 0 || *computers >= *seats)
        return std::nullopt;
    const bool levelGiven = parts[3] != NO_LEVEL;
    if (levelGiven != (*computers > 0) || (levelGiven && !isLevelName(parts[3]))) return std::nullopt;
    return PlayedField{parts[0], PlayedAs{*seats, *computers, levelGiven ? parts[3] : std::string()}};
}

std::string playedField(const HighScoreEntry& entry, const PlayedAs& p)
{
    return rowCheck(entry) + ',' + std::to_string(p.seatCount) + ',' + std::to_string(p.computerSeats) + ',' +
           (p.computerSeats > 0 ? p.computerLevel : std::string(NO_LEVEL));
}

} // namespace

bool PlayedAs::operator==(const PlayedAs& o) const
{
    return seatCount == o.seatCount && computerSeats == o.computerSeats && computerLevel == o.computerLevel;
}

bool HighScoreEntry::empty() const
{
    return winners == NOBODY.winners && losers == NOBODY.losers && winnerScore == 0 && loserScore == 0 && !played;
}

std::string playedDescription(const std::optional<PlayedAs>& played)
{
    if (!played) return "";
    const std::string mode = played->seatCount == 2 ? "Duvanto, " : "";
    if (played->computerSeats == 0) return mode + "network game";
    return mode + played->computerLevel + (played->computerSeats == 1 ? " computer" : " computers");
}

HighScoreTable defaultHighScores()
{
    HighScoreTable table;
    table.fill(NOBODY);
    return table;
}

std::string formatTeamNames(const Team& team, int seatCount)
{
    if (seatCount == 4) return team.first->name + " && " + team.second->name;
    return team.first->name;
}

std::string highScoreText(const HighScoreTable& table)
{
    std::string text;
    for (const HighScoreEntry& entry : table) {
        if (&entry != &table.front()) text += TAB;
        text += entryText(entry);
    }
    return text;
}

std::string playedText(const HighScoreTable& table)
{
    std::string text;
    for (const HighScoreEntry& entry : table) {
        if (&entry != &table.front()) text += TAB;
        if (!entry.played) {
            text += UNKNOWN_PLAYED;
            continue;
        }
        text += playedField(entry, *entry.played);
    }
    return text;
}

void applyPlayedText(HighScoreTable& table, const std::string& text)
{
    std::vector<std::optional<PlayedField>> fields;
    for (const std::string& field : splitAt(text, TAB)) fields.push_back(parsePlayedField(field));
    for (HighScoreEntry& entry : table) entry.played.reset();
    if (fields.size() != HIGH_SCORE_COUNT) return;
    for (int i = 0; i < HIGH_SCORE_COUNT; ++i) {
        const std::string check = rowCheck(table[i]);
        const auto matches = [&check](const std::optional<PlayedField>& f) { return f && f->check == check; };
        auto found = matches(fields[i]) ? fields.begin() + i : std::find_if(fields.begin(), fields.end(), matches);
        if (found == fields.end()) continue;
        table[i].played = (*found)->played;
        found->reset();  // one game's details for one row
    }
}

std::optional<HighScoreTable> parseHighScoreText(const std::string& text)
{
    const std::vector<std::string> tokens = splitAtTabRuns(text);
    if (tokens.size() != 4 * HIGH_SCORE_COUNT) return std::nullopt;
    HighScoreTable table;
    for (int i = 0; i < HIGH_SCORE_COUNT; ++i) {
        const std::optional<int32_t> winnerScore = parseScore(tokens[4 * i + 2]);
        const std::optional<int32_t> loserScore = parseScore(tokens[4 * i + 3]);
        if (!winnerScore || !loserScore) return std::nullopt;
        table[i] = {nameFromStored(tokens[4 * i]), nameFromStored(tokens[4 * i + 1]), *winnerScore, *loserScore};
    }
    return table;
}

void scrambleText(std::string& text)
{
    for (char& c : text) {
        if (c == '\0') break;
        c = static_cast<char>(c ^ SCRAMBLE_KEY);
    }
}

std::optional<int> findHighScorePosition(const HighScoreTable& table, int64_t margin)
{
    for (int i = 0; i < HIGH_SCORE_COUNT; ++i)
        if (table[i].margin() < margin) return i + 1;
    return std::nullopt;
}

HighScoreTable loadHighScores(const SettingsStore& store)
{
    std::optional<std::string> text = store.readString(SCORES_SECTION, SCORES_KEY);
    if (!text) return defaultHighScores();
    scrambleText(*text);
    std::optional<HighScoreTable> table = parseHighScoreText(*text);
    if (!table) return defaultHighScores();
    if (const std::optional<std::string> played = store.readString(SCORES_SECTION, PLAYED_KEY))
        applyPlayedText(*table, *played);
    return *table;
}

void saveHighScores(const HighScoreTable& table, SettingsStore& store)
{
    std::string text = highScoreText(table);
    scrambleText(text);
    store.writeString(SCORES_SECTION, SCORES_KEY, text);
    store.writeString(SCORES_SECTION, PLAYED_KEY, playedText(table));
}

void recordGameResult(HighScoreTable& table, const GameState& game, SettingsStore& store,
                      const std::string& computerLevel)
{
    const int32_t scores[2] = {shownScore(game, game.teams[0]), shownScore(game, game.teams[1])};
    const int winner = scores[1] < scores[0] ? 0 : 1;
    const int loser = 1 - winner;
    PlayedAs played;
    played.seatCount = game.seatCount;
    for (const Seat& seat : game.seats)
        if (seat.inPlay() && seat.kind == COMPUTER) ++played.computerSeats;
    if (played.computerSeats > 0) played.computerLevel = computerLevel;
    HighScoreEntry entry{storableName(formatTeamNames(game.teams[winner], game.seatCount)),
                         storableName(formatTeamNames(game.teams[loser], game.seatCount)), scores[winner],
                         scores[loser], std::nullopt};
    // Kept only as the stored form can read it back.
    if (parsePlayedField(playedField(entry, played))) entry.played = played;
    const std::optional<int> position = findHighScorePosition(table, entry.margin());
    if (!position) return;
    const auto slot = table.begin() + (*position - 1);
    std::move_backward(slot, table.end() - 1, table.end());
    *slot = std::move(entry);
    saveHighScores(table, store);
}
