#include "players/expert_player.h"

#include <chrono>

#include "engine/table.h"

namespace {

template <typename Decide>
auto timed(std::vector<double>& times, Decide decide)
{
    const auto start = std::chrono::steady_clock::now();
    auto result = decide();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    return result;
}

}  // namespace

SeatView ExpertPlayer::viewOf(const GameState& game, int seat, bool begOpen) const
{
    return omniscient_ ? makeOmniscientView(game, seat, begOpen) : makeSeatView(game, seat, begOpen);
}

bool ExpertPlayer::begs(const GameState& game, int seat)
{
    const SeatView view = viewOf(game, seat, true);
    return timed(times_, [&] { return search_.begs(view); });
}

const Card* ExpertPlayer::cardToPlay(const GameState& game, int seat)
{
    const SeatView view = viewOf(game, seat, game.table->begEnabled());
    const int card = timed(times_, [&] { return search_.chooseCard(view); });
    return findCardByIndex(game.seats[seat].hand, card);
}

bool ExpertPlayer::dealerAcceptsBeg(const GameState& game)
{
    const SeatView view = viewOf(game, game.dealer, false);
    return timed(times_, [&] { return search_.runsPack(view); });
}
