#include "card_text.h"

#include <sstream>
#include <stdexcept>

Card* CardText::card(const std::string& text)
{
    const std::string rank = text.substr(0, text.size() - 1);
    static const std::string faces[] = {"J", "Q", "K", "A"};
    int r = 0;
    for (int i = 0; i < 4; ++i)
        if (rank == faces[i]) r = 11 + i;
    if (r == 0) r = std::stoi(rank);
    for (Card& c : store_)
        if (c.rank == r && c.suit == text.back()) return &c;
    throw std::invalid_argument("no card " + text);
}

CardList CardText::hand(const std::string& text)
{
    std::istringstream in(text);
    CardList list = nullptr;
    for (std::string word; in >> word;) list = insertSorted(card(word), list);
    return list;
}

CardList CardText::trick(const std::string& text)
{
    std::istringstream in(text);
    CardList list = nullptr;
    for (std::string word; in >> word;) {
        Card* c = card(word);
        c->next = list;
        list = c;
    }
    return list;
}

std::string nameOf(const Card* card)
{
    if (!card) return "none";
    static const char* ranks[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
    return std::string(ranks[card->rank - 2]) + card->suit;
}
