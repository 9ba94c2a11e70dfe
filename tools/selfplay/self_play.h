// Headless play: whole games among computer seats through the real
// dispatcher and senders, over an in-memory loop or real loopback TCP,
// with the game's invariants checked after every applied action.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/rules.h"
#include "net/invitation.h"
#include "players/expert_player.h"

enum class SelfPlayTransport { MEMORY, TCP };

// Who plays for a team. The omniscient player is the Expert's search
// allowed to see every hand: a ceiling for measuring, never offered in the
// program.
enum class PlayerKind { STANDARD, EXPERT, RANDOM, OMNISCIENT };
// One kind at both seats of a team, or one at the team's first seat and
// another at its partner's (four seats only).
struct Side {
    Side(PlayerKind kind = PlayerKind::STANDARD) : first(kind), partner(kind) {}
    PlayerKind first;
    PlayerKind partner;
};
// "standard", "expert", "random", "omniscient", or two of them joined by a
// '+' (the first seat's and the partner's); false for anything else.
bool parseSide(const std::string& text, Side& side);
// "standard" or "standard+expert": a side as --players takes it.
std::string sideName(const Side& side);

struct SelfPlayOptions {
    int games = 100;
    int seats = 4;
    unsigned seed = 1;
    RuleSettings rules;
    SelfPlayTransport transport = SelfPlayTransport::MEMORY;
    // Player A and player B. A plays for team 0 in the odd-numbered games
    // and for team 1 in the even-numbered ones, so that neither profits
    // from the seats.
    Side playerA;
    Side playerB;
    ExpertSettings expert;
    // Prints every applied action.
    bool verbose = false;
    // First listening port tried by the tcp transport.
    uint16_t basePort = 4100;
    // Peer processes of a network game (4, 3 or 2), each with its own game
    // copy, listener and session; 0 plays a local game.
    int network = 0;
    // Seats of a network game played by computers at the host; every peer
    // then seats one person, so peers and computers make four.
    int computers = 0;
    // In every game, this peer's process closes after it applied dropAfter
    // actions (-1: none does); with rejoinAfter >= 0 it joins again once the
    // host applied that many more. Peer 0 is the host: its loss ends the
    // game, and it hosts the next one afresh.
    int dropPeer = -1;
    long dropAfter = 0;
    long rejoinAfter = -1;
    // Every computer move waits the table's pace, 0 to 900 ms of simulated
    // time, and during the waits reneed calls, takeovers and returns, plays
    // out of turn and unknown codes arrive at random moments.
    bool paced = false;
    // Local games write a record each into this folder (none when empty).
    std::string recordFolder;
    // Network games as internet games through this relay: the host invites,
    // the joiners join (and come back) by its code, and every connection is
    // sealed and goes through the relay.
    std::optional<RelayAddress> relay;
};

struct SelfPlayResult {
    long games = 0;
    long rounds = 0;
    long actions = 0;
    long won[2] = {0, 0};
    long wonA = 0;
    long wonB = 0;
    // Every decision of the Expert and omniscient players.
    std::vector<ExpertPlayer::Decision> decisions;
    long violations = 0;
    // Network games: points of the action stream where the copies differed.
    long divergences = 0;
    // Peers that left mid-game, and those whose seat came back to them;
    // games that ended because the host left.
    long drops = 0;
    long rejoins = 0;
    long hostLosses = 0;
    // Paced games: actions injected during the waits, and the games that
    // stopped with nobody to move on.
    long injected = 0;
    long stalls = 0;
    bool allFinished = true;
    double seconds = 0;
};

SelfPlayResult runSelfPlay(const SelfPlayOptions& options, std::ostream& log);
// The network games of runSelfPlay.
void playNetworkGames(const SelfPlayOptions& options, SelfPlayResult& result, std::ostream& log);

// "games=N rounds=R actions=A won0=W0 won1=W1 violations=V seconds=T games_per_second=G
// wonA=A wonB=B", with " drops=P rejoins=R hostlosses=H divergences=D" after violations for network games,
// " injected=I stalls=S" after them for paced games and " decision_ms_median=M decision_ms_p95=P
// decision_ms_max=X" (forced decisions left out) when searching players played.
void printSummary(const SelfPlayResult& result, std::ostream& out, bool network = false, bool paced = false);
// The fraction-th smallest of the values (0.5 the median, 1 the largest);
// 0 for none.
double percentile(std::vector<double> values, double fraction);
