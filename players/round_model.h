// A round as the Expert search plays it out: hands as bit sets, the trick
// as small arrays, the round's scoring with its stops at the target. It is a
// plain value, cheap to copy, and plays by the engine's rules.
#pragma once

#include <array>
#include <cstdint>

#include "players/seat_view.h"

struct RoundModel {
    int8_t seatCount = 4;
    int8_t trump = 0;  // suit number
    int8_t turn = 0;
    int8_t trickLength = 0;
    // The team a bullseye awarded the game to mid-round, or -1.
    int8_t bullseyeTeam = -1;
    // The team that deals the next round and so turns up its first card.
    int8_t nextDealerTeam = 0;
    std::array<int8_t, 4> nextSeat{{3, 2, 0, 1}};
    std::array<CardSet, 4> hands{{0, 0, 0, 0}};
    std::array<int8_t, 4> trickCards{{-1, -1, -1, -1}};
    std::array<int8_t, 4> trickSeats{{-1, -1, -1, -1}};
    // Cards played by each team's seats this round: high and low go to the
    // team that played them.
    std::array<CardSet, 2> playedBy{{0, 0}};
    std::array<int16_t, 2> cardPoints{{0, 0}};
    std::array<int8_t, 2> jackPoints{{0, 0}};
    std::array<int16_t, 2> scores{{0, 0}};
    std::array<bool, 2> renegeCalled{{false, false}};
    RuleSettings rules;

    static int teamOf(int seat) { return seat < 2 ? 0 : 1; }
    bool over() const { return bullseyeTeam >= 0 || (hands[0] | hands[1] | hands[2] | hands[3]) == 0; }
    CardSet trumps() const { return suitCards(trump); }
};

int cardPointsOf(CardSet cards);
// The seat whose card wins a trick given in order of play.
int trickWinnerOf(int trump, const int8_t* cards, const int8_t* seats, int length);

// The cards the follow rule lets the seat to move play.
CardSet legalCards(const RoundModel& round);
// Whether playing the card now is an under-trump the penalty punishes: a
// trump on a plain lead, under a trick whose trumps all rank higher, by a
// seat that held a card of another suit or a trump above the trick's lowest.
bool isUnderTrumpPlay(const RoundModel& round, int card);
// The legal cards without those an under-trump penalty would punish,
// unless only such cards are left.
CardSet sensibleCards(const RoundModel& round);
// Plays a card of the seat to move; a finished trick goes to its winner,
// who moves next.
void playCard(RoundModel& round, int card);
// Scores high, low, jack and game in that order, stopping as soon as a team
// reaches the target, and caps the scores. Returns the team that reached
// the target (or was awarded a bullseye), or -1.
int scoreRound(RoundModel& round);

// The round as the view shows it, with the hands given for every seat.
RoundModel roundFromView(const SeatView& view, const std::array<CardSet, 4>& hands);
