// The card table in the window: its pictures, fonts and layout, the
// off-screen image it is drawn into, and the timed effects on it (the sweep
// of a trick, the hang jack, the last-trick view). Clicks on it go to its
// target; it draws what the game and the marks set on it say.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <fx.h>

#include "engine/game_state.h"
#include "players/background_expert.h"
#include "ui/table_fonts.h"
#include "ui/table_layout.h"

class Transport;

class TableCanvas : public FXCanvas {
    FXDECLARE(TableCanvas)

protected:
    TableCanvas() {}

public:
    enum { ID_ANIMATION = FXCanvas::ID_LAST, ID_LAST };

    // Laid out for a main window of width x height.
    TableCanvas(FXComposite* parent, FXObject* target, FXSelector sel, GameState* game, CardScale scale, int width,
                int height);
    ~TableCanvas() override;
    void create() override;

    void setTransport(Transport* t) { transport = t; }
    const TableLayout& tableLayout() const { return layout; }
    const TableFonts& tableFonts() const { return fonts; }
    FXIcon* windowIcon() const { return icon; }

    // Pictures, fonts and layout at this scale for a main window of that size.
    void useScale(CardScale scale, int windowWidth, int windowHeight);
    // The trick slots follow the window's size.
    void layoutTrickSlots(int windowWidth, int windowHeight);
    // The images follow the window's size; false when they had it already.
    bool resizeImages(int windowWidth, int windowHeight);
    // Takes ownership; nullptr returns to the solid cloth. The caller redraws.
    void setBackgroundImage(FXImage* image);

    // The game the table shows: the live one, or a replay's own.
    void showGame(GameState* shown) { game = shown; }
    const GameState& shownGame() const { return *game; }

    void drawTable(bool refresh);
    // Draws the table afresh, keeping the copy a running animation erases from.
    void redrawAfterResize();
    void showAnnouncement(const std::string& text);
    void sweepTrickAway(Card* trick, int winnerSeat);
    void showHangJack();
    bool animationRunning() const { return animation.running(); }

    // What the table marks beside the game itself.
    void setBegOpen(bool open) { begOpen = open; }
    bool begIsOpen() const { return begOpen; }
    void setStatus(const std::string& text);
    void addNote(const std::string& text);
    void clearNotes() { notes.clear(); }
    void setHint(const BackgroundExpert::Advice& advice);
    // The arrow keys' pick in the hand to act: one step on, or -1.
    void moveKeyPick(int step);
    int currentKeyPick() const;

    // The last trick over the table until restoreTable() puts it back.
    void showLastTrick();
    bool lastTrickShown() const { return lastTrickShowing; }
    void restoreTable();

    // How far the notes reach, for what must keep clear of them.
    Rect noteArea() const;

    long onPaint(FXObject*, FXSelector, void*);
    long onTimeoutAnimation(FXObject*, FXSelector, void*);

private:
    // Draws one frame into the table image and returns the area it covered.
    using AnimationStep = std::function<Rect(FXDCWindow& dc, int frame)>;
    struct Animation {
        AnimationStep step;
        int frameCount = 0;
        int interval = 0;
        int frameIndex = 0;
        FXuint done = 1;
        Rect rect;
        bool running() const { return done == 0; }
    };

    // Only the banner at first: the window shows no card before a game
    // begins, so the cards are made when first drawn, after the window is up.
    void loadArtwork(CardScale scale);
    void loadCards();
    void deleteArtwork();
    void createArtwork();
    // The hang-jack pictures are the largest and the rarest: made when
    // first shown at a size, not at start-up.
    void loadHangJack();

    void drawCard(FXDCWindow& dc, int index, int x, int y, bool faceUp);
    void drawHand(FXDCWindow& dc, int position, bool faceUp);
    void drawTrick(FXDCWindow& dc, const Card* trick, int offsetX, int offsetY);
    void drawOutlinedText(FXDCWindow& dc, int x, int y, const FXString& text, FXColor colour);
    void drawNames(FXDCWindow& dc);
    void drawStatus(FXDCWindow& dc);
    void drawBackground(FXDCWindow& dc);
    // The Expert's advice for the person while the position it was given
    // for lasts: the card outlined, "Beg" or "Stand" beside the hand.
    void drawHint(FXDCWindow& dc);
    void drawTurnMarker(FXDCWindow& dc);
    void drawNotes(FXDCWindow& dc);
    int noteLineHeight() const;
    // Copies a whole off-screen image onto another of the same size.
    static void copyImage(FXImage* from, FXImage* to);
    // Paints the canvas area now: FOX runs no queued repaint while a socket
    // is ready, which in a game against the computer is nearly always.
    void paintNow(const Rect& area);
    void paintAll();
    void animate(AnimationStep step, int frameCount, int interval);

    GameState* game = nullptr;
    Transport* transport = nullptr;
    TableFonts fonts;
    TableFonts retiredFonts;
    FXBMPImage* tableImage = nullptr;
    FXBMPImage* savedTableImage = nullptr;

    FXIcon* icon = nullptr;
    // Clear outside their rounded corners.
    std::array<FXIcon*, CARD_COUNT> cardImages{};
    FXIcon* cardBackImage = nullptr;
    std::array<FXIcon*, 3> hangJackPictures{};  // null until first shown
    FXImage* bannerImage = nullptr;
    FXImage* bannerSideImage = nullptr;
    FXImage* backgroundImage = nullptr;
    // The picture enlarged to cover a window it falls short of.
    FXImage* fittedBackground = nullptr;

    TableLayout layout{CardMetrics{}, 640, 580};
    Animation animation;
    bool lastTrickShowing = false;
    bool begOpen = false;
    bool hintShown = false;
    BackgroundExpert::Advice hint;
    SeatView hintView;
    // What the session waits for, across the table; empty for nothing.
    std::string statusNote;
    // What the last beg and its answer were, until the first trick is done.
    static constexpr size_t NOTES_KEPT = 3;
    std::vector<std::string> notes;
    // The card of the hand to act that the arrow keys picked, or -1; it
    // lasts until the next action is applied.
    int keyPick = -1;
    uint64_t keyPickAt = 0;
};
