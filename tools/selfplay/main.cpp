// marvanto-selfplay: plays whole games among computer seats and checks the
// game after every applied action. Exit status 0 when every game finished
// without a violation.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/selfplay/self_play.h"

namespace {

void printUsage(std::ostream& out)
{
    out << "usage: marvanto-selfplay [--games N] [--seats 4|2] [--seed S] [--rules a,b,c,d,e,f,g,h]\n"
        << "                         [--transport memory|tcp] [--opponent strategy|random] [--verbose]\n"
        << "                         [--network 4|3|2]\n";
}

int usage(const char* why)
{
    std::cerr << "marvanto-selfplay: " << why << "\n";
    printUsage(std::cerr);
    return 2;
}

bool parseInt(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0';
}

bool parseRules(const std::string& text, RuleSettings& rules)
{
    std::array<int32_t, RULES_FIELD_COUNT> fields{};
    std::istringstream in(text);
    std::string item;
    int n = 0;
    while (std::getline(in, item, ',')) {
        long v = 0;
        if (n >= RULES_FIELD_COUNT || !parseInt(item.c_str(), v)) return false;
        fields[n++] = static_cast<int32_t>(v);
    }
    if (n != RULES_FIELD_COUNT) return false;
    rules = rulesFromFields(fields);
    return rulesAreOffered(rules);
}

}  // namespace

int main(int argc, char** argv)
{
    SelfPlayOptions options;
    options.seed = static_cast<unsigned>(std::time(nullptr));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            printUsage(std::cout);
            return 0;
        }
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (!value) return usage(("missing value after " + arg).c_str());
        ++i;
        if (arg == "--games") {
            if (!parseInt(value, n) || n < 0) return usage("--games takes a count");
            options.games = static_cast<int>(n);
        } else if (arg == "--seats") {
            if (!parseInt(value, n) || (n != 2 && n != 4)) return usage("--seats takes 4 or 2");
            options.seats = static_cast<int>(n);
        } else if (arg == "--seed") {
            if (!parseInt(value, n)) return usage("--seed takes a number");
            options.seed = static_cast<unsigned>(n);
        } else if (arg == "--rules") {
            if (!parseRules(value, options.rules)) return usage("--rules takes eight values the rule dialog offers");
        } else if (arg == "--network") {
            if (!parseInt(value, n) || n < 2 || n > 4) return usage("--network takes 4, 3 or 2");
            options.network = static_cast<int>(n);
        } else if (arg == "--transport") {
            if (std::strcmp(value, "memory") == 0)
                options.transport = SelfPlayTransport::MEMORY;
            else if (std::strcmp(value, "tcp") == 0)
                options.transport = SelfPlayTransport::TCP;
            else
                return usage("--transport takes memory or tcp");
        } else if (arg == "--opponent") {
            if (std::strcmp(value, "strategy") == 0)
                options.randomOpponent = false;
            else if (std::strcmp(value, "random") == 0)
                options.randomOpponent = true;
            else
                return usage("--opponent takes strategy or random");
        } else {
            return usage(("unknown option " + arg).c_str());
        }
    }
    const SelfPlayResult result = runSelfPlay(options, std::cout);
    printSummary(result, std::cout, options.network != 0);
    return result.violations == 0 && result.divergences == 0 && result.allFinished && result.games == options.games ? 0 : 1;
}
