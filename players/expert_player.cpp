#include "players/expert_player.h"

#include <ctime>

#include "engine/table.h"

namespace {

// Processor time, not wall time: other programs on the machine do not
// count against the search.
double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

}  // namespace

template <typename Decide>
auto ExpertPlayer::timed(Decision::Kind kind, const SeatView& view, bool forced, Decide decide)
{
    const double start = threadMs();
    auto result = decide();
    decisions_.push_back({kind, view.seatCount, __builtin_popcountll(view.hand), threadMs() - start, forced});
    return result;
}

SeatView ExpertPlayer::viewOf(const GameState& game, int seat, bool begOpen) const
{
    return omniscient_ ? makeOmniscientView(game, seat, begOpen) : makeSeatView(game, seat, begOpen);
}

bool ExpertPlayer::begs(const GameState& game, int seat)
{
    const SeatView view = viewOf(game, seat, true);
    return timed(Decision::BEG, view, begIsForced(view), [&] { return search_.begs(view); });
}

const Card* ExpertPlayer::cardToPlay(const GameState& game, int seat)
{
    const SeatView view = viewOf(game, seat, game.table->begEnabled());
    const int card = timed(Decision::CARD, view, cardIsForced(view), [&] { return search_.chooseCard(view); });
    return findCardByIndex(game.seats[seat].hand, card);
}

bool ExpertPlayer::dealerAcceptsBeg(const GameState& game)
{
    const SeatView view = viewOf(game, game.dealer, false);
    return timed(Decision::DEALER, view, runIsForced(view), [&] { return search_.runsPack(view); });
}
