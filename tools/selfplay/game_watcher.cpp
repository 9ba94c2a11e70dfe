#include "tools/selfplay/game_watcher.h"

#include <utility>

#include "engine/invariants.h"

namespace {

const char* const ACTION_NAMES[] = {"play", "beg", "give-one", "deal", "kick", "set-dealer", "redeal", "call-reneed",
                                    "takeover", "return"};

}  // namespace

void GameWatcher::after(const GameAction& action)
{
    ++result_.actions;
    if (verbose_) {
        const char* name = action.action >= 0 && action.action <= 9 ? ACTION_NAMES[action.action] : "unknown";
        log_ << name << " seat=" << action.seat << " card=" << action.card << " turn=" << game_.turn << '\n';
    }
    for (const std::string& v : gameViolations(game_, true)) report(v);
    const bool playBegins = (lastTurn_ == TURN_DEALING || lastTurn_ == TURN_BEGGING) && game_.isSeat(game_.turn);
    if (playBegins) {
        handSize_ = -1;
        for (const Seat& seat : game_.seats) {
            if (!seat.inPlay()) continue;
            const int n = countCards(seat.hand);
            if (handSize_ == -1) handSize_ = n;
            if (n != handSize_ || (n != 6 && n != 9 && n != 12))
                report("hands of unequal or wrong size when play begins: " + std::to_string(n));
        }
    }
    lastTurn_ = game_.turn;
    if (recorder_) recorder_->onAction(game_, action);
}

void GameWatcher::onRoundSummary()
{
    ++result_.rounds;
    const int played = countCards(game_.teams[0].pile) + countCards(game_.teams[1].pile);
    if (played != handSize_ * game_.seatCount)
        report("round of " + std::to_string(handSize_) + " cards each played " + std::to_string(played) + " cards");
}

void GameWatcher::recordGameResult(const GameState& game, int winnerTeam)
{
    if (recorder_) recorder_->onGameEnd(game);
    if (winnerTeam == 0 || winnerTeam == 1) ++result_.won[winnerTeam];
}

void GameWatcher::report(const std::string& what)
{
    ++result_.violations;
    if (result_.violations <= 20) log_ << "violation: " << what << '\n';
}

std::unique_ptr<RecordWriter> makeRecorder(const SelfPlayOptions& options)
{
    if (options.recordFolder.empty()) return nullptr;
    const std::string level = sideName(options.playerA) + "," + sideName(options.playerB);
    return std::make_unique<RecordWriter>(options.recordFolder, "marvanto-selfplay", [level] { return level; });
}

void nameComputerSeats(GameState& game, int seats)
{
    configureTable(game, seats);
    for (int s = 0; s < 4; ++s) {
        if (seats == 2 && s % 2 == 1) continue;
        setSeatName(game.seats[s], "Computer " + std::to_string(s));
        game.seats[s].kind = COMPUTER;
        game.seats[s].connection = -1;
    }
}

Players::Players(const SelfPlayOptions& options)
    : teams(strategy_, strategy_), options_(options), expert_(options.expert), omniscient_(options.expert, true)
{
    seatForGame(0);
}

TurnDriver& Players::player(PlayerKind kind)
{
    switch (kind) {
    case PlayerKind::EXPERT: return expert_;
    case PlayerKind::RANDOM: return random_;
    case PlayerKind::OMNISCIENT: return omniscient_;
    default: return strategy_;
    }
}

PairPlayers& Players::side(PairPlayers& pair, const Side& kinds)
{
    pair.seat(player(kinds.first), player(kinds.partner));
    return pair;
}

void Players::seatForGame(int game)
{
    aOnTeam0_ = game % 2 == 0;
    TurnDriver& a = side(sideA_, options_.playerA);
    TurnDriver& b = side(sideB_, options_.playerB);
    if (aOnTeam0_)
        teams.seat(a, b);
    else
        teams.seat(b, a);
}

std::vector<ExpertPlayer::Decision> Players::decisions() const
{
    std::vector<ExpertPlayer::Decision> all = expert_.decisions();
    all.insert(all.end(), omniscient_.decisions().begin(), omniscient_.decisions().end());
    return all;
}

void SimulatedPace::hold(std::function<void()> send)
{
    held_ = std::move(send);
    dueMs_ = nowMs_ + std::uniform_int_distribution<long>(0, MAX_WAIT_MS)(rng_);
}

void SimulatedPace::release()
{
    nowMs_ = dueMs_;
    std::exchange(held_, nullptr)();
}

bool SimulatedPace::interrupted()
{
    constexpr unsigned ONE_WAIT_IN = 6;
    if (rng_() % ONE_WAIT_IN != 0) return false;
    nowMs_ += std::uniform_int_distribution<long>(0, dueMs_ - nowMs_)(rng_);
    return true;
}
