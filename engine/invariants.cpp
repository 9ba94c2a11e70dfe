#include "engine/invariants.h"

#include <array>

std::vector<std::string> gameViolations(const GameState& game, bool scoresRefreshed)
{
    std::vector<std::string> found;
    std::array<int, CARD_COUNT> seen{};
    int listed = 0;
    auto visit = [&](const Card* list) {
        // A cycle would never end: stop after more links than cards exist.
        for (int steps = 0; list && steps <= CARD_COUNT; list = list->next, ++steps) {
            ++seen[cardIndex(list)];
            ++listed;
        }
    };
    visit(game.deck);
    visit(game.kicked);
    visit(game.trick);
    for (const Seat& seat : game.seats) visit(seat.hand);
    for (const Team& team : game.teams) visit(team.pile);
    for (int i = 0; i < CARD_COUNT; ++i)
        if (seen[i] != 1) found.push_back("card " + std::to_string(i) + " is in " + std::to_string(seen[i]) + " lists");
    if (listed != CARD_COUNT) found.push_back(std::to_string(listed) + " cards listed");

    for (int s = 0; s < 4; ++s) {
        const Card* hand = game.seats[s].hand;
        if (hand && !game.seats[s].inPlay()) found.push_back("seat " + std::to_string(s) + " holds cards out of play");
        for (int steps = 0; hand && hand->next && steps < CARD_COUNT; hand = hand->next, ++steps)
            if (cardIndex(hand) >= cardIndex(hand->next)) found.push_back("hand of seat " + std::to_string(s) + " out of order");
    }

    const int t = game.turn;
    if (game.isSeat(t)) {
        if (!game.seatInPlay(t)) found.push_back("turn at seat " + std::to_string(t) + " which is not in play");
    } else if (t != TURN_DEALING && t != TURN_BEGGING && t != TURN_IDLE) {
        found.push_back("turn holds " + std::to_string(t));
    }
    if (game.trickCount < 0 || game.trickCount >= game.seatCount)
        found.push_back("trickCount " + std::to_string(game.trickCount));
    if (scoresRefreshed) {
        for (int i = 0; i < 2; ++i)
            if (game.teams[i].score > game.rules.target)
                found.push_back("team " + std::to_string(i) + " score " + std::to_string(game.teams[i].score));
    }
    return found;
}
