// What the engine asks of the screen, the user and the event loop. The FOX
// main window implements it in the program; tests and headless tools use
// their own implementations.
#pragma once

#include <string>
#include <vector>

#include "engine/cards.h"

struct RoundSummaryColumn {
    std::string heading;             // "%s && %s", or the single name
    std::vector<std::string> lines;  // only the lines that apply, in order
    std::string gained;              // "Gained 1 point" / "Gained %d points"
};

struct RoundSummary {
    RoundSummaryColumn teams[2];
};

class Table {
public:
    virtual ~Table() = default;

    virtual void drawTable(bool refresh) = 0;
    // Shows the scores; the engine has already capped them at the target.
    virtual void updateScoreLabels() = 0;
    // Lets pending events run, then blocks; 0 does nothing at all.
    virtual void pauseDisplay(int ms) = 0;
    // Runs every pending event once (the toolkit's run-while-events step).
    virtual void processPendingEvents() = 0;
    virtual void showAnnouncement(const std::string& text) = 0;
    virtual void sweepTrickAway(Card* trick, int winnerSeat) = 0;
    virtual void showHangJack() = 0;

    // The BEG button: its enabled state is the only record that the eldest
    // hand's beg decision is pending.
    virtual bool begEnabled() const = 0;
    virtual void setBegEnabled(bool enabled) = 0;
    virtual void showBegButton(bool shown) = 0;

    // Modal message boxes owned by the main window.
    virtual void showNotice(const std::string& caption, const std::string& text) = 0;       // warning, OK
    virtual void showInformation(const std::string& caption, const std::string& text) = 0;  // information, OK
    virtual void showError(const std::string& caption, const std::string& text) = 0;        // error, OK
    // Yes/No question; true unless the answer is No.
    virtual bool askQuestion(const std::string& caption, const std::string& text) = 0;

    virtual void showRoundSummary(const RoundSummary& summary) = 0;
    virtual void closeRoundSummary() = 0;

    // A short line on the table telling what just happened (a beg and its
    // answer), needing no click. Tables nobody watches ignore it.
    virtual void showNote(const std::string& text) { (void)text; }
};
