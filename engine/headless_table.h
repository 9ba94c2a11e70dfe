// A table without a screen, for self-play, benchmarks and tests of whole
// games: it draws nothing, never sleeps, and its pauses deliver whatever
// messages are waiting, as the toolkit's event processing would.
#pragma once

#include <functional>
#include <string>

#include "engine/table.h"

class HeadlessTable : public Table {
public:
    // Delivers the pending messages; called where a pause or the computer
    // turn driver lets events run.
    std::function<void()> deliverPending;
    // Called with each round summary.
    std::function<void(const RoundSummary&)> onRoundSummary;
    // Called with the caption and text of each error box.
    std::function<void(const std::string&, const std::string&)> onError;
    // Answers a person's questions; without it "Play again?" is answered No
    // and every other question Yes.
    std::function<bool(const std::string& caption)> answerQuestion;

    void drawTable(bool) override {}
    void updateScoreLabels() override {}
    void pauseDisplay(int ms) override
    {
        if (ms != 0) processPendingEvents();
    }
    void processPendingEvents() override
    {
        if (deliverPending) deliverPending();
    }
    void showAnnouncement(const std::string&) override {}
    void sweepTrickAway(Card*, int) override {}
    void showHangJack() override {}
    bool begEnabled() const override { return begEnabled_; }
    void setBegEnabled(bool enabled) override { begEnabled_ = enabled; }
    void showBegButton(bool) override {}
    void showNotice(const std::string&, const std::string&) override {}
    void showInformation(const std::string&, const std::string&) override {}
    void showError(const std::string& caption, const std::string& text) override
    {
        if (onError) onError(caption, text);
    }
    bool askQuestion(const std::string& caption, const std::string&) override
    {
        return answerQuestion ? answerQuestion(caption) : caption != "Game over";
    }
    void showRoundSummary(const RoundSummary& summary) override
    {
        if (onRoundSummary) onRoundSummary(summary);
    }
    void closeRoundSummary() override {}

private:
    bool begEnabled_ = false;
};
