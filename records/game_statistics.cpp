#include "records/game_statistics.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "engine/actions.h"
#include "records/record_review.h"

namespace {

bool has(const RoundSummaryColumn& column, const std::string& prefix)
{
    return std::any_of(column.lines.begin(), column.lines.end(),
                       [&prefix](const std::string& line) { return line.compare(0, prefix.size(), prefix) == 0; });
}

int gained(const RoundSummaryColumn& column)
{
    int n = 0;
    std::sscanf(column.gained.c_str(), "Gained %d", &n);
    return n;
}

// The person's decisions in the review kept beside the record, if any.
void addReview(GameStatistics& s, const std::string& recordPath, const std::array<bool, 4>& people)
{
    const std::string path = reviewPathFor(recordPath);
    std::error_code missing;
    if (!std::filesystem::exists(path, missing)) return;
    RecordError error;
    const auto reviewed = loadReview(path, error);
    if (!reviewed) {
        ++s.unreadableReviews;
        return;
    }
    for (const ReviewedDecision& r : *reviewed) {
        if (!people[r.decision.view.seat]) continue;
        ++s.reviewedDecisions;
        s.reviewLoss += r.loss();
    }
}

void addGame(GameStatistics& s, const GameRecord& record, const RecordHeader& header, const std::string& path)
{
    int person = -1;
    for (int seat = 0; seat < 4 && person < 0; ++seat)
        if (seatAtTable(seat, header.seatCount) && header.kinds[seat] == LOCAL_HUMAN) person = seat;
    if (person < 0) return;
    const int team = person / 2;
    RecordReplay replay(header);
    RecordError error;
    bool summaryShown = false;
    bool begAnswerDue = false;
    for (const RecordedAction& recorded : record.actions) {
        const GameAction& a = recorded.action;
        const GameState& g = replay.game();
        const bool ourBeg = a.action == ACTION_BEG && g.nextSeat[g.dealer] / 2 == team;
        const bool answer = begAnswerDue;
        const int falseCalls = g.teams[team].falseCalls;
        if (!replay.apply(recorded, error)) {
            ++s.unreadable;
            return;
        }
        begAnswerDue = ourBeg;
        if (ourBeg) ++s.begs;
        if (answer && a.action == ACTION_GIVE_ONE) ++s.begsGivenOne;
        if (answer && a.action == ACTION_DEAL) ++s.begsRunPack;
        if (a.action == ACTION_CALL_RENEED && a.seat / 2 == team)
            ++(replay.game().teams[team].falseCalls > falseCalls ? s.reneedsWrong : s.reneedsRight);
        const RoundSummary* summary = replay.summary();
        if (summary && !summaryShown) {
            const RoundSummaryColumn& ours = summary->teams[team];
            ++s.rounds;
            s.points += gained(ours);
            s.high += has(ours, "Played high");
            s.low += has(ours, "Played low");
            s.jack += has(ours, "Played jack") || has(ours, "Hung jack");
            s.game += has(ours, "Won game point");
            s.hungJacks += has(ours, "Hung jack");
            s.kicks += has(ours, "Kicked");
        }
        summaryShown = summary != nullptr;
    }
    const std::array<bool, 4> people = personSeats(header);
    for (const RecordedHint& hint : record.hints) s.hints += people[hint.seat];
    addReview(s, path, people);
    GameStatistics::Tally& tally = s.games[header.mode + ", " + header.level];
    ++tally.played;
    if (replay.ended()) {
        const auto& scores = replay.finalScores();
        tally.won += scores[team] > scores[1 - team];
        s.margins.push_back(scores[team] - scores[1 - team]);
    }
}

std::string percentOf(int part, int whole)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d (%.0f%%)", part, whole ? 100.0 * part / whole : 0.0);
    return text;
}

}  // namespace

GameStatistics gatherStatistics(const std::string& folder)
{
    GameStatistics s;
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> files;
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failed))
        if (entry.path().extension() == ".mvr") files.emplace_back(entry.last_write_time(failed), entry.path().string());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        RecordError error;
        const auto record = readGameRecordFile(file.second, error);
        const auto header = record ? readRecordHeader(*record, error) : std::nullopt;
        if (header)
            addGame(s, *record, *header, file.second);
        else
            ++s.unreadable;
    }
    return s;
}

std::string statisticsText(const GameStatistics& s)
{
    std::string text;
    for (const auto& [kind, tally] : s.games)
        text += "Games " + kind + ": " + std::to_string(tally.played) + " played, " + percentOf(tally.won, tally.played) +
                " won\n";
    char average[32];
    std::snprintf(average, sizeof average, "%.2f", s.rounds ? static_cast<double>(s.points) / s.rounds : 0.0);
    text += "Rounds: " + std::to_string(s.rounds) + ", " + average + " points a round\n";
    text += "High " + percentOf(s.high, s.rounds) + ", low " + percentOf(s.low, s.rounds) + ", jack " +
            percentOf(s.jack, s.rounds) + ", game " + percentOf(s.game, s.rounds) + "\n";
    text += "Begs: " + std::to_string(s.begs) + ", given one " + std::to_string(s.begsGivenOne) + ", pack run " +
            std::to_string(s.begsRunPack) + "\n";
    text += "Rounds with a scoring kick: " + std::to_string(s.kicks) + "; jacks hung: " + std::to_string(s.hungJacks) + "\n";
    text += "Reneed calls: " + std::to_string(s.reneedsRight) + " right, " + std::to_string(s.reneedsWrong) + " wrong\n";
    text += "Hints taken: " + std::to_string(s.hints) + "\n";
    if (s.reviewedDecisions) {
        char loss[32];
        std::snprintf(loss, sizeof loss, "%.1f", s.reviewLoss / s.reviewedDecisions);
        text += "Reviewed decisions: " + std::to_string(s.reviewedDecisions) + ", " + loss +
                " points of winning chance lost a decision\n";
    }
    if (s.unreadableReviews) text += "Reviews that could not be read: " + std::to_string(s.unreadableReviews) + "\n";
    if (s.unreadable) text += "Records that could not be read: " + std::to_string(s.unreadable) + "\n";
    return text;
}
