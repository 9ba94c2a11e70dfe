// A game with a recording table, a loopback queue and a stackable deck.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/actions.h"
#include "engine/loopback.h"
#include "engine/table.h"

// Cards written as rank and suit: "2D", "10H", "JS", "QC", "KD", "AS".
Card* cardOf(GameState& game, const std::string& text);
int indexOf(const std::string& text);
std::string nameOf(const Card* card);
std::vector<std::string> names(const Card* list);

class RecordingTable : public Table {
public:
    void drawTable(bool) override { ++draws; }
    void updateScoreLabels() override { ++labelRefreshes; }
    void pauseDisplay(int ms) override
    {
        if (ms == 0) return;
        pauses.push_back(ms);
        processPendingEvents();
    }
    void processPendingEvents() override
    {
        if (pump) pump();
    }
    void showAnnouncement(const std::string& text) override { announcements.push_back(text); }
    void sweepTrickAway(Card*, int winnerSeat) override { sweeps.push_back(winnerSeat); }
    void showHangJack() override { ++hangJacks; }
    bool begEnabled() const override { return begOn; }
    void setBegEnabled(bool enabled) override { begOn = enabled; }
    void showBegButton(bool shown) override { begShown = shown; }
    void showNotice(const std::string& caption, const std::string& text) override { boxes.push_back(caption + ": " + text); }
    void showInformation(const std::string& caption, const std::string& text) override { boxes.push_back(caption + ": " + text); }
    void showError(const std::string& caption, const std::string& text) override { boxes.push_back(caption + ": " + text); }
    bool askQuestion(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + ": " + text);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void showRoundSummary(const RoundSummary& summary) override { summaries.push_back(summary); }
    void closeRoundSummary() override { ++summaryCloses; }
    void showNote(const std::string& text) override
    {
        notes.push_back(text);
        if (onNote) onNote();
    }

    int draws = 0;
    int labelRefreshes = 0;
    std::vector<int> pauses;
    std::vector<std::string> announcements;
    std::vector<int> sweeps;
    int hangJacks = 0;
    bool begOn = false;
    bool begShown = false;
    std::vector<std::string> boxes;
    std::vector<bool> answers;  // scripted Yes (true) / No (false)
    std::vector<RoundSummary> summaries;
    int summaryCloses = 0;
    std::vector<std::string> notes;
    std::function<void()> onNote;
    std::function<void()> pump;
};

// Computer seats that play the first legal card and answer begs as told.
class SimpleComputers : public ComputerPlayers {
public:
    void runComputerTurn(GameState& game) override;
    bool dealerAcceptsBeg(const GameState&) override { return acceptBeg; }
    bool acceptBeg = false;
    bool begWhenAsked = false;
    bool active = true;
};

class RecordingHooks : public GameHooks {
public:
    void recordGameResult(const GameState& game, int winnerTeam) override
    {
        ++recorded;
        winner = winnerTeam;
        scores = {game.teams[0].score, game.teams[1].score};
    }
    void endSession(GameState&) override
    {
        ++sessionsEnded;
        if (onEndSession) onEndSession();
    }
    std::function<void()> onEndSession;
    int recorded = 0;
    int winner = -1;
    std::array<int, 2> scores{};  // both teams' scores when the game was offered
    int sessionsEnded = 0;
};

class GameFixture : public ::testing::Test {
protected:
    GameFixture();

    // Seats named "P0".."P3" (or 0 and 2 for two seats), all of the kind given;
    // seat 0 has the loopback connection.
    void seatPlayers(int seatCount, SeatKind kind = LOCAL_HUMAN);
    // Moves the named cards to the top of the deck in this order.
    void stackDeck(std::initializer_list<const char*> cards);
    // Moves the named cards to the bottom of the deck, out of reach of a deal.
    void reserveAtBottom(std::initializer_list<const char*> cards);
    // Puts the named cards straight into a seat's hand.
    void giveHand(int seat, std::initializer_list<const char*> cards);
    void setTrump(const char* card);
    void apply(int code, int seat, int card = NO_CARD);
    void deliver() { loop.deliverAll(game); }
    std::vector<GameAction> sent() { return {loop.pending().begin(), loop.pending().end()}; }

    GameState game;
    RecordingTable table;
    MemoryLoopback loop;
    SimpleComputers computers;
    RecordingHooks hooks;
};
