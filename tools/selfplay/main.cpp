// marvanto-selfplay: plays whole games among computer seats and checks the
// game after every applied action. Exit status 0 when every game finished
// without a violation.
#include <algorithm>
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
        << "                         [--network 4|3|2] [--computers N] [--drop P@A [--rejoin P@B]]\n"
        << "                         [--players A,B] [--samples N] [--budget N] [--paced] [--record DIR]\n"
        << "                         [--relay HOST:PORT]\n"
        << "  A and B: standard, expert, random or omniscient; A plays team 0 in every\n"
        << "  other game and team 1 in the rest. X+Y seats X at the team's first seat and\n"
        << "  Y at its partner's (expert+standard: an Expert with a standard partner).\n"
        << "  --samples and --budget set the Expert's sampled deals per decision and\n"
        << "  alpha-beta nodes per deal.\n"
        << "  --drop 0@A loses the host: every joiner must say so and go back to the setup,\n"
        << "  and the next game starts afresh (counted as hostlosses).\n"
        << "  --paced: each computer move waits 0 to 900 ms of simulated time, and during\n"
        << "  the waits reneed calls, takeovers, plays out of turn and unknown codes arrive\n"
        << "  (network games: reneed calls, and the --drop peer is lost at such a moment\n"
        << "  unless its count comes first); a game left with no move on its way for ten\n"
        << "  simulated seconds is a stall (counted as stalls).\n"
        << "  --record DIR writes a game record of every local game into DIR.\n"
        << "  --relay plays the network games through a transit relay at HOST:PORT, as\n"
        << "  internet games: invited, joined by code, every connection sealed.\n";
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

// "P@N": a peer and a count of actions.
bool parsePeerAt(const std::string& text, int& peer, long& count)
{
    const auto at = text.find('@');
    long p = 0;
    if (at == std::string::npos || !parseInt(text.substr(0, at).c_str(), p) || !parseInt(text.substr(at + 1).c_str(), count))
        return false;
    peer = static_cast<int>(p);
    return count >= 0;
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
        if (arg == "--paced") {
            options.paced = true;
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
        } else if (arg == "--computers") {
            if (!parseInt(value, n) || n < 0 || n > 2) return usage("--computers takes 0, 1 or 2");
            options.computers = static_cast<int>(n);
        } else if (arg == "--drop") {
            if (!parsePeerAt(value, options.dropPeer, options.dropAfter) || options.dropPeer < 0)
                return usage("--drop takes P@A: a peer (0 the host, 1 and up a joiner) and a count of actions");
        } else if (arg == "--rejoin") {
            int peer = -1;
            if (!parsePeerAt(value, peer, options.rejoinAfter))
                return usage("--rejoin takes P@B: the dropped peer and a count of actions");
            if (peer != options.dropPeer) return usage("--rejoin names the peer that --drop names, given before it");
            if (peer == 0) return usage("--rejoin takes a joiner: the host's loss ends the game");
        } else if (arg == "--record") {
            options.recordFolder = value;
        } else if (arg == "--relay") {
            options.relay = parseRelayAddress(value);
            if (!options.relay) return usage("--relay takes HOST:PORT, a transit relay's address");
        } else if (arg == "--transport") {
            if (std::strcmp(value, "memory") == 0)
                options.transport = SelfPlayTransport::MEMORY;
            else if (std::strcmp(value, "tcp") == 0)
                options.transport = SelfPlayTransport::TCP;
            else
                return usage("--transport takes memory or tcp");
        } else if (arg == "--opponent") {
            // The shorthand of the first self-play tool: standard against B.
            if (std::strcmp(value, "strategy") == 0)
                options.playerB = PlayerKind::STANDARD;
            else if (std::strcmp(value, "random") == 0)
                options.playerB = PlayerKind::RANDOM;
            else
                return usage("--opponent takes strategy or random");
            options.playerA = PlayerKind::STANDARD;
        } else if (arg == "--players") {
            const std::string text = value;
            const size_t comma = text.find(',');
            if (comma == std::string::npos || !parseSide(text.substr(0, comma), options.playerA) ||
                !parseSide(text.substr(comma + 1), options.playerB))
                return usage("--players takes A,B, each standard, expert, random or omniscient, or two joined by +");
        } else if (arg == "--samples") {
            if (!parseInt(value, n) || n < 1 || n > 1000) return usage("--samples takes a count from 1 to 1000");
            options.expert.samples = options.expert.maxSamples = static_cast<int>(n);
            options.expert.begSamples = options.expert.maxBegSamples = std::max(1, static_cast<int>(n) / 2);
        } else if (arg == "--budget") {
            if (!parseInt(value, n) || n < 1000) return usage("--budget takes a node count of at least 1000");
            options.expert.nodeBudget = n;
        } else {
            return usage(("unknown option " + arg).c_str());
        }
    }
    options.expert.seed = options.seed;
    for (const Side& side : {options.playerA, options.playerB})
        if (side.first != side.partner && options.seats != 4) return usage("--players with A+B needs four seats");
    if (options.computers > 0 && (options.network + options.computers != 4 || options.seats != 4))
        return usage("--computers N needs --network 4-N: one person at each machine, four seats in all");
    if (options.paced && !options.network && options.transport == SelfPlayTransport::TCP)
        return usage("--paced plays local games over the in-memory loop, or network games");
    if (!options.recordFolder.empty() && options.network)
        return usage("--record takes local games: not with --network");
    if (options.dropPeer >= options.network)
        return usage("--drop needs --network, and a peer that joins it");
    if (options.relay && options.network == 0) return usage("--relay needs --network");
    const SelfPlayResult result = runSelfPlay(options, std::cout);
    printSummary(result, std::cout, options.network != 0, options.paced);
    return result.violations == 0 && result.divergences == 0 && result.stalls == 0 && result.allFinished &&
                   result.games == options.games
               ? 0
               : 1;
}
