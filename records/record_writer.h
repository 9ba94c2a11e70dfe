// Writes a record of every game as it is played, fed by the actions the
// dispatcher applies: one file a game, opened at the game's first action
// (the dealer), written out at the end of every deal and every trick, and
// completed with the result when the game ends. A game that never ends
// keeps "*".
#pragma once

#include <functional>
#include <string>

#include "engine/game_state.h"

// $XDG_DATA_HOME/marvanto/games, or ~/.local/share/marvanto/games; empty
// when neither is known.
std::string defaultRecordFolder();

// Creates the folder and its parents; false when it cannot be had.
bool makeFolders(const std::string& folder);

class RecordWriter {
public:
    // `program` goes into the Program tag; `level` is asked at each game's
    // start for the Level tag.
    RecordWriter(std::string folder, std::string program, std::function<std::string()> level);
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // After each action the dispatcher applied.
    void onAction(const GameState& game, const GameAction& action);
    // The game has ended; the engine says so while it applies the game's
    // last action, before onAction sees that action.
    void onGameEnd(const GameState& game);
    // The person at `seat` asked for a hint; kept in the record for the
    // statistics, it is no action of the game.
    void onHint(int seat);

    // The file of the game being recorded or of the last one; empty before.
    const std::string& path() const { return path_; }
    // Why the last game could not be recorded, or empty.
    const std::string& error() const { return error_; }

private:
    void begin(const GameState& game);
    void write(const std::string& text);
    void flush();
    void close();
    void finish();

    std::string folder_;
    std::string program_;
    std::function<std::string()> level_;
    int fd_ = -1;
    std::string path_;
    std::string error_;
    // Files are named by the second the game began; games begun within one
    // second (self-play) are numbered on.
    std::string lastStamp_;
    int lastNumber_ = 0;
    // Where the Result tag's fixed-width slot begins; the end overwrites it.
    long resultOffset_ = 0;
    // Tokens not yet in the file, and the line they go on.
    std::string pending_;
    bool lineBegun_ = false;
    bool lineOnlyDealer_ = false;
    std::string result_;
};
