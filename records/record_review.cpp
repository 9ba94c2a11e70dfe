#include "records/record_review.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

constexpr char REVIEW_EVENT[] = "Marvanto review";
constexpr const char* KIND_WORDS[] = {"beg", "dealer", "card"};
// A review holds one line a decision of one game: far below this.
constexpr std::streamoff MAX_REVIEW_BYTES = 1 << 20;

// The choice back from its text, by the one function that writes it.
bool parseChoice(ReviewDecision::Kind kind, const std::string& text, int& choice)
{
    const int count = kind == ReviewDecision::CARD ? 52 : 2;
    for (int c = 0; c < count; ++c)
        if (choiceText(kind, c) == text) {
            choice = c;
            return true;
        }
    return false;
}

}  // namespace

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

std::string reviewPathFor(const std::string& recordPath)
{
    const std::string suffix = ".mvr";
    const bool named = recordPath.size() > suffix.size() &&
                       recordPath.compare(recordPath.size() - suffix.size(), suffix.size(), suffix) == 0;
    return (named ? recordPath.substr(0, recordPath.size() - suffix.size()) : recordPath) + ".review";
}

bool saveReview(const std::string& path, const std::vector<ReviewedDecision>& reviewed, std::string& error)
{
    std::string text = tagLine("Event", REVIEW_EVENT) + "\n\n";
    for (const ReviewedDecision& r : reviewed) {
        const ReviewDecision& d = r.decision;
        char line[160];
        std::snprintf(line, sizeof line, "%d %d %d %d %s %s %.4f %s %.4f\n", d.line, d.round, d.trick, d.view.seat,
                      KIND_WORDS[d.kind], choiceText(d.kind, d.choice).c_str(), r.chosen,
                      choiceText(d.kind, r.bestChoice).c_str(), r.best);
        text += line;
    }
    // Never half a file under the review's name.
    const std::string part = path + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            error = part + ": cannot be written";
            unlink(part.c_str());
            return false;
        }
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        error = path + ": cannot be put in place";
        unlink(part.c_str());
        return false;
    }
    return true;
}

std::optional<std::vector<ReviewedDecision>> loadReview(const std::string& path, RecordError& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = {0, "cannot be opened"};
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    if (in.tellg() > MAX_REVIEW_BYTES) {
        error = {0, "too big for a review"};
        return std::nullopt;
    }
    in.seekg(0);
    std::vector<ReviewedDecision> reviewed;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = {number, what};
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1) {
            if (line != tagLine("Event", REVIEW_EVENT)) return fail("not a review: it must begin " + tagLine("Event", REVIEW_EVENT));
            continue;
        }
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::istringstream fields(line);
        ReviewedDecision r;
        ReviewDecision& d = r.decision;
        std::string kind, choice, best, rest;
        if (!(fields >> d.line >> d.round >> d.trick >> d.view.seat >> kind >> choice >> r.chosen >> best >> r.best) ||
            (fields >> rest))
            return fail("a decision is: line round trick seat kind choice chance best-choice chance");
        int k = 0;
        while (k < 3 && kind != KIND_WORDS[k]) ++k;
        if (k == 3) return fail("\"" + kind + "\" is no kind of decision: beg, dealer or card");
        d.kind = static_cast<ReviewDecision::Kind>(k);
        if (d.view.seat < 0 || d.view.seat > 3) return fail("seat " + std::to_string(d.view.seat) + ": seats are 0 to 3");
        if (!parseChoice(d.kind, choice, d.choice) || !parseChoice(d.kind, best, r.bestChoice))
            return fail("\"" + choice + "\" or \"" + best + "\" is no choice of a " + kind + " decision");
        if (!(r.chosen >= 0 && r.chosen <= 1 && r.best >= 0 && r.best <= 1))
            return fail("a chance of winning is from 0 to 1");
        reviewed.push_back(r);
    }
    if (number == 0) return fail("empty: not a review");
    return reviewed;
}
