#include "engine/digest.h"

namespace {

uint64_t mix(uint64_t h, int64_t v)
{
    h ^= static_cast<uint64_t>(v) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

uint64_t mixList(uint64_t h, const Card* list)
{
    for (; list; list = list->next) h = mix(mix(h, cardIndex(list)), list->holder);
    return mix(h, -1);
}

}  // namespace

uint64_t sharedDigest(const GameState& g)
{
    uint64_t h = 1469598103934665603ull;
    for (const Seat& s : g.seats) {
        h = mix(h, s.inPlay());
        h = mixList(h, s.hand);
        h = mix(h, s.reneged + 2 * s.renegedOnTrump + 4 * s.bareJack + 8 * s.highTrump);
    }
    for (const Team& t : g.teams) {
        h = mixList(h, t.pile);
        for (int32_t v : {t.score, t.cardPoints, t.jackPoints, t.startScore, t.jacksKicked, t.acesKicked,
                          t.sixesKicked, t.twosKicked, t.falseCalls})
            h = mix(h, v);
        h = mix(h, t.wonHigh + 2 * t.wonLow + 4 * t.wonGame + 8 * t.tookOne + 16 * t.renegeCalled);
    }
    h = mixList(h, g.trick);
    h = mixList(h, g.kicked);
    h = mix(h, countCards(g.deck));
    for (int32_t v : {g.trickCount, g.turn, g.dealer, g.seatCount}) h = mix(h, v);
    for (int32_t v : rulesFields(g.rules)) h = mix(h, v);
    return h;
}
