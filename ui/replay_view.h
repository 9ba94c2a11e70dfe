// A recorded game on the table: Game > Open Game Record... and Game >
// Recent Games open it, and the bar along the bottom and the keys step
// through it by card, trick and round. The table shows a game state of the
// replay's own, so nothing is sent and the live game is not touched;
// leaving puts the live game back on the table.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fx.h>

#include "players/background_review.h"
#include "records/record_replay.h"

class TableCanvas;

class ReplayView : public FXObject {
    FXDECLARE(ReplayView)

protected:
    ReplayView() {}

public:
    enum {
        ID_OPEN = 1,
        ID_RECENT,
        ID_RECENT_LAST = ID_RECENT + 9,
        ID_START,
        ID_TRICK_BACK,
        ID_CARD_BACK,
        ID_CARD_FORWARD,
        ID_TRICK_FORWARD,
        ID_END,
        ID_SEAT,
        ID_LEAVE,
        ID_REVIEW,
        ID_REVIEW_READY,
        ID_PLAY_AGAIN,
        ID_LAST
    };

    // What the replay needs of the main window.
    struct Window {
        TableCanvas* canvas = nullptr;
        // What the table shows again when the replay leaves it.
        GameState* live = nullptr;
        // The score labels from the game the table shows.
        std::function<void()> refreshScores;
        // Whether the live game leaves the table free for a replay.
        std::function<bool()> tableFree;
        // When a replay takes the table, and after it has left it.
        std::function<void()> entered;
        std::function<void()> left;
        std::function<void(const std::string& caption, const std::string& text)> showError;
        // A new local game, with the record's seats, whose first round
        // deals the recorded cards.
        std::function<void(const RecordHeader& header, GameState::StackedDeal deal)> playDeal;
    };

    explicit ReplayView(std::string folder);
    ~ReplayView() override;

    void setWindow(Window window) { window_ = std::move(window); }
    // "Open Game Record...", the "Recent Games" cascade and "Review".
    void addMenuEntries(FXMenuPane* gameMenu);
    // The bar along the bottom of the window, over the banner and hidden
    // until a replay: the round's summary and the review above the buttons
    // and where the replay stands, clear of every hand at every size.
    void buildBar(FXComposite* window);

    bool active() const { return replay_ != nullptr; }
    // Refuses, with a message box, a record that cannot be replayed.
    bool open(const std::string& path);
    void leave();
    // The replay's keys; false for any other.
    bool onKey(FXuint key);
    void windowResized(int windowWidth, int windowHeight);

    long onCmdOpen(FXObject*, FXSelector, void*);
    long onUpdOpen(FXObject*, FXSelector, void*);
    long onCmdRecent(FXObject*, FXSelector, void*);
    long onUpdRecent(FXObject*, FXSelector, void*);
    long onCmdStep(FXObject*, FXSelector, void*);
    long onCmdSeat(FXObject*, FXSelector, void*);
    long onCmdLeave(FXObject*, FXSelector, void*);
    long onCmdReview(FXObject*, FXSelector, void*);
    long onUpdReview(FXObject*, FXSelector, void*);
    long onReviewReady(FXObject*, FXSelector, void*);
    long onCmdPlayAgain(FXObject*, FXSelector, void*);

private:
    // A point of the game the steps stop at: after `actions` actions.
    struct Stop {
        size_t actions = 0;
        bool trick = false;  // a trick has just ended, or a round is about to begin
    };
    void goTo(size_t actions);
    // The next (or previous) stop from here; tricks only, or every card.
    void step(int direction, bool tricksOnly);
    // The replay's game on the table as it stands now.
    void display();
    void refreshRecent();
    // The review of the decision the last step made, if it was reviewed.
    std::string reviewNote() const;
    void endReview();
    // The live game back on the table.
    void restoreTable();

    std::string folder_;
    Window window_;
    FXMenuPane* recentMenu_ = nullptr;
    std::vector<std::string> recentPaths_;
    std::vector<std::string> recentLabels_;
    FXTime recentRead_ = 0;
    FXApp* app_ = nullptr;
    FXVerticalFrame* bar_ = nullptr;
    FXLabel* status_ = nullptr;
    // Two for each team's summary, or fewer, and the review's.
    static constexpr size_t BAR_LINES = 4;
    FXLabel* lines_[BAR_LINES] = {};
    FXButton* seatButton_ = nullptr;

    std::string path_;
    GameRecord record_;
    RecordHeader header_;
    std::vector<Stop> stops_;
    std::unique_ptr<RecordReplay> replay_;
    size_t at_ = 0;
    // -1: every hand face up; otherwise the seat whose view the table shows.
    int viewSeat_ = -1;

    BackgroundReview review_;
    FXProgressDialog* progress_ = nullptr;
    std::vector<ReviewedDecision> reviewed_;
};
