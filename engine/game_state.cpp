#include "engine/game_state.h"

#include "engine/table.h"

void setSeatName(Seat& seat, const std::string& name)
{
    seat.name = name;
    seat.named = true;
    seat.computerName = nullptr;
    seat.standIn = false;
}

void clearSeatName(Seat& seat)
{
    seat.name.clear();
    seat.named = false;
    seat.computerName = nullptr;
    seat.standIn = false;
}

void initGame(GameState& game)
{
    game.deck = shuffleDeck(buildDeck(game.cards));
    for (Seat& seat : game.seats) {
        clearSeatName(seat);
        seat.hand = nullptr;
    }
    resetSeating(game);
    for (int t = 0; t < 2; ++t) {
        Team& team = game.teams[t];
        team.score = 0;
        team.cardPoints = 0;
        team.pile = nullptr;
        team.opponent = &game.teams[1 - t];
        team.first = &game.seats[2 * t];
        team.second = &game.seats[2 * t + 1];
    }
    for (int s = 0; s < 4; ++s) game.seats[s].team = &game.teams[s / 2];
    resetRound(game);
    configureTable(game, 4);
    game.trick = nullptr;
    game.kicked = nullptr;
    game.lastTrick[0] = NO_CARD;
    game.lastTrickWinner = -1;
}

void resetSeating(GameState& game)
{
    for (Seat& seat : game.seats) {
        seat.kind = LOCAL_HUMAN;
        seat.connection = -1;
    }
    game.localSeat = 0;
    game.partnerSeat = 1;
    game.tablePosition = {0, 1, 2, 3};
}

void configureTable(GameState& game, int seatCount)
{
    auto link = [&game](int from, int to) {
        game.nextSeat[from] = to;
        game.seats[from].next = &game.seats[to];
    };
    game.seatCount = seatCount;
    if (seatCount == 2) {
        game.teams[0].second = nullptr;
        game.teams[1].second = nullptr;
        game.partnerSeat = -1;
        link(0, 2);
        link(2, 0);
        clearSeatName(game.seats[1]);
        clearSeatName(game.seats[3]);
    } else {
        game.teams[0].second = &game.seats[1];
        game.teams[1].second = &game.seats[3];
        game.partnerSeat = 1;
        link(0, 3);
        link(3, 1);
        link(1, 2);
        link(2, 0);
    }
}

void gatherCards(GameState& game)
{
    for (Seat& seat : game.seats) {
        if (!seat.inPlay()) continue;
        game.deck = prependList(game.deck, seat.hand);
        seat.hand = nullptr;
    }
    for (Team& team : game.teams) {
        game.deck = prependList(game.deck, team.pile);
        team.pile = nullptr;
    }
    game.deck = prependList(game.deck, game.trick);
    game.trick = nullptr;
    game.deck = prependList(game.deck, game.kicked);
    game.kicked = nullptr;
    game.deck = shuffleDeck(game.deck);
}

Team* winningTeam(GameState& game)
{
    for (Team& team : game.teams)
        if (team.score >= game.rules.target) return &team;
    return nullptr;
}

void resetRound(GameState& game)
{
    for (Team& team : game.teams) {
        team.jackPoints = 0;
        team.startScore = team.score;
        team.wonHigh = team.wonLow = team.wonGame = false;
        team.cardPoints = 0;
        team.jacksKicked = team.acesKicked = team.sixesKicked = team.twosKicked = 0;
        team.tookOne = false;
        team.falseCalls = 0;
        team.renegeCalled = false;
        team.jackSafe = team.jackHung = false;
    }
    for (Seat& seat : game.seats) {
        seat.reneged = seat.renegedOnTrump = seat.bareJack = seat.highTrump = false;
        seat.renegeCard = -1;
        seat.renegeLed = 0;
    }
    game.trickCount = 0;
}

void resetGame(GameState& game)
{
    resetRound(game);
    for (Team& team : game.teams) {
        team.score = team.startScore = team.cardPoints = team.jackPoints = 0;
        team.pile = nullptr;
    }
    game.turn = TURN_IDLE;
    game.stackedDeal = {};
    refreshScores(game);
}

int32_t shownScore(const GameState& game, const Team& team)
{
    return team.score > game.rules.target ? game.rules.target : team.score;
}

void refreshScores(GameState& game)
{
    for (Team& team : game.teams) team.score = shownScore(game, team);
    if (game.table) game.table->updateScoreLabels();
}
