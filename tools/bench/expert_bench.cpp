// Decision times of the Expert at its default settings: whole games against
// the standard players, two and four seats, every decision timed in the
// processor time of the thread that searched (one core, whatever else the
// machine runs). Prints the figures by kind of decision and hand size;
// forced decisions, which make no search, are left out.
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <tuple>

#include "tools/selfplay/self_play.h"

namespace {

const char* kindName(ExpertPlayer::Decision::Kind kind)
{
    switch (kind) {
    case ExpertPlayer::Decision::BEG: return "beg";
    case ExpertPlayer::Decision::DEALER: return "dealer";
    default: return "card";
    }
}

void report(const std::string& label, const std::vector<double>& ms)
{
    std::ostringstream line;
    line.setf(std::ios::fixed);
    line.precision(1);
    line << label << " count=" << ms.size() << " median_ms=" << percentile(ms, 0.5)
         << " p95_ms=" << percentile(ms, 0.95) << " max_ms=" << percentile(ms, 1.0);
    std::cout << line.str() << '\n';
}

}  // namespace

int main(int argc, char** argv)
{
    const int games = argc > 1 ? std::atoi(argv[1]) : 12;
    for (int seats : {4, 2}) {
        SelfPlayOptions options;
        options.games = games;
        options.seats = seats;
        options.seed = 1;
        options.playerA = PlayerKind::EXPERT;
        options.playerB = PlayerKind::STANDARD;
        const SelfPlayResult result = runSelfPlay(options, std::cerr);

        std::map<std::tuple<int, int>, std::vector<double>> byKind;
        std::vector<double> all;
        for (const auto& d : result.decisions) {
            if (d.forced) continue;
            byKind[{d.kind, d.handSize}].push_back(d.ms);
            all.push_back(d.ms);
        }
        for (const auto& [key, ms] : byKind)
            report("expert seats=" + std::to_string(seats) + " decision=" +
                       kindName(static_cast<ExpertPlayer::Decision::Kind>(std::get<0>(key))) +
                       " hand=" + std::to_string(std::get<1>(key)),
                   ms);
        report("expert seats=" + std::to_string(seats) + " all games=" + std::to_string(result.games), all);
    }
    return 0;
}
