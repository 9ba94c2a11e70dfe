// The main window: menus, score labels, the table canvas and the BEG button.
// It is the engine's Table, the transport's SocketWatcher and the computers'
// pace; the table itself is the TableCanvas, the session's side of the
// window the SessionPanel. The clicks live in input.cpp, the menu commands
// and dialogs in commands.cpp, the boxes and the round summary in boxes.cpp.
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
#include "records/record_replay.h"
#include "ui/click_rules.h"
#include "ui/game_speed.h"
#include "ui/table_canvas.h"
#include "ui/table_layout.h"

class GameSetup;
class PlayerNames;
class RecordWriter;
class ReplayView;
class RuleDialog;
class SessionPanel;

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
    // The game's record, which counts the hints asked for.
    RecordWriter* records = nullptr;
};

class Frame : public FXMainWindow, public Table, public SocketWatcher, public ComputerPace {
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
        ID_LAST_TRICK = 72,
        ID_CANVAS = 73,
        ID_RELAY = 74,
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
        ID_CARD_SIZE_SMALL = ID_CONNECTION + 10,
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
        ID_STATISTICS,
        ID_SUMMARY_KEY,
        ID_CONNECTING,  // + connect index, 0 to CONNECTS_MAX - 1
        ID_TRANSPORT_TIMER = ID_CONNECTING + CONNECTS_MAX,
        ID_LAST
    };

    Frame(FXApp* application, GameState* state, CardScale scale);
    ~Frame() override;
    void create() override;

    void setTransport(Transport* t);
    // Also reads the speed from the settings, if there are any.
    void attach(const FrameParts& frameParts);
    // Takes ownership; nullptr returns to the solid cloth. The caller redraws.
    void setBackgroundImage(FXImage* image) { canvas->setBackgroundImage(image); }
    const TableLayout& tableLayout() const { return canvas->tableLayout(); }
    CardScale cardScale() const { return tableLayout().scale(); }
    TableCanvas& table() { return *canvas; }
    // What the session asks of the window.
    SessionUi& sessionUi();
    // The table and every widget on it laid out for the window's size.
    void relayoutTable();
    // The game setup dialog, once the event loop runs again.
    void scheduleSetupDialog();
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
    void watchConnect(int socket, int index) override;
    void unwatchConnect(int socket) override;
    void startTransportTimer(int ms) override;

    long onConfigure(FXObject*, FXSelector, void*);
    long onCanvasPaint(FXObject*, FXSelector, void*);
    long onCanvasPress(FXObject*, FXSelector, void*);
    long onCanvasRelease(FXObject*, FXSelector, void*);
    long onIoConnection(FXObject*, FXSelector, void*);
    long onIoListen(FXObject*, FXSelector, void*);
    long onIoConnecting(FXObject*, FXSelector, void*);
    long onTransportTimer(FXObject*, FXSelector, void*);
    long onIoRelay(FXObject*, FXSelector, void*);
    long onClose(FXObject*, FXSelector, void*);
    long onCmdQuitGame(FXObject*, FXSelector, void*);
    long onCmdBeg(FXObject*, FXSelector, void*);
    long onUpdBeg(FXObject*, FXSelector, void*);
    long onCmdCallReneed(FXObject*, FXSelector, void*);
    long onUpdCallReneed(FXObject*, FXSelector, void*);
    long onCmdLastTrick(FXObject*, FXSelector, void*);
    long onSetupTimer(FXObject*, FXSelector, void*);
    long onComputerMoveTimer(FXObject*, FXSelector, void*);
    long onCmdSpeed(FXObject*, FXSelector, void*);
    long onUpdSpeed(FXObject*, FXSelector, void*);
    long onCmdQuit(FXObject*, FXSelector, void*);
    long onPlaceBoxTimer(FXObject*, FXSelector, void*);
    long onSummaryKey(FXObject*, FXSelector, void*);
    long onKeyPress(FXObject*, FXSelector, void*);
    long onCmdStartGame(FXObject*, FXSelector, void*);
    long onCmdNewLocalGame(FXObject*, FXSelector, void*);
    long onCmdNetworkGame(FXObject*, FXSelector, void*);
    long onCmdRuleVariations(FXObject*, FXSelector, void*);
    long onCmdHighScores(FXObject*, FXSelector, void*);
    long onCmdStatistics(FXObject*, FXSelector, void*);
    long onCmdInfo(FXObject*, FXSelector, void*);
    long onCmdBackground(FXObject*, FXSelector, void*);
    long onCmdCardSize(FXObject*, FXSelector, void*);
    long onUpdCardSize(FXObject*, FXSelector, void*);
    long onCmdHint(FXObject*, FXSelector, void*);
    long onUpdHint(FXObject*, FXSelector, void*);
    long onIoExpertReady(FXObject*, FXSelector, void*);

private:
    void buildMenus();
    void buildTopBar();
    // Pictures, fonts, top bar, BEG button and layout for the window's
    // current size at this scale.
    void useScale(CardScale scale);
    // The top bar and the BEG button for the table's scale.
    void placeTopBar();

    // Shows a refusal or sends the move a click or a key decided.
    void actOnCard(const CardClick& decision);
    // The keys of play; false leaves the key to the window.
    bool playByKey(FXuint key);
    // The question before quitting a game under way.
    void quitAsking();
    bool gameInProgress() const;
    // A box over the middle of the window, wherever the window stands now.
    void centreOnWindow(FXWindow* box);
    // Modal message boxes open where they cover no round summary.
    void placeNextBoxClear();
    Rect rootRectOf(const FXWindow* window) const;
    Rect screenRect() const;
    void quit();
    // Socket readiness runs the engine, whose pauses, animations and boxes
    // let menu commands in before the action is fully applied.
    void readSockets(const std::function<void(Transport&)>& read);
    // A command that begins or ends a game would pull the cards from under
    // the action being applied: it waits until that action is done.
    bool deferWhileApplying(FXSelector id);
    // A game or network session holds the table.
    bool sessionUnderWay() const;
    bool reneedCallable() const;
    bool hintUseful() const;
    void chooseBackgroundImage();
    // A new local game with a record's seats and its first deal.
    void playDealAgain(const RecordHeader& header, GameState::StackedDeal deal);

    GameState* game = nullptr;
    Transport* transport = nullptr;
    FrameParts parts;
    // A recorded game on the table in place of the live one.
    ReplayView* replayView = nullptr;

    FXMenuBar* menuBar = nullptr;
    FXMenuPane* gameMenu = nullptr;
    FXMenuPane* displayMenu = nullptr;
    FXMenuPane* infoMenu = nullptr;
    FXMenuPane* backgroundMenu = nullptr;
    FXMenuPane* cardSizeMenu = nullptr;
    TableCanvas* canvas = nullptr;
    SessionPanel* sessionPanel = nullptr;
    FXLabel* scoreLabel = nullptr;
    FXLabel* opponentScoreLabel = nullptr;
    FXLabel* gameLabel = nullptr;
    FXLabel* opponentGameLabel = nullptr;
    FXHorizontalFrame* topBar = nullptr;
    std::array<FXWindow*, 2> spacers{};
    FXButton* begButton = nullptr;
    FXMenuPane* speedMenu = nullptr;

    GameSpeed speed = GameSpeed::NORMAL;
    std::function<void()> heldMove;
    FXDialogBox* roundSummary = nullptr;
    // Made on first use and kept, hidden between uses.
    GameSetup* setupDialog = nullptr;
    RuleDialog* ruleDialog = nullptr;
    int socketDepth = 0;
    FXSelector deferredCommand = 0;
    // Where create() put the game labels; they move right only to keep
    // clear of a score label grown wider than the layout allowed for.
    int gameLabelX = 0;
    int opponentGameLabelX = 0;
};

static_assert(Frame::ID_START_GAME == 60, "numbered from FXMainWindow::ID_LAST");
static_assert(int(Frame::ID_LISTEN) == int(::ID_LISTEN) && int(Frame::ID_CONNECTION) == int(::ID_CONNECTION) &&
                  int(Frame::ID_RELAY) == int(::ID_RELAY),
              "the sockets report under the Frame's ids");
