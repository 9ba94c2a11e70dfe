#include "tools/selfplay/self_play.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <utility>

#include "engine/deal.h"
#include "engine/headless_table.h"
#include "engine/loopback.h"
#include "net/poll_loop.h"
#include "net/session.h"
#include "players/computer.h"
#include "tools/selfplay/game_watcher.h"

namespace {

class MemoryPlay {
public:
    MemoryPlay(const SelfPlayOptions& options, SelfPlayResult& result, std::ostream& log)
        : options_(options), result_(result), log_(log), players_(options), watcher_(game_, result, log, options.verbose), recorder_(makeRecorder(options))
    {
        watcher_.recordTo(recorder_.get());
        initGame(game_);
        game_.table = &table_;
        game_.outbox = &loop_;
        game_.computers = &players_.teams;
        game_.hooks = &watcher_;
        table_.deliverPending = [this] { deliverAll(); };
        game_.afterAction = [this](const GameAction& action) { watcher_.after(action); };
        table_.onRoundSummary = [this](const RoundSummary&) { watcher_.onRoundSummary(); };
        table_.onError = [this](const std::string& caption, const std::string& text) { watcher_.onError(caption, text); };
        if (options.paced) {
            rng_.seed(options.seed);
            players_.teams.setPace(&pace_);
        }
    }

    Players& players() { return players_; }

    bool playGame()
    {
        nameComputerSeats(game_, options_.seats);
        game_.seats[0].connection = 0;
        game_.rules = options_.rules;
        game_.sessionMode = MODE_LOCAL;
        game_.hosting = true;
        game_.turn = TURN_DEALING;
        watcher_.finished = false;
        chooseDealer(game_);
        deliverAll();
        if (options_.paced) playPaced();
        return watcher_.finished;
    }

private:
    // Moves go out as the simulated clock reaches them; now and then
    // something else arrives while a move waits.
    void playPaced()
    {
        while (!watcher_.finished) {
            if (!pace_.holds()) {
                // No move will ever come: the game stands still for good.
                nowMs_ += SimulatedPace::STALL_MS;
                ++result_.stalls;
                log_ << "stall: seed " << options_.seed << ", game " << result_.games + 1 << ", after "
                     << result_.actions << " actions, turn " << game_.turn << '\n';
                return;
            }
            if (pace_.interrupted()) {
                inject(rng_);
                ++result_.injected;
            } else {
                pace_.release();
            }
            deliverAll();
        }
        pace_.drop();
    }

    // Actions that leave the decision a computer's move waits on open.
    void inject(std::mt19937& rng)
    {
        int seat = static_cast<int>(rng() % 4);
        while (!game_.seatInPlay(seat)) seat = (seat + 1) % 4;
        switch (rng() % 5) {
        case 0:
            sendCallReneed(game_, seat);
            break;
        case 1:
            game_.seats[seat].standIn ? sendReturn(game_, seat) : sendTakeover(game_, seat);
            break;
        case 2:
            if (seat == game_.turn) seat = game_.nextSeat[seat];
            sendPlay(game_, seat, game_.seats[seat].hand);
            break;
        default:
            sendAction(game_, seat, UNKNOWN_ACTION, nullptr);
            break;
        }
    }

    static constexpr int UNKNOWN_ACTION = 77;

    void deliverAll()
    {
        auto& queue = loop_.pending();
        while (!queue.empty()) {
            const GameAction action = queue.front();
            queue.pop_front();
            receiveAction(game_, action);
        }
    }

    const SelfPlayOptions& options_;
    SelfPlayResult& result_;
    std::ostream& log_;
    GameState game_;
    HeadlessTable table_;
    MemoryLoopback loop_;
    long nowMs_ = 0;
    std::mt19937 rng_;
    SimulatedPace pace_{nowMs_, rng_};
    Players players_;
    GameWatcher watcher_;
    std::unique_ptr<RecordWriter> recorder_;
};

// The real session and transport: the process connects to its own
// listener and every action travels through loopback TCP.
class TcpPlay : public SessionUi, public MessageHandler {
public:
    TcpPlay(const SelfPlayOptions& options, SelfPlayResult& result, std::ostream& log)
        : options_(options),
          transport_(poll_, game_),
          session_(game_, transport_, *this),
          players_(options),
          watcher_(game_, result, log, options.verbose),
          recorder_(makeRecorder(options))
    {
        watcher_.recordTo(recorder_.get());
        initGame(game_);
        game_.table = &table_;
        game_.outbox = &transport_;
        game_.computers = &players_.teams;
        game_.hooks = &hooks_;
        hooks_.owner = this;
        poll_.attach(transport_);
        transport_.setHandler(this);
        table_.deliverPending = [this] {
            while (poll_.runOnce(0) > 0) {
            }
        };
        table_.onRoundSummary = [this](const RoundSummary&) { watcher_.onRoundSummary(); };
        table_.onError = [this](const std::string& caption, const std::string& text) { watcher_.onError(caption, text); };
        game_.afterAction = [this](const GameAction& action) { watcher_.after(action); };
        listening_ = transport_.openListener(options.basePort) != -1;
    }

    Players& players() { return players_; }

    bool playGame()
    {
        if (!listening_) return false;
        nameComputerSeats(game_, options_.seats);
        clearSeatName(game_.seats[1]);
        clearSeatName(game_.seats[2]);
        clearSeatName(game_.seats[3]);
        game_.seatCount = options_.seats;
        game_.localPlayers = 1;
        game_.pendingRules = options_.rules;
        watcher_.finished = false;
        session_.onStartGame();
        // The session seats the person at seat 0; here a computer plays it.
        game_.seats[0].kind = COMPUTER;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!watcher_.finished && std::chrono::steady_clock::now() < deadline) poll_.runOnce(100);
        // Let the closed loopback's far end be read before the next game.
        while (transport_.usedConnections() > 0 && poll_.runOnce(100) > 0) {
        }
        return watcher_.finished;
    }

    // SessionUi
    void scheduleSetupDialog() override {}
    void relayoutTable() override {}
    bool runAddPlayers() override { return false; }
    void listJoiner(int) override {}
    void unlistJoiner(int) override {}

    // MessageHandler: the session's; the watcher sees every applied action.
    void onAction(int slot, const GameAction& action) override { session_.onAction(slot, action); }
    void onSeating(int slot, const Seating& s) override { session_.onSeating(slot, s); }
    void onSeat(int slot, const SeatRecord& r) override { session_.onSeat(slot, r); }
    void onJoin(int slot, const JoinRecord& r) override { session_.onJoin(slot, r); }
    void onReady(int slot) override { session_.onReady(slot); }
    void onRules(int slot, const RuleSettings& r) override { session_.onRules(slot, r); }
    void onAccepted(int slot) override { session_.onAccepted(slot); }
    void onClosed(int slot) override { session_.onClosed(slot); }

private:
    // Game ends go to the watcher, then the session leaves its connections.
    struct Hooks : GameHooks {
        void recordGameResult(const GameState& game, int winner) override { owner->watcher_.recordGameResult(game, winner); }
        void endSession(GameState& game) override
        {
            owner->watcher_.endSession(game);
            owner->session_.endSession(game);
        }
        TcpPlay* owner = nullptr;
    };

    const SelfPlayOptions& options_;
    GameState game_;
    HeadlessTable table_;
    PollLoop poll_;
    Transport transport_;
    Session session_;
    Players players_;
    GameWatcher watcher_;
    std::unique_ptr<RecordWriter> recorder_;
    Hooks hooks_;
    bool listening_ = false;
};

template <typename Play>
void playAll(const SelfPlayOptions& options, SelfPlayResult& result, std::ostream& log)
{
    auto play = std::make_unique<Play>(options, result, log);
    for (int g = 0; g < options.games; ++g) {
        play->players().seatForGame(g);
        const long won0 = result.won[0];
        const long won1 = result.won[1];
        const bool finished = play->playGame();
        result.decisions = play->players().decisions();
        if (!finished) {
            result.allFinished = false;
            log << "game " << g + 1 << " did not finish\n";
            return;
        }
        ++result.games;
        const bool aOnTeam0 = play->players().aOnTeam0();
        if (result.won[0] > won0) ++(aOnTeam0 ? result.wonA : result.wonB);
        if (result.won[1] > won1) ++(aOnTeam0 ? result.wonB : result.wonA);
    }
}


}  // namespace

SelfPlayResult runSelfPlay(const SelfPlayOptions& options, std::ostream& log)
{
    SelfPlayResult result;
    std::srand(options.seed);
    const auto start = std::chrono::steady_clock::now();
    if (options.network)
        playNetworkGames(options, result, log);
    else if (options.transport == SelfPlayTransport::TCP)
        playAll<TcpPlay>(options, result, log);
    else
        playAll<MemoryPlay>(options, result, log);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

void printSummary(const SelfPlayResult& r, std::ostream& out, bool network, bool paced)
{
    char divergences[160] = "";
    if (network)
        std::snprintf(divergences, sizeof divergences, " drops=%ld rejoins=%ld hostlosses=%ld divergences=%ld", r.drops,
                      r.rejoins, r.hostLosses, r.divergences);
    if (paced)
        std::snprintf(divergences + std::strlen(divergences), sizeof divergences - std::strlen(divergences),
                      " injected=%ld stalls=%ld", r.injected, r.stalls);
    char decisions[128] = "";
    std::vector<double> ms;
    for (const auto& d : r.decisions)
        if (!d.forced) ms.push_back(d.ms);
    if (!ms.empty())
        std::snprintf(decisions, sizeof decisions, " decision_ms_median=%.1f decision_ms_p95=%.1f decision_ms_max=%.1f",
                      percentile(ms, 0.5), percentile(ms, 0.95), percentile(ms, 1.0));
    char line[512];
    std::snprintf(line, sizeof line,
                  "games=%ld rounds=%ld actions=%ld won0=%ld won1=%ld violations=%ld%s seconds=%.3f games_per_second=%.1f"
                  " wonA=%ld wonB=%ld%s",
                  r.games, r.rounds, r.actions, r.won[0], r.won[1], r.violations, divergences, r.seconds,
                  r.seconds > 0 ? r.games / r.seconds : 0.0, r.wonA, r.wonB, decisions);
    out << line << '\n';
}

namespace {

const std::pair<const char*, PlayerKind> PLAYER_KIND_NAMES[] = {{"standard", PlayerKind::STANDARD},
                                                                 {"expert", PlayerKind::EXPERT},
                                                                 {"random", PlayerKind::RANDOM},
                                                                 {"omniscient", PlayerKind::OMNISCIENT}};

bool parsePlayerKind(const std::string& text, PlayerKind& kind)
{
    for (const auto& [name, k] : PLAYER_KIND_NAMES)
        if (text == name) {
            kind = k;
            return true;
        }
    return false;
}

const char* playerKindName(PlayerKind kind)
{
    for (const auto& [name, k] : PLAYER_KIND_NAMES)
        if (k == kind) return name;
    return "standard";
}

}  // namespace

std::string sideName(const Side& side)
{
    const std::string first = playerKindName(side.first);
    return side.partner == side.first ? first : first + "+" + playerKindName(side.partner);
}

bool parseSide(const std::string& text, Side& side)
{
    const size_t plus = text.find('+');
    if (plus == std::string::npos) {
        if (!parsePlayerKind(text, side.first)) return false;
        side.partner = side.first;
        return true;
    }
    return parsePlayerKind(text.substr(0, plus), side.first) && parsePlayerKind(text.substr(plus + 1), side.partner);
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty()) return 0;
    const size_t at = static_cast<size_t>(fraction * (values.size() - 1) + 0.5);
    std::nth_element(values.begin(), values.begin() + at, values.end());
    return values[at];
}
