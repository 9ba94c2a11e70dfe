#include "players/strategy.h"

#include <cstdlib>

namespace {

constexpr int TEN = 10;
constexpr int JACK = 11;
constexpr int KING = 13;

// Ranks are compared whatever the suits; rules look at suits only where
// they say so.
bool outranks(const Card* x, const Card* y) { return x->rank > y->rank; }
bool isTen(const Card* c) { return c->rank == TEN; }

// The lowest and highest trump and plain card of a hand, found in one pass;
// strict comparisons keep the first card in hand order on equal ranks.
struct HandExtremes {
    Card* lowTrump = nullptr;
    Card* highTrump = nullptr;
    Card* lowPlain = nullptr;
    Card* highPlain = nullptr;
};

HandExtremes scanHand(Card* hand, char trump)
{
    HandExtremes e;
    for (Card* c = hand; c; c = c->next) {
        Card*& low = c->suit == trump ? e.lowTrump : e.lowPlain;
        Card*& high = c->suit == trump ? e.highTrump : e.highPlain;
        if (!low || c->rank < low->rank) low = c;
        if (!high || c->rank > high->rank) high = c;
    }
    return e;
}

// What the rule lists ask about one hand and trump suit.
struct Hand {
    Card* cards;
    char trump;

    bool isTrump(const Card* c) const { return c->suit == trump; }
    bool isTrumpJack(const Card* c) const { return isTrump(c) && c->rank == JACK; }
    bool isTrumpTen(const Card* c) const { return isTrump(c) && isTen(c); }
    Card* lowTrump() const { return lowestCard(cards, trump, true); }
    Card* highTrump() const { return highestCard(cards, trump, true); }
    Card* trumpJack() const { return findJack(cards, trump); }
    Card* trumpTen() const { return findTen(cards, trump); }
    Card* lowFollowing(char suit) const { return lowestFollowing(cards, trump, suit); }
    Card* highFollowing(char suit) const { return highestFollowing(cards, trump, suit); }
    Card* lowUnlessTen(char suit) const { return lowFollowingUnlessTen(cards, trump, suit); }
    Card* sparingJack() const { return lowTrumpSparingJack(cards, trump); }
    Card* guarded() const { return lowTrumpGuarded(cards, trump); }
};

Card* secondToPlay(const Hand& h, const Card* lead)
{
    const char suit = lead->suit;
    if (!h.isTrump(lead)) {
        if (lead->rank < TEN) return h.lowUnlessTen(suit);
        Card* high = h.highFollowing(suit);
        if (high->suit == suit && outranks(high, lead)) return high;
        if (isTen(lead)) {
            Card* low = lowestOfSuit(h.cards, h.trump);
            if (low && low->rank != JACK) return low;
        }
        return h.lowFollowing(suit);
    }
    if (lead->rank == JACK) {
        Card* high = h.highTrump();
        return h.isTrump(high) && high->rank > JACK ? high : h.lowTrump();
    }
    if (isTen(lead)) {
        Card* high = h.highTrump();
        if (h.isTrumpJack(high)) return h.lowTrump();
        if (h.isTrump(high) && high->rank > JACK) return high;
        return h.sparingJack();
    }
    return h.guarded();
}

Card* thirdToPlay(const Hand& h, const Card* second, const Card* lead)
{
    const char suit = lead->suit;
    const bool anyTen = isTen(lead) || isTen(second);
    if (h.isTrump(lead)) {
        if (lead->rank == JACK) {
            Card* high = h.highTrump();
            if (high->rank <= JACK) return h.lowTrump();
            if (!h.isTrump(second) || outranks(high, second)) return high;
            return h.lowTrump();
        }
        if (h.isTrumpJack(second)) {
            Card* high = h.highTrump();
            return high->rank > JACK && outranks(high, lead) ? high : h.lowTrump();
        }
        if (anyTen) {
            Card* high = h.highTrump();
            if (h.isTrumpJack(high)) return h.lowTrump();
            if (h.isTrump(second) && h.isTrump(high) && outranks(high, second)) return high;
            return h.sparingJack();
        }
        if (lead->rank >= KING && outranks(lead, second)) {
            if (Card* jack = h.trumpJack()) return jack;
            if (Card* ten = h.trumpTen()) return ten;
        }
        return h.guarded();
    }
    if (h.isTrumpJack(second)) {
        Card* high = h.highTrump();
        if (h.isTrump(high) && high->rank > JACK) return high;
    }
    if (anyTen) {
        Card* low = h.lowTrump();
        if (h.isTrump(low) && low->rank != JACK && (!h.isTrump(second) || outranks(low, second))) return low;
        Card* high = h.highFollowing(suit);
        if (high->suit == suit && high->rank > TEN && outranks(high, second) && !h.isTrump(second))
            return high;
        return h.lowUnlessTen(suit);
    }
    if (lead->rank > TEN || second->rank > TEN) {
        Card* high = h.highFollowing(suit);
        if (high->suit == suit && outranks(high, lead) && outranks(high, second)) return high;
        Card* low = h.lowTrump();
        if (h.isTrump(low) && low->rank <= TEN && (!h.isTrump(second) || outranks(low, second))) return low;
    }
    return h.lowUnlessTen(suit);
}

Card* fourthToPlay(const Hand& h, const Card* third, const Card* second, const Card* lead)
{
    const char suit = lead->suit;
    const bool thirdTrumps = h.isTrump(third);
    // Beats the lead and any trump from the right-hand opponent; the
    // partner's card does not count.
    auto takesByRank = [&](const Card* x) { return outranks(x, lead) && (!thirdTrumps || outranks(x, third)); };
    const bool partnerHolds = h.isTrump(second) && takesByRank(second);
    const bool anyTen = isTen(lead) || isTen(second) || isTen(third);

    if (h.isTrump(lead)) {
        if (h.isTrumpJack(lead) || h.isTrumpJack(second) || h.isTrumpJack(third)) {
            Card* low = h.lowTrump();
            if (partnerHolds || takesByRank(low)) return low;
            Card* high = h.highTrump();
            return takesByRank(high) ? high : low;
        }
        if (anyTen) {
            Card* high = h.highTrump();
            if (h.isTrump(high) && outranks(high, third) && outranks(high, lead)) return high;
            return h.sparingJack();
        }
        Card* jack = h.trumpJack();
        if (jack && (partnerHolds || takesByRank(jack))) return jack;
        Card* ten = h.trumpTen();
        if (ten && ((h.isTrump(second) && outranks(second, third) && outranks(second, lead)) ||
                    (third->rank < TEN && lead->rank < TEN)))
            return ten;
        return h.guarded();
    }

    // Against a trump from the right-hand opponent these two cases may play
    // a trump, or with no trump the lowest plain card of any suit, although
    // the hand holds the lead suit: the engine judges such a renege like a
    // person's.
    if (h.isTrumpJack(second)) {
        if (thirdTrumps) {
            if (outranks(second, third)) return h.lowFollowing(suit);
            Card* low = h.lowTrump();
            if (outranks(low, third)) return low;
            Card* high = h.highTrump();
            if (outranks(high, third)) return high;
            return h.lowFollowing(suit);
        }
        if (Card* ten = findTen(h.cards, suit)) return ten;
        return h.lowFollowing(suit);
    }
    if (h.isTrumpJack(third)) {
        if (h.isTrump(second) && outranks(second, third)) return h.lowFollowing(suit);
        Card* high = h.highTrump();
        if (high->rank > JACK) return high;
        return h.lowFollowing(suit);
    }
    Card* jack = h.trumpJack();
    if (jack && (!thirdTrumps || outranks(jack, third) || (h.isTrump(second) && outranks(second, third))))
        return jack;
    Card* ten = findTen(h.cards, suit);
    if (ten && !thirdTrumps &&
        ((outranks(second, third) && outranks(second, lead)) || (third->rank < TEN && lead->rank < TEN) ||
         h.isTrump(second)))
        return ten;
    // The highest of the lead suit, worth playing when it beats the lead and
    // the third card and the right-hand opponent did not trump.
    Card* high = h.highFollowing(suit);
    const bool highWins = high->suit == suit && outranks(high, third) && outranks(high, lead) && !thirdTrumps;
    if (anyTen) {
        if (highWins) return high;
        Card* low = h.lowTrump();
        if (!thirdTrumps) {
            if (h.isTrump(second)) return h.lowFollowing(suit);
            return h.isTrump(low) ? low : h.lowFollowing(suit);
        }
        if (h.isTrump(second) && outranks(second, third)) return h.lowFollowing(suit);
        if (h.isTrump(low) && outranks(low, third)) return low;
        Card* highTrump = h.highTrump();
        if (h.isTrump(highTrump) && outranks(highTrump, third)) return highTrump;
        return h.lowFollowing(suit);
    }
    if (lead->rank > TEN || second->rank > TEN || third->rank > TEN) {
        if (highWins) return high;
        Card* low = h.lowTrump();
        if (h.isTrump(low) && low->rank <= TEN && !h.isTrump(second) && (!thirdTrumps || outranks(low, third)))
            return low;
        return h.lowFollowing(suit);
    }
    return h.lowUnlessTen(suit);
}

Card* twoSeatFollowing(const Hand& h, const Card* lead)
{
    const char suit = lead->suit;
    if (!h.isTrump(lead)) {
        if (lead->rank < TEN) {
            if (Card* ten = findTen(h.cards, suit)) return ten;
        }
        if (Card* jack = h.trumpJack()) return jack;
        if (lead->rank < TEN) return h.lowUnlessTen(suit);
        Card* high = h.highFollowing(suit);
        if (high->suit == suit && outranks(high, lead)) return high;
        // A held trump jack went above, so the lowest trump is never it.
        Card* low = h.lowTrump();
        if (isTen(lead) && h.isTrump(low)) return low;
        if (lead->rank > TEN && h.isTrump(low) && low->rank < TEN) return low;
        return h.lowFollowing(suit);
    }
    if (lead->rank == JACK) {
        Card* high = h.highTrump();
        return h.isTrump(high) && high->rank > JACK ? high : h.lowTrump();
    }
    if (isTen(lead)) {
        Card* high = h.highTrump();
        return h.isTrump(high) && outranks(high, lead) ? high : h.sparingJack();
    }
    Card* jack = h.trumpJack();
    if (jack && outranks(jack, lead)) return jack;
    Card* ten = h.trumpTen();
    if (ten && outranks(ten, lead)) return ten;
    return h.guarded();
}

char trumpOf(const Card* kicked) { return kicked ? kicked->suit : 0; }

// Taken on every call, needed or not: the shuffle after the round reads the
// same generator.
int drawK() { return std::rand() % 3; }

}  // namespace

Card* lowestCard(Card* hand, char trump, bool trumpFirst)
{
    const HandExtremes e = scanHand(hand, trump);
    if (trumpFirst) return e.lowTrump ? e.lowTrump : e.lowPlain;
    return e.lowPlain ? e.lowPlain : e.lowTrump;
}

Card* highestCard(Card* hand, char trump, bool trumpFirst)
{
    const HandExtremes e = scanHand(hand, trump);
    if (trumpFirst) return e.highTrump ? e.highTrump : e.lowPlain;
    return e.highPlain ? e.highPlain : e.lowTrump;
}

Card* lowestFollowing(Card* hand, char trump, char suit)
{
    Card* low = lowestOfSuit(hand, suit);
    return low ? low : lowestCard(hand, trump, false);
}

Card* highestFollowing(Card* hand, char trump, char suit)
{
    Card* high = highestOfSuit(hand, suit);
    return high ? high : highestCard(hand, trump, false);
}

Card* findTen(Card* list, char suit) { return findCard(list, TEN, suit); }

Card* lowTrumpSparingJack(Card* hand, char trump)
{
    Card* low = lowestCard(hand, trump, true);
    if (low && low->suit == trump && low->rank == JACK) return highestCard(hand, trump, true);
    return low;
}

Card* lowTrumpGuarded(Card* hand, char trump)
{
    Card* low = lowestCard(hand, trump, true);
    if (!low || low->suit != trump) return low;
    if (low->rank == JACK) return highestCard(hand, trump, true);
    if (isTen(low)) {
        Card* high = highestCard(hand, trump, true);
        return high->rank == JACK ? low : high;
    }
    return low;
}

Card* lowFollowingUnlessTen(Card* hand, char trump, char suit)
{
    Card* low = lowestFollowing(hand, trump, suit);
    if (low && isTen(low)) return highestFollowing(hand, trump, suit);
    return low;
}

Card* leading(Card* hand, char trump, int k)
{
    if (k == 2) {
        Card* high = highestCard(hand, trump, true);
        if (high && high->rank > JACK) return high;
    }
    if (k == 0) {
        Card* low = lowestCard(hand, trump, false);
        return low && isTen(low) ? highestCard(hand, trump, false) : low;
    }
    Card* high = highestCard(hand, trump, false);
    return high && isTen(high) ? lowestCard(hand, trump, false) : high;
}

Card* chooseCard(Card* hand, Card* trick, Card* kicked)
{
    const int k = drawK();
    if (!hand) return nullptr;
    const Hand h{hand, trumpOf(kicked)};
    switch (countCards(trick)) {
    case 0: return leading(hand, h.trump, k);
    case 1: return secondToPlay(h, trick);
    case 2: return thirdToPlay(h, trick, trick->next);
    case 3: return fourthToPlay(h, trick, trick->next, trick->next->next);
    default: return nullptr;
    }
}

Card* chooseCardTwoSeat(Card* hand, Card* trick, Card* kicked)
{
    const int k = drawK();
    if (!hand) return nullptr;
    const Hand h{hand, trumpOf(kicked)};
    switch (countCards(trick)) {
    case 0: return leading(hand, h.trump, k);
    case 1: return twoSeatFollowing(h, trick);
    default: return nullptr;
    }
}
