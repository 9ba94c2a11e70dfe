// Cards and singly linked card lists. The 52 cards are created once and move
// between lists by relinking; nothing here copies or frees a card.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct Card {
    char suit = 'C';       // 'C', 'D', 'H', 'S'
    int32_t rank = 2;      // 2..10, 11 jack, 12 queen, 13 king, 14 ace
    int32_t holder = -1;   // seat that last played the card to a trick
    Card* next = nullptr;  // following card of whichever list holds it
};

// A list is known by its first card; nullptr is the empty list.
using CardList = Card*;

constexpr int CARD_COUNT = 52;
constexpr int NO_CARD = -1;

// Suit numbers of the card index: diamonds 0, clubs 1, hearts 2, spades 3.
constexpr char SUIT_OF_NUMBER[4] = {'D', 'C', 'H', 'S'};

int suitNumber(char suit);
// "Diamonds", "Clubs", "Hearts" or "Spades".
const char* suitName(char suit);
int cardIndex(const Card* card);
bool isCardIndex(int index);
char suitOfIndex(int index);   // index must satisfy isCardIndex
int rankOfIndex(int index);    // index must satisfy isCardIndex
int cardValue(const Card* card);  // points towards game: 10, A 4, K 3, Q 2, J 1

// A card index written short: "Ah", "Td", "2c" (rank 2-9, T, J, Q, K, A,
// suit d, c, h, s); "?" for anything else.
std::string cardToken(int index);
// NO_CARD for anything that is not a card's short form.
int parseCardToken(const std::string& token);

int countCards(const Card* list);
Card* nthCard(Card* list, int n);
Card* removeCard(Card* list, Card* card);
Card* lastCard(Card* list);
Card* findCard(Card* list, int rank, char suit);
Card* findCardByIndex(Card* list, int index);
Card* prependList(Card* list, Card* other);
Card* insertSorted(Card* card, Card* list);
Card* lowestOfSuit(Card* list, char suit);
Card* highestOfSuit(Card* list, char suit);
bool hasSuit(const Card* list, char suit);
int countSuit(const Card* list, char suit);
Card* findJack(Card* list, char suit);
int cardPoints(const Card* list);

// Storage of the 52 cards. buildDeck links them in build order (clubs,
// spades, diamonds, hearts, each 2 up to ace) and returns the first.
using CardStore = std::array<Card, CARD_COUNT>;
Card* buildDeck(CardStore& store);
// The 400-step shuffle driven by rand(); the deck must hold all 52 cards.
Card* shuffleDeck(Card* deck);
