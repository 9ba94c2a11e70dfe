#include "engine/scoring.h"

#include <cctype>

#include <cstdio>
#include <string>

#include "engine/deal.h"

namespace {

constexpr int BULLSEYE_PAUSE_MS = 1800;

// The trump of highest or lowest rank in either pile.
const Card* extremeTrump(const GameState& game, bool highest)
{
    const char trump = game.trumpSuit();
    const Card* best = nullptr;
    for (const Team& team : game.teams) {
        for (const Card* c = team.pile; c; c = c->next) {
            if (c->suit != trump) continue;
            if (!best || (highest ? c->rank > best->rank : c->rank < best->rank)) best = c;
        }
    }
    return best;
}

std::string countLine(int count, const char* one, const char* many)
{
    if (count == 1) return one;
    char text[64];
    std::snprintf(text, sizeof text, many, count);
    return text;
}

// "You win, 7 to 5." or "Ann and Bo win, 7 to 5."
std::string resultText(const GameState& game, const Team& winner, bool localWin, const std::string& decided)
{
    std::string who = localWin ? "You" : winner.first->name;
    const bool pair = !localWin && game.seatCount == 4 && winner.second;
    if (pair) who += " and " + winner.second->name;
    const bool plural = localWin || pair;
    return who + (plural ? " win, " : " wins, ") + std::to_string(shownScore(game, winner)) + " to " +
           std::to_string(shownScore(game, *winner.opponent)) + (decided.empty() ? "." : ": " + decided);
}

// What a team's last round gave it, as a sentence: "Dread and Hana played
// high, won game point."
std::string lastRoundText(const GameState& game, const Team& team, const RoundSummaryColumn& column)
{
    std::string items;
    for (const std::string& line : column.lines) {
        // The count towards game is in every column; what it won is not.
        if (line.find("towards game") != std::string::npos) continue;
        std::string item = line;
        item[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(item[0])));
        items += (items.empty() ? "" : ", ") + item;
    }
    if (items.empty()) return {};
    return teamNames(game, team) + " " + items + " in the last round.";
}

}  // namespace

void scoreRound(GameState& game)
{
    if (!game.kicked) return;
    auto reached = [&game] { return winningTeam(game) != nullptr; };

    const Card* high = extremeTrump(game, true);
    if (high) {
        Team& t = *game.seats[high->holder].team;
        t.score += 1;
        t.wonHigh = true;
        if (reached()) return;
        const Card* low = extremeTrump(game, false);
        Team& l = *game.seats[low->holder].team;
        l.score += 1;
        l.wonLow = true;
        if (reached()) return;
    }

    for (Team& team : game.teams) team.score += team.jackPoints;
    if (reached()) return;

    Team& a = game.teams[0];
    Team& b = game.teams[1];
    Team* more = a.cardPoints > b.cardPoints ? &a : b.cardPoints > a.cardPoints ? &b : nullptr;
    if (more && game.rules.noGamePointIfReneed && more->renegeCalled) more = nullptr;
    if (more) {
        more->score += 1;
        more->wonGame = true;
    }
}

std::string teamNames(const GameState& game, const Team& team)
{
    if (game.seatCount == 2 || !team.second) return team.first->name;
    return team.first->name + " and " + team.second->name;
}

std::string formatTeamHeading(const GameState& game, const Team& team)
{
    if (game.seatCount == 2 || !team.second) return team.first->name;
    return team.first->name + " && " + team.second->name;
}

RoundSummary buildRoundSummary(const GameState& game)
{
    RoundSummary summary;
    for (int t = 0; t < 2; ++t) {
        const Team& team = game.teams[t];
        RoundSummaryColumn& column = summary.teams[t];
        column.heading = formatTeamHeading(game, team);
        auto add = [&column](bool when, const std::string& line) {
            if (when) column.lines.push_back(line);
        };
        add(team.wonHigh, "Played high");
        add(team.wonLow, "Played low");
        add(team.jackSafe, "Played jack safely");
        add(team.jackHung, "Hung jack");
        add(team.tookOne, "Took one");
        add(team.acesKicked > 0, countLine(team.acesKicked, "Kicked an ace", "Kicked %d aces"));
        add(team.jacksKicked > 0, countLine(team.jacksKicked, "Kicked a jack", "Kicked %d jacks"));
        add(team.sixesKicked > 0, countLine(team.sixesKicked, "Kicked a six", "Kicked %d sixes"));
        add(team.twosKicked > 0, countLine(team.twosKicked, "Kicked a two", "Kicked %d twos"));
        add(true, countLine(team.cardPoints, "1 point towards game", "%d points towards game"));
        add(team.wonGame, "Won game point");
        column.gained = countLine(shownScore(game, team) - team.startScore, "Gained 1 point", "Gained %d points");
    }
    return summary;
}

void endRound(GameState& game)
{
    scoreRound(game);
    refreshScores(game);
    const RoundSummary summary = buildRoundSummary(game);
    game.table->showRoundSummary(summary);
    resetRound(game);
    gatherCards(game);
    if (Team* winner = winningTeam(game)) {
        gameOver(game, winner, lastRoundText(game, *winner, summary.teams[game.teamIndex(winner)]));
        return;
    }
    game.dealer = game.nextSeat[game.dealer];
    game.turn = TURN_DEALING;
    if (game.hooks) game.hooks->roundScored(game);
    if (drivesSeat(game, game.dealer)) dealRound(game, 6);
}

void bullseye(GameState& game, Team* team, const std::string& decided)
{
    // The game is the team's whatever it stood at, and it ends on the target.
    team->score = game.rules.target;
    refreshScores(game);
    game.table->showAnnouncement("Bullseye!");
    game.table->pauseDisplay(BULLSEYE_PAUSE_MS);
    gameOver(game, team, decided);
}

void gameOver(GameState& game, Team* winner, const std::string& decided)
{
    Table& table = *game.table;
    gatherCards(game);
    bool localWin = false;
    if (winner) {
        localWin = winner->first->kind == LOCAL_HUMAN && winner->first->inPlay();
        if (game.seatCount == 4 && winner->second)
            localWin = localWin || (winner->second->kind == LOCAL_HUMAN && winner->second->inPlay());
    }
    table.showAnnouncement(localWin ? "You Win!" : "Game Over");
    if (game.hooks) game.hooks->recordGameResult(game, winner ? game.teamIndex(winner) : -1);

    const std::string result = winner ? resultText(game, *winner, localWin, decided) : std::string();
    if (!result.empty()) table.showNote(result);
    const std::string question = result.empty() ? "Play again?" : result + "\n\nPlay again?";
    if (game.sessionMode == MODE_LOCAL && table.askQuestion("Game over", question)) {
        // The last game's summary goes with it.
        table.closeRoundSummary();
        resetGame(game);
        // A new game: the rules chosen during the last one now apply.
        game.rules = game.pendingRules;
        chooseDealer(game);
        game.turn = TURN_DEALING;
        return;
    }
    if (game.sessionMode == MODE_LOCAL) table.closeRoundSummary();
    // Ending the session clears the table, banner and all: a network game's
    // players are told the result in a box, once no peer can wait on it.
    const bool network = game.sessionMode == MODE_HOSTING || game.sessionMode == MODE_JOINED;
    for (Seat& seat : game.seats) clearSeatName(seat);
    if (game.hooks) game.hooks->endSession(game);
    if (network && !result.empty()) table.showInformation("Game over", result);
    resetGame(game);
}
