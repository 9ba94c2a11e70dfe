#include "engine/cards.h"

#include <cstdlib>
#include <cstring>

int suitNumber(char suit)
{
    switch (suit) {
    case 'D': return 0;
    case 'C': return 1;
    case 'H': return 2;
    default: return 3;
    }
}

const char* suitName(char suit)
{
    static const char* const NAMES[4] = {"Diamonds", "Clubs", "Hearts", "Spades"};
    return NAMES[suitNumber(suit)];
}

int cardIndex(const Card* card) { return suitNumber(card->suit) * 13 + (card->rank - 2); }

bool isCardIndex(int index) { return index >= 0 && index < CARD_COUNT; }

char suitOfIndex(int index) { return SUIT_OF_NUMBER[index / 13 < 3 ? index / 13 : 3]; }

int rankOfIndex(int index) { return index % 13 + 2; }

namespace {
constexpr char TOKEN_RANKS[] = "23456789TJQKA";
constexpr char TOKEN_SUITS[] = "dchs";  // by suit number
}  // namespace

std::string cardToken(int index)
{
    if (!isCardIndex(index)) return "?";
    return {TOKEN_RANKS[index % 13], TOKEN_SUITS[index / 13]};
}

int parseCardToken(const std::string& token)
{
    if (token.size() != 2 || !token[0] || !token[1]) return NO_CARD;
    const char* rank = std::strchr(TOKEN_RANKS, token[0]);
    const char* suit = std::strchr(TOKEN_SUITS, token[1]);
    if (!rank || !suit) return NO_CARD;
    return static_cast<int>(suit - TOKEN_SUITS) * 13 + static_cast<int>(rank - TOKEN_RANKS);
}

int cardValue(const Card* card)
{
    switch (card->rank) {
    case 10: return 10;
    case 14: return 4;
    case 13: return 3;
    case 12: return 2;
    case 11: return 1;
    default: return 0;
    }
}

int countCards(const Card* list)
{
    int n = 0;
    for (; list; list = list->next) ++n;
    return n;
}

Card* nthCard(Card* list, int n)
{
    if (n < 0) return nullptr;
    for (; list && n > 0; --n) list = list->next;
    return list;
}

Card* removeCard(Card* list, Card* card)
{
    if (list == card) {
        Card* rest = card->next;
        card->next = nullptr;
        return rest;
    }
    for (Card* c = list; c; c = c->next) {
        if (c->next == card) {
            c->next = card->next;
            card->next = nullptr;
            break;
        }
    }
    return list;
}

Card* lastCard(Card* list)
{
    if (!list) return nullptr;
    while (list->next) list = list->next;
    return list;
}

Card* findCard(Card* list, int rank, char suit)
{
    for (; list; list = list->next)
        if (list->rank == rank && list->suit == suit) return list;
    return nullptr;
}

Card* findCardByIndex(Card* list, int index)
{
    if (!isCardIndex(index)) return nullptr;
    return findCard(list, rankOfIndex(index), suitOfIndex(index));
}

Card* prependList(Card* list, Card* other)
{
    if (!other) return list;
    lastCard(other)->next = list;
    return other;
}

Card* insertSorted(Card* card, Card* list)
{
    const int index = cardIndex(card);
    if (!list || cardIndex(list) >= index) {
        card->next = list;
        return card;
    }
    Card* c = list;
    while (c->next && cardIndex(c->next) < index) c = c->next;
    card->next = c->next;
    c->next = card;
    return list;
}

Card* lowestOfSuit(Card* list, char suit)
{
    Card* best = nullptr;
    for (; list; list = list->next)
        if (list->suit == suit && (!best || list->rank < best->rank)) best = list;
    return best;
}

Card* highestOfSuit(Card* list, char suit)
{
    Card* best = nullptr;
    for (; list; list = list->next)
        if (list->suit == suit && (!best || list->rank > best->rank)) best = list;
    return best;
}

bool hasSuit(const Card* list, char suit)
{
    for (; list; list = list->next)
        if (list->suit == suit) return true;
    return false;
}

int countSuit(const Card* list, char suit)
{
    int n = 0;
    for (; list; list = list->next)
        if (list->suit == suit) ++n;
    return n;
}

Card* findJack(Card* list, char suit) { return findCard(list, 11, suit); }

int cardPoints(const Card* list)
{
    int points = 0;
    for (; list; list = list->next) points += cardValue(list);
    return points;
}

Card* buildDeck(CardStore& store)
{
    static const char buildSuits[4] = {'C', 'S', 'D', 'H'};
    int i = 0;
    for (char suit : buildSuits) {
        for (int rank = 2; rank <= 14; ++rank, ++i) {
            store[i].suit = suit;
            store[i].rank = rank;
            store[i].holder = -1;
            store[i].next = i + 1 < CARD_COUNT ? &store[i + 1] : nullptr;
        }
    }
    return &store[0];
}

Card* shuffleDeck(Card* deck)
{
    for (int step = 0; step < 400; ++step) {
        const int r = std::rand() % 51;
        Card* taken = deck;
        deck = deck->next;
        taken->next = nullptr;
        Card* at = deck;
        for (int i = 0; i < r; ++i) at = at->next;
        taken->next = at->next;
        at->next = taken;
    }
    return deck;
}
