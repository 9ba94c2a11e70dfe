#include "records/record_replay.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "engine/actions.h"
#include "engine/stand_in.h"

namespace {

bool parseNumber(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::atoi(text.c_str());
    return true;
}

bool parseRuleValues(const std::string& text, RuleSettings& rules)
{
    std::array<int32_t, RULES_FIELD_COUNT> fields{};
    std::istringstream in(text);
    std::string item;
    int n = 0;
    while (std::getline(in, item, ',')) {
        int v = 0;
        if (n >= RULES_FIELD_COUNT || !parseNumber(item, v)) return false;
        fields[n++] = v;
    }
    if (n != RULES_FIELD_COUNT) return false;
    rules = rulesFromFields(fields);
    return rulesAreOffered(rules);
}

bool dealing(int turn) { return turn == TURN_DEALING || turn == TURN_BEGGING; }

std::string seatText(int seat) { return "seat " + std::to_string(seat); }

}  // namespace

bool seatAtTable(int seat, int seatCount) { return seat >= 0 && seat < 4 && (seatCount == 4 || seat % 2 == 0); }

std::optional<RecordHeader> readRecordHeader(const GameRecord& record, RecordError& error)
{
    RecordHeader h;
    auto fail = [&error](const std::string& what) {
        error = {0, what};
        return std::nullopt;
    };
    const std::string seats = record.tag("Seats");
    if (seats != "4" && seats != "2") return fail("tag Seats must be 4 or 2, not \"" + seats + "\"");
    h.seatCount = seats[0] - '0';
    if (!parseRuleValues(record.tag("Rules"), h.rules))
        return fail("tag Rules must hold the eight rule values, comma-separated, each one the game offers");
    for (int s = 0; s < 4; ++s) {
        const std::string name = "Seat" + std::to_string(s);
        bool named = false;
        for (const auto& tag : record.tags) named = named || tag.first == name;
        if (!seatAtTable(s, h.seatCount)) {
            if (named) return fail("tag " + name + ": that seat does not play at a table of " + seats);
            continue;
        }
        if (!named) return fail("tag " + name + " is missing");
        h.names[s] = record.tag(name);
        if (!parseSeatKind(record.tag(name + "Kind"), h.kinds[s]))
            return fail("tag " + name + "Kind must be human, remote or computer");
    }
    const std::string result = record.tag("Result");
    if (result != "*") {
        const size_t dash = result.find('-');
        if (dash == std::string::npos || !parseNumber(result.substr(0, dash), h.scores[0]) ||
            !parseNumber(result.substr(dash + 1), h.scores[1]) || std::max(h.scores[0], h.scores[1]) > h.rules.target)
            return fail("tag Result must be * (unfinished) or the final score, team 0's first, as in \"14-9\"");
        h.finished = true;
    }
    h.level = record.tag("Level");
    h.mode = record.tag("Mode");
    h.date = record.tag("Date");
    h.time = record.tag("Time");
    return h;
}

RecordReplay::RecordReplay(const RecordHeader& header)
{
    initGame(game_);
    table_.owner = this;
    hooks_.owner = this;
    game_.table = &table_;
    game_.hooks = &hooks_;
    configureTable(game_, header.seatCount);
    for (int s = 0; s < 4; ++s) {
        if (!seatAtTable(s, header.seatCount)) continue;
        setSeatName(game_.seats[s], header.names[s]);
        // Remote to this copy: it deals, begs and plays nothing of its own.
        game_.seats[s].kind = REMOTE;
    }
    game_.rules = header.rules;
    game_.pendingRules = header.rules;
    // A follower of a stream, as a joined copy is; the last summary stays.
    game_.sessionMode = MODE_JOINED;
    game_.turn = TURN_DEALING;
}

void RecordReplay::EndHook::recordGameResult(const GameState& game, int)
{
    owner->ended_ = true;
    owner->finalScores_ = {shownScore(game, game.teams[0]), shownScore(game, game.teams[1])};
}

std::string RecordReplay::refusal(const GameAction& a) const
{
    const GameState& g = game_;
    if (ended_) return "an action after the game's end";
    if (!started_ && a.action != ACTION_SET_DEALER) return "the game must begin with its dealer (dealer:N)";
    const bool seatNeeded = a.action == ACTION_SET_DEALER || a.action == ACTION_PLAY || a.action == ACTION_DEAL ||
                            a.action == ACTION_CALL_RENEED || a.action == ACTION_TAKEOVER || a.action == ACTION_RETURN;
    if (seatNeeded && !g.seatInPlay(a.seat)) return seatText(a.seat) + " does not play in this game";
    switch (a.action) {
    case ACTION_SET_DEALER:
        if (started_) return "a second dealer: one record holds one game";
        break;
    case ACTION_PLAY:
        if (a.seat != g.turn) return seatText(a.seat) + " plays out of turn";
        if (!findCardByIndex(g.seats[a.seat].hand, a.card))
            return seatText(a.seat) + " does not hold " + cardToken(a.card);
        break;
    case ACTION_DEAL:
    case ACTION_KICK:
        if (!dealing(g.turn)) return "a card dealt during play";
        if (!findCardByIndex(g.deck, a.card)) return cardToken(a.card) + " is no longer in the pack";
        break;
    case ACTION_BEG:
        if (!begDecisionOpen(g)) return "a beg where none may be made";
        break;
    case ACTION_GIVE_ONE:
        if (g.turn != TURN_BEGGING) return "the dealer gives one without a beg";
        break;
    case ACTION_REDEAL:
        if (!dealing(g.turn)) return "a re-deal during play";
        break;
    default:
        break;
    }
    return {};
}

bool RecordReplay::apply(const RecordedAction& recorded, RecordError& error)
{
    const std::string why = refusal(recorded.action);
    if (!why.empty()) {
        error = {recorded.line, actionToken(recorded.action) + ": " + why};
        return false;
    }
    started_ = true;
    for (Seat& seat : game_.seats) seat.kind = REMOTE;
    receiveAction(game_, recorded.action);
    return true;
}

bool checkRecord(const GameRecord& record, RecordError& error, bool* ended)
{
    const auto header = readRecordHeader(record, error);
    if (!header) return false;
    RecordReplay replay(*header);
    for (const RecordedAction& action : record.actions)
        if (!replay.apply(action, error)) return false;
    if (ended) *ended = replay.ended();
    if (!header->finished) return true;
    const auto score = [](const std::array<int, 2>& s) { return std::to_string(s[0]) + "-" + std::to_string(s[1]); };
    const int last = record.actions.empty() ? 0 : record.actions.back().line;
    if (!replay.ended()) {
        error = {last, "the actions stop before the game's end, but the record says it ended " + score(header->scores)};
        return false;
    }
    if (replay.finalScores() != header->scores) {
        error = {last, "the game ends " + score(replay.finalScores()) + ", but the record says " + score(header->scores)};
        return false;
    }
    return true;
}
