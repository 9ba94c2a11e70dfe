#include "engine/begging.h"

#include "engine/deal.h"
#include "engine/table.h"

namespace {

constexpr int COMPUTER_DEALER_PAUSE_MS = 600;
constexpr const char* ACCEPT_BEG_QUESTION =
    "Accept beg?\n\n"
    "Yes: three more cards each and a new trump card.\n"
    "No: the begging team gains a point.";

void answerBeg(GameState& game, bool runPack)
{
    if (runPack)
        dealRound(game, 3);
    else
        sendGiveOne(game);
}

}  // namespace

bool mustBeg(const GameState& game, int seat)
{
    return game.table->begEnabled() && game.rules.forceBeg != 0 && game.isSeat(seat) &&
           !hasSuit(game.seats[seat].hand, game.trumpSuit());
}

std::string begAcceptedText(const std::string& name)
{
    const bool endsInS = !name.empty() && name.back() == 's';
    return name + (endsInS ? "'" : "'s") + " beg accepted.";
}

void applyBeg(GameState& game)
{
    game.turn = TURN_BEGGING;
    Seat& dealer = game.seats[game.dealer];
    const Team& beggars = *dealer.team->opponent;
    Table& table = *game.table;
    bool runPack = false;
    table.showNote(game.seats[game.nextSeat[game.dealer]].name + " begs.");

    switch (dealer.kind) {
    case REMOTE:
        return;
    case LOCAL_HUMAN:
        if (beggars.score == game.rules.target - 1) {
            table.showNotice("Notice", "You accept the beg to avoid losing!");
            runPack = true;
        } else {
            runPack = table.askQuestion("Question for Dealer", ACCEPT_BEG_QUESTION);
        }
        table.closeRoundSummary();
        table.setBegEnabled(false);
        break;
    case COMPUTER: {
        table.pauseDisplay(COMPUTER_DEALER_PAUSE_MS);
        runPack = game.computers && game.computers->dealerAcceptsBeg(game);
        // Between computers the person is told on the table, not asked to
        // close a box, and sees their own hand again with the answer.
        table.setBegEnabled(false);
        const Seat& beggar = game.seats[game.nextSeat[game.dealer]];
        if (beggar.kind == COMPUTER)
            table.showNote(runPack ? begAcceptedText(beggar.name) : beggar.name + " begged, take one!");
        break;
    }
    }
    answerBeg(game, runPack);
}

void applyGiveOne(GameState& game)
{
    Team& beggars = *game.seats[game.dealer].team->opponent;
    game.table->showNote(game.seats[game.dealer].name + " gives one.");
    beggars.score += 1;
    beggars.tookOne = true;
    refreshScores(game);
    game.turn = game.nextSeat[game.dealer];
    runComputerTurn(game);
}

bool startsPackRun(const GameState& game)
{
    if (game.turn != TURN_BEGGING) return false;
    int held = -1;
    for (const Seat& seat : game.seats) {
        if (!seat.inPlay()) continue;
        const int count = countCards(seat.hand);
        if (held != -1 && count != held) return false;
        held = count;
    }
    // Runs deal three rounds onto hands of six or nine.
    return held > 0 && held % 3 == 0;
}

void continueRunningPack(GameState& game, const Card* previous)
{
    if (!previous || previous->suit != game.kicked->suit) {
        if (previous) game.table->showNote(std::string("New trumps: ") + suitName(game.kicked->suit));
        game.turn = game.nextSeat[game.dealer];
        markPlayStart(game);
        runComputerTurn(game);
        return;
    }
    if (!drivesSeat(game, game.dealer)) return;
    if (countCards(game.seats[0].hand) > 11)
        sendRedeal(game);
    else
        dealRound(game, 3);
}
