// The review measured: self-played games recorded, then every decision of
// seat 0 reviewed by the Expert at its default settings. Prints the review's
// processor time a game beside its floor (replaying the record and taking
// out the decisions, no search), and, for players of known strength, how
// much winning chance their decisions lose: what the grades' steps of 5, 10
// and 20 points were set from.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "records/record_review.h"
#include "tools/selfplay/self_play.h"

namespace {

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

double share(const std::vector<double>& losses, double from)
{
    if (losses.empty()) return 0;
    return 100.0 * std::count_if(losses.begin(), losses.end(), [from](double l) { return l >= from; }) / losses.size();
}

}  // namespace

int main(int argc, char** argv)
{
    // Usage: marvanto-review-bench [games for each player, 4]
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    const std::pair<const char*, PlayerKind> players[] = {
        {"expert", PlayerKind::EXPERT}, {"standard", PlayerKind::STANDARD}, {"random", PlayerKind::RANDOM}};
    std::vector<double> reviewSeconds, floorSeconds;
    for (const auto& [name, kind] : players) {
        char pattern[] = "/tmp/marvanto-review-XXXXXX";
        if (!mkdtemp(pattern)) return 1;
        SelfPlayOptions options;
        options.games = games;
        options.seed = 300;
        options.playerA = options.playerB = kind;
        // The players think less than the reviewer, which looks with the
        // Expert's own settings and another seed.
        options.expert.samples = 6;
        options.expert.begSamples = 3;
        options.recordFolder = pattern;
        std::ostringstream quiet;
        runSelfPlay(options, quiet);

        std::vector<double> losses;
        for (const auto& entry : std::filesystem::directory_iterator(pattern)) {
            RecordError error;
            const auto record = readGameRecordFile(entry.path().string(), error);
            const double start = cpuSeconds();
            const auto decisions = record ? collectDecisions(*record, {{true, false, false, false}}, error) : std::nullopt;
            const double collected = cpuSeconds();
            if (!decisions) {
                std::fprintf(stderr, "%s\n", describeRecordError(entry.path().string(), error).c_str());
                return 1;
            }
            ExpertSettings settings;
            settings.seed = 77;
            for (const ReviewedDecision& r : GameReviewer(settings).reviewAll(*decisions)) losses.push_back(r.loss());
            floorSeconds.push_back(collected - start);
            reviewSeconds.push_back(cpuSeconds() - start);
        }
        std::filesystem::remove_all(pattern);
        double mean = 0;
        for (double l : losses) mean += l;
        std::printf("losses player=%s decisions=%zu mean=%.2f p50=%.1f p90=%.1f p99=%.1f at_least_5=%.1f%% "
                    "at_least_10=%.1f%% at_least_20=%.1f%%\n",
                    name, losses.size(), losses.empty() ? 0.0 : mean / losses.size(), percentile(losses, 0.5),
                    percentile(losses, 0.9), percentile(losses, 0.99), share(losses, 5), share(losses, 10),
                    share(losses, 20));
    }
    std::printf("review games=%zu cpu_s_median=%.2f cpu_s_max=%.2f (goal: at most 10) floor_replay_ms_median=%.2f\n",
                reviewSeconds.size(), percentile(reviewSeconds, 0.5), percentile(reviewSeconds, 1.0),
                1000 * percentile(floorSeconds, 0.5));
    return 0;
}
