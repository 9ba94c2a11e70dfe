#include "engine/digest.h"

namespace {

uint64_t mix(uint64_t h, int64_t v)
{
    h ^= static_cast<uint64_t>(v) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

// Who played a card counts only where it was played this round: a card in a
// hand may still carry the seat of an earlier game, which a process that
// started since (one that joined again, say) never saw.
uint64_t mixList(uint64_t h, const Card* list, bool played)
{
    for (; list; list = list->next) h = mix(mix(h, cardIndex(list)), played ? list->holder : -1);
    return mix(h, -1);
}

}  // namespace

uint64_t sharedDigest(const GameState& g)
{
    uint64_t h = 1469598103934665603ull;
    for (const Seat& s : g.seats) {
        h = mix(h, s.inPlay());
        h = mixList(h, s.hand, false);
        h = mix(h, s.reneged + 2 * s.renegedOnTrump + 4 * s.bareJack + 8 * s.highTrump + 16 * s.standIn);
    }
    for (const Team& t : g.teams) {
        h = mixList(h, t.pile, true);
        for (int32_t v : {t.score, t.cardPoints, t.jackPoints, t.startScore, t.jacksKicked, t.acesKicked,
                          t.sixesKicked, t.twosKicked, t.falseCalls})
            h = mix(h, v);
        h = mix(h, t.wonHigh + 2 * t.wonLow + 4 * t.wonGame + 8 * t.tookOne + 16 * t.renegeCalled);
    }
    h = mixList(h, g.trick, true);
    h = mixList(h, g.kicked, false);
    h = mix(h, countCards(g.deck));
    for (int32_t v : {g.trickCount, g.turn, g.dealer, g.seatCount}) h = mix(h, v);
    for (int32_t v : rulesFields(g.rules)) h = mix(h, v);
    return h;
}
