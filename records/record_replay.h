// A record played back through the real dispatcher in a game state of its
// own, with no screen and nobody to send anything: every seat is remote to
// it, so the recorded actions are the only thing that moves the game.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "engine/headless_table.h"
#include "records/game_record.h"

// The header's tags, checked and decoded.
struct RecordHeader {
    int seatCount = 4;
    RuleSettings rules;
    std::array<std::string, 4> names;
    // As the recording process saw them: "human" is a person at that machine.
    std::array<SeatKind, 4> kinds{{REMOTE, REMOTE, REMOTE, REMOTE}};
    std::string level;
    std::string mode;
    std::string date;
    std::string time;
    // The recorded end, when the Result tag gives one.
    bool finished = false;
    std::array<int, 2> scores{{0, 0}};
};

// Whether the seat plays at a table of that many seats (two: 0 and 2).
bool seatAtTable(int seat, int seatCount);

std::optional<RecordHeader> readRecordHeader(const GameRecord& record, RecordError& error);

class RecordReplay {
public:
    explicit RecordReplay(const RecordHeader& header);
    RecordReplay(const RecordReplay&) = delete;
    RecordReplay& operator=(const RecordReplay&) = delete;

    // The game as it stands after the actions applied so far.
    const GameState& game() const { return game_; }
    // A viewer may turn hands face up (a seat's kind) and turn the table;
    // apply() makes every seat remote again before the dispatcher runs.
    GameState& game() { return game_; }
    // Applies the next action of the record; false, with the reason, for an
    // action this game would refuse or ignore at this point (a hand-edited
    // or damaged record), and for anything after the game's end.
    bool apply(const RecordedAction& action, RecordError& error);

    bool ended() const { return ended_; }
    // The scores when the game ended.
    const std::array<int, 2>& finalScores() const { return finalScores_; }
    // What the table would show now: the last round's summary (until the
    // next round's first card), the last note and the last banner.
    const RoundSummary* summary() const { return summaryShown_ ? &summary_ : nullptr; }
    const std::string& note() const { return note_; }
    const std::string& announcement() const { return announcement_; }

private:
    struct ReplayTable : HeadlessTable {
        RecordReplay* owner = nullptr;
        void showNote(const std::string& text) override { owner->note_ = text; }
        void showAnnouncement(const std::string& text) override { owner->announcement_ = text; }
        void showRoundSummary(const RoundSummary& summary) override
        {
            owner->summary_ = summary;
            owner->summaryShown_ = true;
        }
        void closeRoundSummary() override { owner->summaryShown_ = false; }
    };
    struct EndHook : GameHooks {
        RecordReplay* owner = nullptr;
        void recordGameResult(const GameState& game, int) override;
        void endSession(GameState&) override {}
    };
    // Why the game would not take the action now, or empty.
    std::string refusal(const GameAction& action) const;

    GameState game_;
    ReplayTable table_;
    EndHook hooks_;
    bool ended_ = false;
    bool started_ = false;
    std::array<int, 2> finalScores_{{0, 0}};
    RoundSummary summary_;
    bool summaryShown_ = false;
    std::string note_;
    std::string announcement_;
};

// The whole record through a replay: ok when every action applies and the
// game ends as the Result tag says (or the tag says "*", unfinished).
// `ended` tells whether the replay reached the game's end.
bool checkRecord(const GameRecord& record, RecordError& error, bool* ended = nullptr);
