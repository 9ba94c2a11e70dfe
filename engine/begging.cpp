#include "engine/begging.h"

#include "engine/deal.h"
#include "engine/table.h"

namespace {

constexpr int COMPUTER_DEALER_PAUSE_MS = 600;

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

    switch (dealer.kind) {
    case REMOTE:
        return;
    case LOCAL_HUMAN:
        if (beggars.score == game.rules.target - 1) {
            table.showNotice("Notice", "You accept the beg to avoid losing!");
            runPack = true;
        } else {
            runPack = table.askQuestion("Question for Dealer", "Accept beg?");
        }
        table.closeRoundSummary();
        table.setBegEnabled(false);
        break;
    case COMPUTER: {
        table.pauseDisplay(COMPUTER_DEALER_PAUSE_MS);
        runPack = game.computers && game.computers->dealerAcceptsBeg(game);
        const Seat& beggar = game.seats[game.nextSeat[game.dealer]];
        if (beggar.kind == COMPUTER) {
            if (runPack)
                table.showInformation("Beg Accepted", begAcceptedText(beggar.name));
            else
                table.showInformation("Take One", beggar.name + " begged, take one!");
            table.closeRoundSummary();
        }
        table.setBegEnabled(false);
        break;
    }
    }
    answerBeg(game, runPack);
}

void applyGiveOne(GameState& game)
{
    Team& beggars = *game.seats[game.dealer].team->opponent;
    beggars.score += 1;
    beggars.tookOne = true;
    refreshScores(game);
    game.turn = game.nextSeat[game.dealer];
    runComputerTurn(game);
}

void continueRunningPack(GameState& game, const Card* previous)
{
    if (!previous || previous->suit != game.kicked->suit) {
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
