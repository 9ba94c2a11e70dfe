// The computer's card choice: fixed rules over its own hand, the cards of the
// current trick and the trump suit, plus one draw from rand() per call.
#pragma once

#include "engine/cards.h"

// trick is newest first (the lead is its last card); the trump suit is the
// suit of the first card of kicked. Both return a card of the hand, or
// nullptr for an empty hand or a trick that is already complete.
Card* chooseCard(Card* hand, Card* trick, Card* kicked);
Card* chooseCardTwoSeat(Card* hand, Card* trick, Card* kicked);

// Finders. Ties go to the first card in hand order.
// trumpFirst: the lowest trump, else the lowest plain card; otherwise the
// other way round.
Card* lowestCard(Card* hand, char trump, bool trumpFirst);
// trumpFirst: the highest trump, else the LOWEST plain card; otherwise the
// highest plain card, else the LOWEST trump.
Card* highestCard(Card* hand, char trump, bool trumpFirst);
// The lowest (highest) card of the suit, else lowestCard (highestCard) with
// plain cards first.
Card* lowestFollowing(Card* hand, char trump, char suit);
Card* highestFollowing(Card* hand, char trump, char suit);
Card* findTen(Card* list, char suit);

// Tactics.
Card* lowTrumpSparingJack(Card* hand, char trump);
Card* lowTrumpGuarded(Card* hand, char trump);
Card* lowFollowingUnlessTen(Card* hand, char trump, char suit);
Card* leading(Card* hand, char trump, int k);
