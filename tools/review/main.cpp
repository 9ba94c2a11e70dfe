// marvanto-review: the Expert's review of the decisions of the people in a
// recorded game, as text. Exit status 1, with the file's line and what is
// wrong, for a record it cannot read; 2 for a wrong command line.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "records/record_review.h"

namespace {

int usage(const std::string& why)
{
    std::cerr << "marvanto-review: " << why << "\n"
              << "usage: marvanto-review [--seat N]... [--samples N] FILE\n"
              << "  Reviews the decisions of the people at the machine that recorded the game,\n"
              << "  or of the seats given with --seat (0 to 3). --samples sets the deals the Expert\n"
              << "  samples for each decision (default 24, 12 for begs and their answers).\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string file;
    std::array<bool, 4> seats{};
    bool seatsGiven = false;
    ExpertSettings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return usage("the Expert's review of a game record");
        if (arg == "--seat" || arg == "--samples") {
            if (i + 1 >= argc) return usage("missing value after " + arg);
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0') return usage(arg + " takes a number");
            if (arg == "--seat") {
                if (n < 0 || n > 3) return usage("--seat takes 0 to 3");
                seats[n] = seatsGiven = true;
            } else {
                if (n < 1 || n > 1000) return usage("--samples takes 1 to 1000");
                settings.samples = static_cast<int>(n);
                settings.begSamples = std::max(1, static_cast<int>(n) / 2);
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option " + arg);
        } else if (!file.empty()) {
            return usage("one file at a time");
        } else {
            file = arg;
        }
    }
    if (file.empty()) return usage("no record file given");

    RecordError error;
    const auto record = readGameRecordFile(file, error);
    const auto header = record ? readRecordHeader(*record, error) : std::nullopt;
    if (!header) {
        std::cerr << "marvanto-review: " << describeRecordError(file, error) << '\n';
        return 1;
    }
    if (!seatsGiven) seats = personSeats(*header);
    for (int s = 0; s < 4; ++s)
        if (seats[s] && !seatAtTable(s, header->seatCount)) return usage("seat " + std::to_string(s) + " does not play in this game");
    if (seats == std::array<bool, 4>{}) {
        std::cerr << "marvanto-review: " << file << ": no person played at the recording machine; name a seat with --seat\n";
        return 1;
    }
    const auto decisions = collectDecisions(*record, seats, error);
    if (!decisions) {
        std::cerr << "marvanto-review: " << describeRecordError(file, error) << '\n';
        return 1;
    }
    const GameReviewer reviewer(settings);
    std::cout << reviewText(*header, reviewer.reviewAll(*decisions));
    return 0;
}
