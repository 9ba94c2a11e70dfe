#include "ui/frame.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/actions.h"
#include "engine/rule_dialog.h"
#include "net/setup_dialog.h"
#include "records/record_writer.h"
#include "net/transport.h"
#include "ui/replay_view.h"
#include "ui/click_rules.h"
#include "ui/session_panel.h"

FXDEFMAP(Frame) FrameMap[] = {
    FXMAPFUNC(SEL_CONFIGURE, 0, Frame::onConfigure),
    FXMAPFUNC(SEL_PAINT, Frame::ID_CANVAS, Frame::onCanvasPaint),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, Frame::ID_CANVAS, Frame::onCanvasPress),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, Frame::ID_CANVAS, Frame::onCanvasRelease),
    FXMAPFUNCS(SEL_IO_READ, Frame::ID_CONNECTION, Frame::ID_CONNECTION + 9, Frame::onIoConnection),
    FXMAPFUNC(SEL_IO_READ, Frame::ID_LISTEN, Frame::onIoListen),
    FXMAPFUNCS(SEL_IO_WRITE, Frame::ID_CONNECTING, Frame::ID_CONNECTING + CONNECTS_MAX - 1, Frame::onIoConnecting),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_TRANSPORT_TIMER, Frame::onTransportTimer),
    FXMAPFUNC(SEL_IO_READ, Frame::ID_RELAY, Frame::onIoRelay),
    FXMAPFUNC(SEL_CLOSE, 0, Frame::onClose),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_QUIT_GAME, Frame::onCmdQuitGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_BEG, Frame::onCmdBeg),
    FXMAPFUNC(SEL_UPDATE, Frame::ID_BEG, Frame::onUpdBeg),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_CALL_RENEED, Frame::onCmdCallReneed),
    FXMAPFUNC(SEL_UPDATE, Frame::ID_CALL_RENEED, Frame::onUpdCallReneed),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_LAST_TRICK, Frame::onCmdLastTrick),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_SETUP_TIMER, Frame::onSetupTimer),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_COMPUTER_MOVE, Frame::onComputerMoveTimer),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_SPEED_SLOW, Frame::ID_SPEED_FAST, Frame::onCmdSpeed),
    FXMAPFUNCS(SEL_UPDATE, Frame::ID_SPEED_SLOW, Frame::ID_SPEED_FAST, Frame::onUpdSpeed),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_QUIT, Frame::onCmdQuit),
    FXMAPFUNC(SEL_TIMEOUT, Frame::ID_PLACE_BOX, Frame::onPlaceBoxTimer),
    FXMAPFUNC(SEL_KEYPRESS, Frame::ID_SUMMARY_KEY, Frame::onSummaryKey),
    FXMAPFUNC(SEL_KEYPRESS, 0, Frame::onKeyPress),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_START_GAME, Frame::onCmdStartGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_NEW_LOCAL_GAME, Frame::onCmdNewLocalGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_NETWORK_GAME, Frame::onCmdNetworkGame),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_RULE_VARIATIONS, Frame::onCmdRuleVariations),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_HIGH_SCORES, Frame::onCmdHighScores),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_STATISTICS, Frame::onCmdStatistics),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_ABOUT, Frame::ID_RULES, Frame::onCmdInfo),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_BACKGROUND_SOLID, Frame::ID_BACKGROUND_IMAGE, Frame::onCmdBackground),
    FXMAPFUNCS(SEL_COMMAND, Frame::ID_CARD_SIZE_SMALL, Frame::ID_CARD_SIZE_LARGE, Frame::onCmdCardSize),
    FXMAPFUNCS(SEL_UPDATE, Frame::ID_CARD_SIZE_SMALL, Frame::ID_CARD_SIZE_LARGE, Frame::onUpdCardSize),
    FXMAPFUNC(SEL_COMMAND, Frame::ID_HINT, Frame::onCmdHint),
    FXMAPFUNC(SEL_UPDATE, Frame::ID_HINT, Frame::onUpdHint),
    FXMAPFUNC(SEL_IO_READ, Frame::ID_EXPERT_READY, Frame::onIoExpertReady),
};

FXIMPLEMENT(Frame, FXMainWindow, FrameMap, ARRAYNUMBER(FrameMap))

static_assert(int(Frame::ID_START_GAME) == int(::ID_START_GAME) && int(Frame::ID_QUIT_GAME) == int(::ID_QUIT_GAME),
              "the setup dialog's buttons reach the Frame's handlers");

namespace {

constexpr FXColor SCORE_COLOUR = FXRGB(235, 0, 0);
constexpr FXColor GAME_POINTS_COLOUR = FXRGB(0, 0, 0);
// The top bar when small; it grows with the table.
constexpr int TOP_BAR_HEIGHT = 24;
constexpr int SPACER_WIDTH = 60;
// The BEG button stands out while the beg is open.
constexpr FXColor BEG_OPEN_COLOUR = FXRGB(255, 200, 0);
constexpr FXColor BEG_OPEN_TEXT = FXRGB(0, 0, 0);
constexpr int BEG_PADDING = 6;
constexpr int HANG_JACK_PAUSE_MS = 1200;

}  // namespace

Frame::Frame(FXApp* application, GameState* state, CardScale scale)
    : FXMainWindow(application, "Marvanto", nullptr, nullptr, DECOR_ALL, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
      game(state)
{
    const PixelSize size = tableSize(scale);
    setWidth(size.width);
    setHeight(size.height);

    replayView = new ReplayView(defaultRecordFolder());
    buildTopBar();
    begButton = new FXButton(this, "B\nE\nG", nullptr, this, ID_BEG,
                             FRAME_RAISED | FRAME_THICK | LAYOUT_FIX_X | LAYOUT_FIX_Y, 0, 0, 0, 0, 2, 2, 2, 2);
    replayView->buildBar(this);
    sessionPanel = new SessionPanel(this, game);
    canvas = new TableCanvas(this, this, ID_CANVAS, game, scale, getWidth(), getHeight());
    replayView->setWindow({canvas, game, [this] { updateScoreLabels(); }, [this] { return !sessionUnderWay(); },
                           [this] { if (setupDialog) setupDialog->hide(); }, [this] { scheduleSetupDialog(); },
                           [this](const std::string& caption, const std::string& text) { showError(caption, text); },
                           [this](const RecordHeader& header, GameState::StackedDeal deal) {
                               playDealAgain(header, std::move(deal));
                           }});
    placeTopBar();
    // No beg decision is pending before the first deal.
    game->table = this;
}

void Frame::useScale(CardScale scale)
{
    canvas->useScale(scale, getWidth(), getHeight());
    placeTopBar();
}

void Frame::setCardScale(CardScale scale)
{
    const PixelSize size = tableSize(scale);
    useScale(scale);
    resize(size.width, size.height);
    // Grown in place, the window could reach past the screen's edge.
    if (shown()) place(PLACEMENT_SCREEN);
    if (id()) {
        relayoutTable();
        drawTable(true);
    }
}

void Frame::buildTopBar()
{
    topBar = new FXHorizontalFrame(this, LAYOUT_FILL_X | LAYOUT_FIX_HEIGHT, 0, 0, 0, TOP_BAR_HEIGHT, 0, 0, 0, 0, 0, 0);
    menuBar = new FXMenuBar(topBar, FRAME_RAISED, 0, 0, 0, 0, 3, 3, 2, 2, 4, 4);
    buildMenus();

    const FXuint scoreOptions = JUSTIFY_LEFT | LAYOUT_FIX_X | LAYOUT_FIX_WIDTH | LAYOUT_FILL_Y;
    // Centred, so that a smaller face than the bar was made for keeps the
    // game points in line with the scores.
    const FXuint gameOptions = JUSTIFY_LEFT | LAYOUT_FIX_X | LAYOUT_FIX_WIDTH | LAYOUT_CENTER_Y;
    // The separators carry no line: they only keep the labels apart.
    spacers[0] = new FXHorizontalSeparator(topBar, LAYOUT_FIX_WIDTH, 0, 0, SPACER_WIDTH, 0, 1, 1, 0, 0);
    scoreLabel = new FXLabel(topBar, "Score: 0", nullptr, scoreOptions, SCORE_LABEL_X, 0, 80, 0, 2, 2, 2, 2);
    gameLabel = new FXLabel(topBar, "[Game: 0]", nullptr, gameOptions, 220, 0, 90, 0, 2, 2, 2, 2);
    spacers[1] = new FXHorizontalSeparator(topBar, LAYOUT_FIX_WIDTH, 0, 0, SPACER_WIDTH, 0, 1, 1, 0, 0);
    opponentScoreLabel =
        new FXLabel(topBar, "Opponent Score: 0", nullptr, scoreOptions, OPPONENT_SCORE_LABEL_X, 0, 170, 0, 2, 2, 2, 2);
    opponentGameLabel = new FXLabel(topBar, "[Game: 0]", nullptr, gameOptions, 404, 0, 90, 0, 2, 2, 2, 2);
    scoreLabel->setTextColor(SCORE_COLOUR);
    opponentScoreLabel->setTextColor(SCORE_COLOUR);
    gameLabel->setTextColor(GAME_POINTS_COLOUR);
    opponentGameLabel->setTextColor(GAME_POINTS_COLOUR);
}

void Frame::placeTopBar()
{
    const TableFonts& fonts = canvas->tableFonts();
    const CardScale scale = cardScale();
    setIcon(canvas->windowIcon());
    setMiniIcon(canvas->windowIcon());
    topBar->setHeight(scaled(TOP_BAR_HEIGHT, scale));
    for (FXWindow* spacer : spacers) spacer->setWidth(scaled(SPACER_WIDTH, scale));
    for (FXLabel* label : {scoreLabel, gameLabel, opponentScoreLabel, opponentGameLabel}) label->setFont(fonts.score);
    scoreLabel->setX(scaled(SCORE_LABEL_X, scale));
    opponentScoreLabel->setX(scaled(OPPONENT_SCORE_LABEL_X, scale));
    // The game labels stand still through the game: clear of the widest
    // score their score labels will show.
    gameLabelX = gameLabelPlace(fonts.score, scoreLabel->getX(), WIDEST_SCORE, LABEL_EXTRA);
    opponentGameLabelX =
        gameLabelPlace(fonts.score, opponentScoreLabel->getX(), WIDEST_OPPONENT_SCORE, OPPONENT_SCORE_EXTRA);
    gameLabel->setX(gameLabelX);
    opponentGameLabel->setX(opponentGameLabelX);
    begButton->setFont(fonts.button);
    const int padding = scaled(BEG_PADDING, scale);
    begButton->setPadLeft(padding);
    begButton->setPadRight(padding);
    begButton->setPadTop(padding);
    begButton->setPadBottom(padding);
    const Point beg = tableLayout().begButtonOrigin(begButton->getDefaultWidth(), topBar->getHeight());
    begButton->setX(beg.x);
    begButton->setY(beg.y);
}

void Frame::buildMenus()
{
    gameMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(gameMenu, "New Local Game", nullptr, this, ID_NEW_LOCAL_GAME, 0);
    new FXMenuCommand(gameMenu, "Network Game", nullptr, this, ID_NETWORK_GAME, 0);
    new FXMenuCommand(gameMenu, "Rule variations...", nullptr, this, ID_RULE_VARIATIONS, 0);
    new FXMenuCommand(gameMenu, "Call Reneed\tCtl-R", nullptr, this, ID_CALL_RENEED, 0);
    new FXMenuCommand(gameMenu, "Hint\tCtl-H", nullptr, this, ID_HINT, 0);
    replayView->addMenuEntries(gameMenu);
    new FXMenuSeparator(gameMenu);
    new FXMenuCommand(gameMenu, "&Quit\tCtl-Q", nullptr, this, ID_QUIT, 0);
    new FXMenuTitle(menuBar, "&Game", nullptr, gameMenu);

    displayMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(displayMenu, "Last Trick", nullptr, this, ID_LAST_TRICK, 0);
    new FXMenuCommand(displayMenu, "High Scores...", nullptr, this, ID_HIGH_SCORES, 0);
    backgroundMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(backgroundMenu, "Solid", nullptr, this, ID_BACKGROUND_SOLID, 0);
    new FXMenuCommand(backgroundMenu, "Image...", nullptr, this, ID_BACKGROUND_IMAGE, 0);
    new FXMenuCascade(displayMenu, "Background", nullptr, backgroundMenu);
    cardSizeMenu = new FXMenuPane(this, 0);
    new FXMenuRadio(cardSizeMenu, "Small", this, ID_CARD_SIZE_SMALL, 0);
    new FXMenuRadio(cardSizeMenu, "Medium", this, ID_CARD_SIZE_MEDIUM, 0);
    new FXMenuRadio(cardSizeMenu, "Large", this, ID_CARD_SIZE_LARGE, 0);
    new FXMenuCascade(displayMenu, "Card Size", nullptr, cardSizeMenu);
    speedMenu = new FXMenuPane(this, 0);
    new FXMenuRadio(speedMenu, "Slow", this, ID_SPEED_SLOW, 0);
    new FXMenuRadio(speedMenu, "Normal", this, ID_SPEED_NORMAL, 0);
    new FXMenuRadio(speedMenu, "Fast", this, ID_SPEED_FAST, 0);
    new FXMenuCascade(displayMenu, "Speed", nullptr, speedMenu);
    new FXMenuCommand(displayMenu, "Statistics...", nullptr, this, ID_STATISTICS, 0);
    new FXMenuTitle(menuBar, "&Display", nullptr, displayMenu);

    infoMenu = new FXMenuPane(this, 0);
    new FXMenuCommand(infoMenu, "How to play...", nullptr, this, ID_HOW_TO_PLAY, 0);
    new FXMenuCommand(infoMenu, "Rules...", nullptr, this, ID_RULES, 0);
    new FXMenuSeparator(infoMenu);
    new FXMenuCommand(infoMenu, "About...", nullptr, this, ID_ABOUT, 0);
    new FXMenuTitle(menuBar, "&Info", nullptr, infoMenu);
}

Frame::~Frame()
{
    delete roundSummary;
    delete setupDialog;
    delete ruleDialog;
    delete sessionPanel;
    // The panes are children of the root window, not of this one.
    delete gameMenu;
    delete displayMenu;
    delete infoMenu;
    delete backgroundMenu;
    delete cardSizeMenu;
    delete speedMenu;
    delete replayView;
}

void Frame::create()
{
    FXMainWindow::create();
    // Created after the button, the canvas would otherwise cover it.
    begButton->raise();
    canvas->drawTable(true);
}

void Frame::attach(const FrameParts& frameParts)
{
    parts = frameParts;
    sessionPanel->setSession(parts.session);
    if (parts.settings) speed = loadGameSpeed(*parts.settings);
}

void Frame::setTransport(Transport* t)
{
    transport = t;
    canvas->setTransport(t);
}

SessionUi& Frame::sessionUi() { return *sessionPanel; }

void Frame::relayoutTable()
{
    canvas->layoutTrickSlots(getWidth(), getHeight());
    placeTopBar();
}

void Frame::scheduleSetupDialog() { getApp()->addTimeout(this, ID_SETUP_TIMER, 0); }

void Frame::drawTable(bool refresh) { canvas->drawTable(refresh); }

void Frame::showAnnouncement(const std::string& text) { canvas->showAnnouncement(text); }

void Frame::sweepTrickAway(Card* trick, int winnerSeat) { canvas->sweepTrickAway(trick, winnerSeat); }

void Frame::showHangJack()
{
    canvas->showHangJack();
    pauseDisplay(HANG_JACK_PAUSE_MS);
}

void Frame::showNote(const std::string& text) { canvas->addNote(text); }

void Frame::pauseDisplay(int ms)
{
    if (ms <= 0) return;
    getApp()->runWhileEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs(speed, ms)));
}

void Frame::processPendingEvents() { getApp()->runWhileEvents(); }

void Frame::hold(std::function<void()> send)
{
    const int wait = computerWaitMs(speed);
    if (wait <= 0) {
        heldMove = nullptr;
        send();
        return;
    }
    // A timer, so the window lives on while the card is shown.
    heldMove = std::move(send);
    getApp()->addTimeout(this, ID_COMPUTER_MOVE, wait);
}

long Frame::onComputerMoveTimer(FXObject*, FXSelector, void*)
{
    std::function<void()> send = std::move(heldMove);
    heldMove = nullptr;
    if (send) send();
    return 1;
}

long Frame::onCanvasPaint(FXObject*, FXSelector, void*)
{
    updateScoreLabels();
    return 1;
}

long Frame::onConfigure(FXObject* sender, FXSelector sel, void* ptr)
{
    FXMainWindow::onConfigure(sender, sel, ptr);
    // The window manager may move the window after the setup dialog opened
    // over it, as it does when placing a window that just changed size.
    if (setupDialog && setupDialog->shown()) centreOnWindow(setupDialog);
    const int w = getWidth();
    const int h = getHeight();
    if (!canvas->resizeImages(w, h)) return 1;
    // A window made larger or smaller by hand gets the largest table that fits.
    const CardScale fitting = fittingScale(w, h);
    if (fitting != cardScale()) useScale(fitting);
    relayoutTable();
    sessionPanel->windowResized(w, h);
    replayView->windowResized(w, h);
    canvas->redrawAfterResize();
    return 1;
}

void Frame::updateScoreLabels()
{
    // The game on the table: a replay's while one is shown.
    const GameState& shown = canvas->shownGame();
    const int local = shown.isSeat(shown.localSeat) ? shown.localSeat : 0;
    const Team* us = shown.seats[local].team;
    if (!us || !us->opponent) return;
    const Team* them = us->opponent;
    const TableFonts& fonts = canvas->tableFonts();
    bool changed = false;
    auto set = [&fonts, &changed](FXLabel* label, const FXString& text, int extra) {
        if (label->getText() == text) return;
        changed = true;
        label->setText(text);
        label->setWidth(fonts.score->getTextWidth(text) + extra);
    };
    set(scoreLabel, FXStringFormat("Score: %d", shownScore(shown, *us)), LABEL_EXTRA);
    set(gameLabel, FXStringFormat("[Game: %d]", us->cardPoints), LABEL_EXTRA);
    set(opponentScoreLabel, FXStringFormat("Opponent Score: %d", shownScore(shown, *them)), OPPONENT_SCORE_EXTRA);
    set(opponentGameLabel, FXStringFormat("[Game: %d]", them->cardPoints), LABEL_EXTRA);
    // A negative score may be wider still.
    gameLabel->setX(std::max(gameLabelX, scoreLabel->getX() + scoreLabel->getWidth() + GAME_LABEL_GAP));
    opponentGameLabel->setX(
        std::max(opponentGameLabelX, opponentScoreLabel->getX() + opponentScoreLabel->getWidth() + GAME_LABEL_GAP));
    if (!changed) return;
    // Laid out and painted now: a queued repaint waits while a socket is
    // ready, and the bar would keep the ends of the wider texts till then.
    topBar->layout();
    topBar->update();
    topBar->repaint();
    for (FXLabel* label : {scoreLabel, gameLabel, opponentScoreLabel, opponentGameLabel}) {
        label->update();
        label->repaint();
    }
}

bool Frame::begEnabled() const { return canvas->begIsOpen(); }

void Frame::setBegEnabled(bool enabled) { canvas->setBegOpen(enabled); }

// The button follows the game rather than every caller: open while the
// eldest hand may beg, and standing out only while that decision is the
// person's, which a seat taken over or given back can change at any time.
long Frame::onUpdBeg(FXObject* sender, FXSelector, void*)
{
    const bool open = canvas->begIsOpen();
    sender->handle(this, FXSEL(SEL_COMMAND, open ? ID_ENABLE : ID_DISABLE), nullptr);
    const bool persons = open && localHumanToAct(*game);
    const FXColor back = persons ? BEG_OPEN_COLOUR : getApp()->getBaseColor();
    if (begButton->getBackColor() != back) {
        begButton->setBackColor(back);
        begButton->setTextColor(persons ? BEG_OPEN_TEXT : getApp()->getForeColor());
    }
    return 1;
}

void Frame::showBegButton(bool shown)
{
    if (shown) {
        begButton->show();
        begButton->raise();
    } else {
        begButton->hide();
    }
    recalc();
}

void Frame::watchSocket(int socket, int id) { getApp()->addInput(socket, INPUT_READ, this, id); }

void Frame::unwatchSocket(int socket) { getApp()->removeInput(socket, INPUT_READ); }

void Frame::watchConnect(int socket, int index) { getApp()->addInput(socket, INPUT_WRITE, this, ID_CONNECTING + index); }

void Frame::unwatchConnect(int socket) { getApp()->removeInput(socket, INPUT_WRITE); }

void Frame::startTransportTimer(int ms) { getApp()->addTimeout(this, ID_TRANSPORT_TIMER, static_cast<FXuint>(ms)); }

void Frame::readSockets(const std::function<void(Transport&)>& read)
{
    if (!transport) return;
    ++socketDepth;
    read(*transport);
    if (--socketDepth > 0 || !deferredCommand) return;
    const FXSelector id = deferredCommand;
    deferredCommand = 0;
    handle(this, FXSEL(SEL_COMMAND, id), nullptr);
}

bool Frame::deferWhileApplying(FXSelector id)
{
    if (socketDepth == 0) return false;
    deferredCommand = id;
    return true;
}

long Frame::onIoConnection(FXObject*, FXSelector sel, void*)
{
    const int slot = FXSELID(sel) - ID_CONNECTION;
    readSockets([slot](Transport& t) { t.onSocketReadable(slot); });
    return 1;
}

long Frame::onIoListen(FXObject*, FXSelector, void*)
{
    readSockets([](Transport& t) { t.onListenerReadable(); });
    return 1;
}

long Frame::onIoConnecting(FXObject*, FXSelector sel, void*)
{
    const int index = FXSELID(sel) - ID_CONNECTING;
    readSockets([index](Transport& t) { t.onConnectDone(index); });
    return 1;
}

long Frame::onTransportTimer(FXObject*, FXSelector, void*)
{
    readSockets([](Transport& t) { t.onTimer(); });
    return 1;
}

long Frame::onIoRelay(FXObject*, FXSelector, void*)
{
    readSockets([](Transport& t) { t.onRelayReadable(); });
    return 1;
}

void Frame::quit()
{
    game->sessionMode = MODE_QUITTING;
    getApp()->handle(this, FXSEL(SEL_COMMAND, FXApp::ID_QUIT), nullptr);
}

bool Frame::gameInProgress() const
{
    const bool playing =
        game->sessionMode == MODE_LOCAL || game->sessionMode == MODE_JOINED || game->sessionMode == MODE_HOSTING;
    return playing && game->seatInPlay(game->localSeat);
}

void Frame::quitAsking()
{
    if (gameInProgress()) {
        placeNextBoxClear();
        // Only Yes ends the game: Escape or the close box keeps it.
        if (FXMessageBox::question(this, MBOX_YES_NO, "Quit", "Quit the game in progress?") != MBOX_CLICKED_YES) return;
    }
    quit();
}

long Frame::onClose(FXObject*, FXSelector, void*)
{
    quitAsking();
    return 1;
}

long Frame::onCmdQuit(FXObject*, FXSelector, void*)
{
    quitAsking();
    return 1;
}

long Frame::onCmdQuitGame(FXObject* sender, FXSelector, void*)
{
    // The quitting button sits somewhere inside its dialog: close that first.
    if (sender && sender->isMemberOf(FXMETACLASS(FXWindow))) {
        FXWindow* dialog = static_cast<FXWindow*>(sender)->getShell();
        if (dialog && dialog != this) dialog->handle(this, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
    }
    quit();
    return 1;
}

// A replay on the table hides the live game: nothing is called on it.
bool Frame::reneedCallable() const { return !replayView->active() && roundInPlay(*game); }

bool Frame::hintUseful() const { return parts.expert && !replayView->active() && localHumanToAct(*game); }

long Frame::onCmdCallReneed(FXObject*, FXSelector, void*)
{
    if (reneedCallable()) sendCallReneed(*game, game->localSeat);
    return 1;
}

// The menu shows when a command can do something: a call only while a
// round is played, a hint only while the person has a decision to make.
long Frame::onUpdCallReneed(FXObject* sender, FXSelector, void*)
{
    sender->handle(this, FXSEL(SEL_COMMAND, reneedCallable() ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}

long Frame::onUpdHint(FXObject* sender, FXSelector, void*)
{
    const bool useful = hintUseful();
    sender->handle(this, FXSEL(SEL_COMMAND, useful ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}
