// What one seat may know of a round: its own hand, the cards turned up and
// played (and by whom), the scores, the rules, the dealer and the beg. The
// Expert search reads nothing else, so it cannot peek at hidden cards.
#pragma once

#include <array>
#include <cstdint>

#include "engine/game_state.h"

// A set of cards, bit i for card index i.
using CardSet = uint64_t;

constexpr CardSet cardBit(int index) { return CardSet{1} << index; }
constexpr CardSet SUIT_MASK = 0x1FFF;
// The cards of a suit number (diamonds 0, clubs 1, hearts 2, spades 3).
constexpr CardSet suitCards(int suit) { return SUIT_MASK << (13 * suit); }
constexpr CardSet ALL_CARDS = (CardSet{1} << CARD_COUNT) - 1;

CardSet cardSetOf(const Card* list);

struct SeatView {
    int seat = 0;
    int seatCount = 4;
    int dealer = 0;
    // A seat, or TURN_DEALING, TURN_BEGGING, TURN_IDLE.
    int turn = TURN_IDLE;
    std::array<int32_t, 4> nextSeat{{3, 2, 0, 1}};
    RuleSettings rules;
    std::array<int32_t, 2> scores{{0, 0}};
    std::array<int32_t, 2> jackPoints{{0, 0}};
    std::array<bool, 2> renegeCalled{{false, false}};
    // The eldest hand may still beg.
    bool begOpen = false;
    // The eldest begged this deal and the dealer gave one.
    bool gaveOne = false;

    CardSet hand = 0;
    // Every card turned up this deal; trumpCard is the newest of them.
    CardSet kicked = 0;
    int trumpCard = NO_CARD;
    // Cards each seat played this round, the current trick included.
    std::array<CardSet, 4> played{{0, 0, 0, 0}};
    // The cards each team has won in tricks.
    std::array<CardSet, 2> won{{0, 0}};
    // The trick in progress in order of play.
    std::array<int8_t, 4> trickCards{{-1, -1, -1, -1}};
    std::array<int8_t, 4> trickSeats{{-1, -1, -1, -1}};
    int trickLength = 0;
    std::array<int8_t, 4> handSizes{{0, 0, 0, 0}};
    // Suits (bit per suit number) a seat showed it holds none of, by not
    // following where the rules made it follow.
    std::array<uint8_t, 4> voids{{0, 0, 0, 0}};

    // Only for measuring: every hand, when the player may see them all.
    bool allHandsKnown = false;
    std::array<CardSet, 4> hands{{0, 0, 0, 0}};

    int trumpSuit() const { return trumpCard == NO_CARD ? -1 : trumpCard / 13; }
    static int teamOf(int seat) { return seat < 2 ? 0 : 1; }
    int team() const { return teamOf(seat); }

    bool operator==(const SeatView& o) const;
    bool operator!=(const SeatView& o) const { return !(*this == o); }
};

// The view of a seat in play; begOpen says whether the eldest hand's beg
// decision is pending (the BEG button's state).
SeatView makeSeatView(const GameState& game, int seat, bool begOpen);
// The same with every hand shown: a yardstick, never a player of the program.
SeatView makeOmniscientView(const GameState& game, int seat, bool begOpen);
