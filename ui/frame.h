// The main window: menus, score labels, the table canvas and the BEG button.
// It is the engine's Table, the transport's SocketWatcher, the session's
// SessionUi and the computers' pace; the drawing lives in table_view.cpp, the clicks in input.cpp
// and the menu commands and dialogs in commands.cpp.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <fx.h>

#include "engine/table.h"
#include "net/event_loop.h"
#include "net/computer_choice.h"
#include "net/session.h"
#include "players/background_expert.h"
#include "players/computer.h"
#include "records/high_scores.h"
#include "ui/click_rules.h"
#include "ui/game_speed.h"
#include "ui/table_layout.h"

class AddPlayersDialog;
class ChatBar;
class GameSetup;
class PlayerNames;
class RuleDialog;

// The rest of the program that the menus and dialogs work on; main wires it
// once everything exists. Tests attach only what they use.
struct FrameParts {
    Session* session = nullptr;
    PlayerNames* names = nullptr;
    HighScoreTable* highScores = nullptr;
    SettingsStore* settings = nullptr;
    ComputerChoice* computerChoice = nullptr;
    // The Expert that thinks in the background: the hint asks it too.
    BackgroundExpert* expert = nullptr;
};

// The fonts of the table, from the face of the toolkit's normal font, at the
// sizes that go with the table's size.
struct TableFonts {
    FXFont* table = nullptr;     // names and captions
    FXFont* score = nullptr;     // score labels
    FXFont* announce = nullptr;  // banners across the table
    FXFont* button = nullptr;    // the BEG button's letters

    static TableFonts create(FXApp* app, CardScale scale);
    void destroy();
};

class Frame : public FXMainWindow, public Table, public SocketWatcher, public SessionUi, public ComputerPace {
    FXDECLARE(Frame)

protected:
    Frame() {}

public:
    // Other dialogs, the timers and the sockets refer to these numbers.
    enum Ids {
        ID_START_GAME = FXMainWindow::ID_LAST,
        ID_NETWORK_GAME = 63,
        ID_QUIT_GAME = 64,
        ID_SETUP_TIMER = 66,
        ID_LISTEN = 67,
        ID_BEG = 68,
        ID_CALL_RENEED = 69,
        ID_ANIMATION = 71,
        ID_LAST_TRICK = 72,
        ID_CANVAS = 73,
        ID_RULE_VARIATIONS = 76,
        ID_ADD_TEAM_PLAYER = 78,
        ID_ADD_OTHER_PLAYER = 79,
        ID_NEW_LOCAL_GAME = 80,
        ID_ABOUT = 81,
        ID_HOW_TO_PLAY = 82,
        ID_RULES = 83,
        ID_HIGH_SCORES = 84,
        ID_BACKGROUND_SOLID = 88,
        ID_BACKGROUND_IMAGE = 89,
        ID_CONNECTION = 90,  // + slot 0 to 9
        ID_SESSION_WAIT = ID_CONNECTION + 10,
        ID_CHAT_ENTRY,
        ID_CARD_SIZE_SMALL,
        ID_CARD_SIZE_MEDIUM,
        ID_CARD_SIZE_LARGE,
        ID_HINT,
        ID_EXPERT_READY,
        ID_COMPUTER_MOVE,
        ID_SPEED_SLOW,
        ID_SPEED_NORMAL,
        ID_SPEED_FAST,
        ID_QUIT,
        ID_PLACE_BOX,
        ID_LAST
    };

    Frame(FXApp* application, GameState* state, CardScale scale);
    ~Frame() override;
    void create() override;

    void setTransport(Transport* t) { transport = t; }
    // Also reads the speed from the settings, if there are any.
    void attach(const FrameParts& frameParts);
    // Takes ownership; nullptr returns to the solid cloth. The caller redraws.
    void setBackgroundImage(FXImage* image);
    // The trick slots follow the window's size.
    void layoutTrickSlots(int w, int h);
    const TableLayout& tableLayout() const { return layout; }
    CardScale cardScale() const { return layout.scale(); }
    // The table at another size: its pictures, fonts and layout, and the
    // window resized to fit it.
    void setCardScale(CardScale scale);

    // Table
    void drawTable(bool refresh) override;
    void updateScoreLabels() override;
    void pauseDisplay(int ms) override;
    void processPendingEvents() override;
    void showAnnouncement(const std::string& text) override;
    void sweepTrickAway(Card* trick, int winnerSeat) override;
    void showHangJack() override;
    bool begEnabled() const override;
    void setBegEnabled(bool enabled) override;
    void showBegButton(bool shown) override;
    void showNotice(const std::string& caption, const std::string& text) override;
    void showInformation(const std::string& caption, const std::string& text) override;
    void showError(const std::string& caption, const std::string& text) override;
    bool askQuestion(const std::string& caption, const std::string& text) override;
    void showRoundSummary(const RoundSummary& summary) override;
    void closeRoundSummary() override;
    void showNote(const std::string& text) override;

    // ComputerPace
    void hold(std::function<void()> send) override;
    GameSpeed gameSpeed() const { return speed; }

    // SocketWatcher
    void watchSocket(int socket, int id) override;
    void unwatchSocket(int socket) override;

    // SessionUi
    void scheduleSetupDialog() override;
    void relayoutTable() override;
    bool runAddPlayers() override;
    void listJoiner(int slot) override;
    void unlistJoiner(int slot) override;
    void seatsChanged() override;
    void showStatus(const std::string& text) override;
    void setChatOpen(bool open) override;
    void showChatLine(const std::string& from, const std::string& text) override;
    void startWait(int ms) override;
    void stopWait() override;

    // Ends the last-trick view, putting back the table it covered.
    void restoreTable();

    long onPaint(FXObject*, FXSelector, void*);
    long onConfigure(FXObject*, FXSelector, void*);
    long onTimeoutAnimation(FXObject*, FXSelector, void*);
    long onCanvasPress(FXObject*, FXSelector, void*);
    long onCanvasRelease(FXObject*, FXSelector, void*);
    long onIoConnection(FXObject*, FXSelector, void*);
    long onIoListen(FXObject*, FXSelector, void*);
    long onClose(FXObject*, FXSelector, void*);
    long onCmdQuitGame(FXObject*, FXSelector, void*);
    long onCmdBeg(FXObject*, FXSelector, void*);
    long onCmdCallReneed(FXObject*, FXSelector, void*);
    long onCmdLastTrick(FXObject*, FXSelector, void*);
    long onSetupTimer(FXObject*, FXSelector, void*);
    long onComputerMoveTimer(FXObject*, FXSelector, void*);
    long onCmdSpeed(FXObject*, FXSelector, void*);
    long onUpdSpeed(FXObject*, FXSelector, void*);
    long onCmdQuit(FXObject*, FXSelector, void*);
    long onPlaceBoxTimer(FXObject*, FXSelector, void*);
    long onKeyPress(FXObject*, FXSelector, void*);
    long onCmdStartGame(FXObject*, FXSelector, void*);
    long onCmdNewLocalGame(FXObject*, FXSelector, void*);
    long onCmdNetworkGame(FXObject*, FXSelector, void*);
    long onCmdRuleVariations(FXObject*, FXSelector, void*);
    long onCmdHighScores(FXObject*, FXSelector, void*);
    long onCmdInfo(FXObject*, FXSelector, void*);
    long onCmdBackground(FXObject*, FXSelector, void*);
    long onSessionWait(FXObject*, FXSelector, void*);
    long onCmdChatEntry(FXObject*, FXSelector, void*);
    long onCmdCardSize(FXObject*, FXSelector, void*);
    long onUpdCardSize(FXObject*, FXSelector, void*);
    long onCmdHint(FXObject*, FXSelector, void*);
    long onIoExpertReady(FXObject*, FXSelector, void*);

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

    void buildMenus();
    void buildTopBar();
    // Only the banner at first: the window shows no card before a game
    // begins, so the cards are made when first drawn, after the window is up.
    void loadArtwork(CardScale scale);
    void loadCards();
    void deleteArtwork();
    void createArtwork();
    // The hang-jack pictures are the largest and the rarest: made when
    // first shown at a size, not at start-up.
    void loadHangJack();
    // Pictures, fonts, top bar, BEG button and layout for the window's
    // current size at this scale.
    void useScale(CardScale scale);
    void placeTopBar();

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
    // Shows a refusal or sends the move a click or a key decided.
    void actOnCard(const CardClick& decision);
    // The keys of play; false leaves the key to the window.
    bool playByKey(FXuint key);
    void moveKeyPick(int step);
    int currentKeyPick() const;
    // The question before quitting a game under way.
    void quitAsking();
    bool gameInProgress() const;
    // Modal message boxes open where they cover no round summary.
    void placeNextBoxClear();
    Rect rootRectOf(const FXWindow* window) const;
    Rect screenRect() const;
    // Copies a whole off-screen image onto another of the same size.
    static void copyImage(FXImage* from, FXImage* to);
    // Paints the canvas area now: FOX runs no queued repaint while a socket
    // is ready, which in a game against the computer is nearly always.
    void paintNow(const Rect& area);
    void paintAll();
    void animate(AnimationStep step, int frameCount, int interval);
    void quit();
    // Socket readiness runs the engine, whose pauses, animations and boxes
    // let menu commands in before the action is fully applied.
    void readSockets(const std::function<void(Transport&)>& read);
    // A command that begins or ends a game would pull the cards from under
    // the action being applied: it waits until that action is done.
    bool deferWhileApplying(FXSelector id);
    // A game or network session holds the table.
    bool sessionUnderWay() const;
    void chooseBackgroundImage();

    GameState* game = nullptr;
    Transport* transport = nullptr;
    FrameParts parts;
    TableFonts fonts;

    FXMenuBar* menuBar = nullptr;
    FXMenuPane* gameMenu = nullptr;
    FXMenuPane* displayMenu = nullptr;
    FXMenuPane* infoMenu = nullptr;
    FXMenuPane* backgroundMenu = nullptr;
    FXMenuPane* cardSizeMenu = nullptr;
    FXCanvas* canvas = nullptr;
    FXLabel* scoreLabel = nullptr;
    FXLabel* opponentScoreLabel = nullptr;
    FXLabel* gameLabel = nullptr;
    FXLabel* opponentGameLabel = nullptr;
    FXHorizontalFrame* topBar = nullptr;
    std::array<FXWindow*, 2> spacers{};
    FXBMPImage* tableImage = nullptr;
    FXBMPImage* savedTableImage = nullptr;
    FXButton* begButton = nullptr;
    ChatBar* chatBar = nullptr;
    // What the session waits for, across the table; empty for nothing.
    std::string statusNote;
    FXMenuPane* speedMenu = nullptr;

    FXIcon* windowIcon = nullptr;
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
    bool hintShown = false;
    BackgroundExpert::Advice hint;
    SeatView hintView;
    GameSpeed speed = GameSpeed::NORMAL;
    std::function<void()> heldMove;
    // What the last beg and its answer were, until the first trick is done.
    static constexpr size_t NOTES_KEPT = 3;
    std::vector<std::string> notes;
    // The card of the hand to act that the arrow keys picked, or -1; it
    // lasts until the next action is applied.
    int keyPick = -1;
    uint64_t keyPickAt = 0;
    FXDialogBox* roundSummary = nullptr;
    // Made on first use and kept, hidden between uses.
    GameSetup* setupDialog = nullptr;
    RuleDialog* ruleDialog = nullptr;
    // Only while the host seats its players.
    AddPlayersDialog* addPlayersDialog = nullptr;
    int socketDepth = 0;
    FXSelector deferredCommand = 0;
    // Where create() put the game labels; they move right only to keep
    // clear of a score label grown wider than the layout allowed for.
    int gameLabelX = 0;
    int opponentGameLabelX = 0;
};

static_assert(Frame::ID_START_GAME == 60, "numbered from FXMainWindow::ID_LAST");
static_assert(int(Frame::ID_LISTEN) == int(::ID_LISTEN) && int(Frame::ID_CONNECTION) == int(::ID_CONNECTION),
              "the sockets report under the Frame's ids");
