// Cards written as text for the tests: "10D KC AH 3S".
#pragma once

#include <string>

#include "engine/cards.h"

// Hands and tricks made from the cards of one store. A card is relinked into
// whichever list names it last, so a test names each card once.
class CardText {
public:
    explicit CardText(CardStore& store) : store_(store) {}

    Card* card(const std::string& text);
    // In ascending card-index order, as hands are held.
    CardList hand(const std::string& text);
    // Written in order of play, lead first; built newest first.
    CardList trick(const std::string& text);

private:
    CardStore& store_;
};

std::string nameOf(const Card* card);
