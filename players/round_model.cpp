#include "players/round_model.h"

#include <algorithm>

namespace {

constexpr int JACK_OFFSET = 11 - 2;

CardSet rankAcrossSuits(int rank)
{
    CardSet set = 0;
    for (int s = 0; s < 4; ++s) set |= cardBit(s * 13 + rank - 2);
    return set;
}

const CardSet TENS = rankAcrossSuits(10);
const CardSet JACKS = rankAcrossSuits(11);
const CardSet QUEENS = rankAcrossSuits(12);
const CardSet KINGS = rankAcrossSuits(13);
const CardSet ACES = rankAcrossSuits(14);

int popcount(CardSet s) { return __builtin_popcountll(s); }

// The team that has reached the target, team 0 first, or -1.
int reachedTarget(const RoundModel& r)
{
    if (r.scores[0] >= r.rules.target) return 0;
    if (r.scores[1] >= r.rules.target) return 1;
    return -1;
}

void capScores(RoundModel& r)
{
    for (auto& s : r.scores)
        if (s > r.rules.target) s = static_cast<int16_t>(r.rules.target);
}

void finishTrick(RoundModel& r)
{
    const int winner = trickWinnerOf(r.trump, r.trickCards.data(), r.trickSeats.data(), r.trickLength);
    const int winners = RoundModel::teamOf(winner);
    const int jack = r.trump * 13 + JACK_OFFSET;
    CardSet trick = 0;
    for (int i = 0; i < r.trickLength; ++i) {
        trick |= cardBit(r.trickCards[i]);
        if (r.trickCards[i] == jack)
            r.jackPoints[winners] =
                static_cast<int8_t>(RoundModel::teamOf(r.trickSeats[i]) == winners ? 1 : r.rules.hangJackPoints);
    }
    r.cardPoints[winners] = static_cast<int16_t>(r.cardPoints[winners] + cardPointsOf(trick));
    r.trickLength = 0;
    r.turn = static_cast<int8_t>(winner);
}

}  // namespace

int cardPointsOf(CardSet c)
{
    return 10 * popcount(c & TENS) + 4 * popcount(c & ACES) + 3 * popcount(c & KINGS) + 2 * popcount(c & QUEENS) +
           popcount(c & JACKS);
}

int trickWinnerOf(int trump, const int8_t* cards, const int8_t* seats, int length)
{
    int best = 0;
    for (int i = 1; i < length; ++i) {
        const int suit = cards[i] / 13;
        const int bestSuit = cards[best] / 13;
        // Within a suit the card index orders the ranks.
        if (suit == trump) {
            if (bestSuit != trump || cards[i] > cards[best]) best = i;
        } else if (suit == bestSuit && cards[i] > cards[best]) {
            best = i;
        }
    }
    return seats[best];
}

CardSet legalCards(const RoundModel& r)
{
    const CardSet hand = r.hands[r.turn];
    if (r.trickLength == 0) return hand;
    const int led = r.trickCards[0] / 13;
    const CardSet trumps = hand & r.trumps();
    switch (r.rules.forceFollow) {
    case FOLLOW_ALWAYS: {
        const CardSet following = hand & suitCards(led);
        return following ? following | trumps : hand;
    }
    case FOLLOW_ONLY_TRUMP:
        return led == r.trump && trumps ? trumps : hand;
    default:
        return hand;
    }
}

bool isUnderTrumpPlay(const RoundModel& r, int card)
{
    if (r.trickLength == 0 || card / 13 != r.trump || r.trickCards[0] / 13 == r.trump) return false;
    int lowest = CARD_COUNT;
    for (int i = 0; i < r.trickLength; ++i) {
        if (r.trickCards[i] / 13 != r.trump) continue;
        if (r.trickCards[i] <= card) return false;
        lowest = std::min(lowest, int(r.trickCards[i]));
    }
    if (lowest == CARD_COUNT) return false;
    // Only a seat that had something else to play is punished: a card of
    // another suit, or a trump above the trick's lowest.
    const CardSet rest = r.hands[r.turn] & ~cardBit(card);
    return (rest & ~r.trumps()) != 0 || (rest & r.trumps() & ~((cardBit(lowest) << 1) - 1)) != 0;
}

CardSet sensibleCards(const RoundModel& r)
{
    const CardSet legal = legalCards(r);
    if (r.rules.underTrumpPenalty == UNDER_TRUMP_NONE) return legal;
    CardSet kept = legal;
    for (CardSet t = legal & r.trumps(); t; t &= t - 1) {
        const int card = __builtin_ctzll(t);
        if (isUnderTrumpPlay(r, card)) kept &= ~cardBit(card);
    }
    return kept ? kept : legal;
}

void playCard(RoundModel& r, int card)
{
    const int seat = r.turn;
    const int team = RoundModel::teamOf(seat);
    if (r.rules.underTrumpPenalty != UNDER_TRUMP_NONE && isUnderTrumpPlay(r, card)) {
        if (r.rules.underTrumpPenalty == UNDER_TRUMP_BULLSEYE) {
            r.hands[seat] &= ~cardBit(card);
            r.bullseyeTeam = static_cast<int8_t>(1 - team);
            return;
        }
        r.scores[team] = static_cast<int16_t>(r.scores[team] - 1);
    }
    r.hands[seat] &= ~cardBit(card);
    r.playedBy[team] |= cardBit(card);
    r.trickCards[r.trickLength] = static_cast<int8_t>(card);
    r.trickSeats[r.trickLength] = static_cast<int8_t>(seat);
    ++r.trickLength;
    if (r.trickLength == r.seatCount)
        finishTrick(r);
    else
        r.turn = r.nextSeat[seat];
}

int scoreRound(RoundModel& r)
{
    if (r.bullseyeTeam >= 0) return r.bullseyeTeam;
    const CardSet trumps = (r.playedBy[0] | r.playedBy[1]) & r.trumps();
    int reached = -1;
    if (trumps) {
        const CardSet high = cardBit(63 - __builtin_clzll(trumps));
        const CardSet low = trumps & -trumps;
        r.scores[(r.playedBy[0] & high) ? 0 : 1] += 1;
        reached = reachedTarget(r);
        if (reached < 0) {
            r.scores[(r.playedBy[0] & low) ? 0 : 1] += 1;
            reached = reachedTarget(r);
        }
    }
    if (reached < 0) {
        r.scores[0] = static_cast<int16_t>(r.scores[0] + r.jackPoints[0]);
        r.scores[1] = static_cast<int16_t>(r.scores[1] + r.jackPoints[1]);
        reached = reachedTarget(r);
    }
    if (reached < 0) {
        int more = r.cardPoints[0] > r.cardPoints[1] ? 0 : r.cardPoints[1] > r.cardPoints[0] ? 1 : -1;
        if (more >= 0 && r.rules.noGamePointIfReneed && r.renegeCalled[more]) more = -1;
        if (more >= 0) r.scores[more] += 1;
        reached = reachedTarget(r);
    }
    capScores(r);
    return reached;
}

RoundModel roundFromView(const SeatView& v, const std::array<CardSet, 4>& hands)
{
    RoundModel r;
    r.seatCount = static_cast<int8_t>(v.seatCount);
    r.trump = static_cast<int8_t>(v.trumpSuit() < 0 ? 0 : v.trumpSuit());
    r.turn = static_cast<int8_t>(v.turn);
    r.nextDealerTeam = static_cast<int8_t>(RoundModel::teamOf(v.nextSeat[v.dealer]));
    for (int s = 0; s < 4; ++s) r.nextSeat[s] = static_cast<int8_t>(v.nextSeat[s]);
    r.hands = hands;
    r.trickLength = static_cast<int8_t>(v.trickLength);
    r.trickCards = v.trickCards;
    r.trickSeats = v.trickSeats;
    for (int s = 0; s < 4; ++s) r.playedBy[RoundModel::teamOf(s)] |= v.played[s];
    for (int t = 0; t < 2; ++t) {
        r.cardPoints[t] = static_cast<int16_t>(cardPointsOf(v.won[t]));
        r.jackPoints[t] = static_cast<int8_t>(v.jackPoints[t]);
        r.scores[t] = static_cast<int16_t>(v.scores[t]);
        r.renegeCalled[t] = v.renegeCalled[t];
    }
    r.rules = v.rules;
    return r;
}
