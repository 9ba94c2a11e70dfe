#include "records/record_review.h"

#include <cstdio>

std::array<bool, 4> personSeats(const RecordHeader& header)
{
    std::array<bool, 4> seats{};
    for (int s = 0; s < 4; ++s) seats[s] = seatAtTable(s, header.seatCount) && header.kinds[s] == LOCAL_HUMAN;
    return seats;
}

std::optional<std::vector<ReviewDecision>> collectDecisions(const GameRecord& record, const std::array<bool, 4>& seats,
                                                            RecordError& error)
{
    const auto header = readRecordHeader(record, error);
    if (!header) return std::nullopt;
    RecordReplay replay(*header);
    DecisionCollector collector(seats);
    for (const RecordedAction& action : record.actions) {
        collector.before(replay.game(), action.action, action.line);
        if (!replay.apply(action, error)) return std::nullopt;
    }
    return std::move(collector.decisions);
}

ReviewSummary summarizeReview(const std::vector<ReviewedDecision>& reviewed)
{
    ReviewSummary s;
    double loss = 0;
    for (const ReviewedDecision& r : reviewed) {
        ++s.decisions;
        loss += r.loss();
        switch (gradeOf(r.loss())) {
        case ReviewGrade::INACCURACY: ++s.inaccuracies; break;
        case ReviewGrade::MISTAKE: ++s.mistakes; break;
        case ReviewGrade::BLUNDER: ++s.blunders; break;
        default: break;
        }
    }
    s.averageLoss = s.decisions ? loss / s.decisions : 0;
    return s;
}

std::string summaryText(const ReviewSummary& s)
{
    auto counted = [](int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); };
    char loss[32];
    std::snprintf(loss, sizeof loss, "%.1f", s.averageLoss);
    return counted(s.decisions, "decision", "decisions") + ": " + counted(s.inaccuracies, "inaccuracy", "inaccuracies") +
           ", " + counted(s.mistakes, "mistake", "mistakes") + ", " + counted(s.blunders, "blunder", "blunders") +
           "; average loss " + loss + " points";
}

std::string reviewText(const RecordHeader& header, const std::vector<ReviewedDecision>& reviewed)
{
    std::string text;
    for (const ReviewedDecision& r : reviewed) {
        const ReviewDecision& d = r.decision;
        char line[200];
        std::snprintf(line, sizeof line, "round %2d trick %d  line %3d  %-7s %-7s %5.1f%%  best %-6s %5.1f%%", d.round, d.trick,
                      d.line, header.names[d.view.seat].c_str(), choiceText(d.kind, d.choice).c_str(), 100 * r.chosen,
                      choiceText(d.kind, r.bestChoice).c_str(), 100 * r.best);
        text += line;
        const ReviewGrade grade = gradeOf(r.loss());
        if (grade != ReviewGrade::GOOD) {
            std::snprintf(line, sizeof line, "  -%.1f %s", r.loss(), gradeName(grade));
            text += line;
        }
        text += '\n';
    }
    return text + summaryText(summarizeReview(reviewed)) + "\n";
}
