// A table and a message handler for running the transport headless: shared
// by the network tests, the fuzz target and the benchmark.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/actions.h"
#include "engine/table.h"
#include "net/transport.h"

// Draws nothing, answers every question No and keeps the boxes it was asked
// to show as "caption: text". Pauses and event processing run pump, if set,
// as a nested event loop would; pauses do not sleep.
class QuietTable : public Table {
public:
    void drawTable(bool) override {}
    void updateScoreLabels() override {}
    void pauseDisplay(int ms) override
    {
        if (ms > 0) processPendingEvents();
    }
    void processPendingEvents() override
    {
        if (pump) pump();
    }
    void showAnnouncement(const std::string&) override {}
    void sweepTrickAway(Card*, int) override {}
    void showHangJack() override {}
    bool begEnabled() const override { return begOn; }
    void setBegEnabled(bool enabled) override { begOn = enabled; }
    void showBegButton(bool) override {}
    void showNotice(const std::string& caption, const std::string& text) override { box(caption, text); }
    void showInformation(const std::string& caption, const std::string& text) override { box(caption, text); }
    void showError(const std::string& caption, const std::string& text) override { box(caption, text); }
    bool askQuestion(const std::string& caption, const std::string& text) override
    {
        box(caption, text);
        return false;
    }
    void showRoundSummary(const RoundSummary&) override {}
    void closeRoundSummary() override {}

    bool begOn = false;
    std::vector<std::string> boxes;
    std::function<void()> pump;
    // Boxes run the pump while they are open, as a modal box's event loop
    // handles the sockets.
    bool modalBoxes = false;

private:
    void box(const std::string& caption, const std::string& text)
    {
        boxes.push_back(caption + ": " + text);
        if (modalBoxes) processPendingEvents();
    }
};

// Applies every action to the game, as the program does; the session
// messages are only counted.
class ActionApplier : public MessageHandler {
public:
    explicit ActionApplier(GameState& game) : game_(game) {}
    void onAction(int, const GameAction& action) override
    {
        ++applied;
        applyAction(game_, action);
    }
    void onSeating(int, const Seating&) override { ++sessionMessages; }
    void onSeat(int, const SeatRecord&) override { ++sessionMessages; }
    void onJoin(int, const JoinRecord&) override { ++sessionMessages; }
    void onReady(int) override { ++sessionMessages; }
    void onRules(int, const RuleSettings&) override { ++sessionMessages; }
    void onAccepted(int) override {}
    void onClosed(int) override {}

    long applied = 0;
    long sessionMessages = 0;

private:
    GameState& game_;
};
