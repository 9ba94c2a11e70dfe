#include "players/seat_view.h"

#include <tuple>

namespace {

// A seat that played a plain card off the suit led where the rules make it
// follow holds none of that suit (a trump may always be played).
void noteVoids(SeatView& view, const int8_t* cards, const int8_t* seats, int length)
{
    if (length < 2) return;
    const int trump = view.trumpSuit();
    const int led = cards[0] / 13;
    for (int i = 1; i < length; ++i) {
        const int suit = cards[i] / 13;
        if (suit == led) continue;
        switch (view.rules.forceFollow) {
        case FOLLOW_ALWAYS:
            if (suit != trump) view.voids[seats[i]] |= uint8_t(1u << led);
            break;
        case FOLLOW_ONLY_TRUMP:
            if (led == trump) view.voids[seats[i]] |= uint8_t(1u << led);
            break;
        default:
            break;
        }
    }
}

// A pile holds whole tricks, each newest card first, most recent trick first.
void readPile(SeatView& view, const Card* pile, int team)
{
    const int n = view.seatCount;
    while (pile) {
        int8_t cards[4];
        int8_t seats[4];
        int length = 0;
        for (; pile && length < n; pile = pile->next, ++length) {
            cards[n - 1 - length] = static_cast<int8_t>(cardIndex(pile));
            seats[n - 1 - length] = static_cast<int8_t>(pile->holder);
        }
        if (length < n) return;
        for (int i = 0; i < n; ++i) {
            view.played[seats[i]] |= cardBit(cards[i]);
            view.won[team] |= cardBit(cards[i]);
        }
        noteVoids(view, cards, seats, n);
    }
}

}  // namespace

CardSet cardSetOf(const Card* list)
{
    CardSet set = 0;
    for (; list; list = list->next) set |= cardBit(cardIndex(list));
    return set;
}

bool SeatView::operator==(const SeatView& o) const
{
    auto fields = [](const SeatView& v) {
        return std::tie(v.seat, v.seatCount, v.dealer, v.turn, v.nextSeat, v.scores, v.jackPoints, v.renegeCalled,
                        v.begOpen, v.gaveOne, v.hand, v.kicked, v.trumpCard, v.played, v.won, v.trickCards, v.trickSeats,
                        v.trickLength, v.handSizes, v.voids, v.allHandsKnown, v.hands);
    };
    return rules == o.rules && fields(*this) == fields(o);
}

SeatView makeSeatView(const GameState& game, int seat, bool begOpen)
{
    SeatView view;
    view.seat = seat;
    view.seatCount = game.seatCount;
    view.dealer = game.dealer;
    view.turn = game.turn;
    view.nextSeat = game.nextSeat;
    view.rules = game.rules;
    for (int t = 0; t < 2; ++t) {
        view.scores[t] = game.teams[t].score;
        view.jackPoints[t] = game.teams[t].jackPoints;
        view.renegeCalled[t] = game.teams[t].renegeCalled;
    }
    view.begOpen = begOpen;
    view.gaveOne = game.teams[1 - SeatView::teamOf(game.dealer)].tookOne;
    view.hand = cardSetOf(game.seats[seat].hand);
    view.kicked = cardSetOf(game.kicked);
    view.trumpCard = game.kicked ? cardIndex(game.kicked) : NO_CARD;
    for (int t = 0; t < 2; ++t) readPile(view, game.teams[t].pile, t);

    view.trickLength = countCards(game.trick);
    int i = view.trickLength;
    for (const Card* c = game.trick; c && i > 0; c = c->next) {
        --i;
        view.trickCards[i] = static_cast<int8_t>(cardIndex(c));
        view.trickSeats[i] = static_cast<int8_t>(c->holder);
        view.played[c->holder] |= cardBit(cardIndex(c));
    }
    noteVoids(view, view.trickCards.data(), view.trickSeats.data(), view.trickLength);
    for (int s = 0; s < 4; ++s)
        view.handSizes[s] = static_cast<int8_t>(game.seatInPlay(s) ? countCards(game.seats[s].hand) : 0);
    return view;
}

SeatView makeOmniscientView(const GameState& game, int seat, bool begOpen)
{
    SeatView view = makeSeatView(game, seat, begOpen);
    view.allHandsKnown = true;
    for (int s = 0; s < 4; ++s) view.hands[s] = game.seatInPlay(s) ? cardSetOf(game.seats[s].hand) : 0;
    return view;
}
