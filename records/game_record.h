// The text form of a game record (docs/game-record.md): tag pairs, then the
// game's actions as readable tokens, one round a line. Pure functions on
// text; the writer and the replay build on them.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/game_state.h"

struct RecordedAction {
    GameAction action;
    int line = 0;  // in the file, from 1
};

// A seat asked the Expert for a hint. Not an action of the game: the
// replay never sees it, only the statistics count it.
struct RecordedHint {
    int seat = 0;
    size_t before = 0;  // the actions recorded before it
};

struct GameRecord {
    // In file order; names are unique.
    std::vector<std::pair<std::string, std::string>> tags;
    std::vector<RecordedAction> actions;
    std::vector<RecordedHint> hints;

    // The value of a tag, or empty.
    std::string tag(const std::string& name) const;
    void setTag(const std::string& name, const std::string& value);
};

// Why a record cannot be read: the line (0 for the file as a whole) and
// what is wrong there.
struct RecordError {
    int line = 0;
    std::string what;
};

// "file: line 12: what" (or "file: what" for line 0), as every reader of
// records reports it.
std::string describeRecordError(const std::string& file, const RecordError& error);

// One action's token: "dealer:2", "0+Ah", "kick:7h", "beg", "give", "redeal",
// "3:Qs" (a play), "reneed:1", "takeover:2", "return:2". Empty for a code
// the game does not know.
std::string actionToken(const GameAction& action);
// The same token added to `out`, for the writer's buffer; false, adding
// nothing, for a code the game does not know.
bool appendActionToken(std::string& out, const GameAction& action);
std::optional<GameAction> parseActionToken(const std::string& token);
// "hint:0": seat 0 asked for a hint.
void appendHintToken(std::string& out, int seat);

// A seat's kind in the SeatNKind tags: "human" (a person at the recording
// machine), "remote", "computer".
const char* seatKindName(SeatKind kind);
bool parseSeatKind(const std::string& text, SeatKind& kind);
// The Mode tag: "local", "hosting", "joined".
const char* sessionModeName(SessionMode mode);

// `[Name "value"]` with backslash and double quote escaped.
std::string tagLine(const std::string& name, const std::string& value);

// Reads the whole text of a record; only the form is checked here, not
// whether the game would accept the actions (record_replay.h).
std::optional<GameRecord> parseGameRecord(const std::string& text, RecordError& error);

// Reads a file; a file that cannot be opened is an error of line 0.
std::optional<GameRecord> readGameRecordFile(const std::string& path, RecordError& error);
