// The menu commands and the dialogs they open.
#include "engine/rule_dialog.h"
#include "net/network_dialog.h"
#include "net/setup_dialog.h"
#include "records/high_score_dialog.h"
#include "records/game_statistics.h"
#include "records/record_writer.h"
#include "ui/statistics_dialog.h"
#include "ui/background.h"
#include "ui/background_fit.h"
#include "ui/card_scale.h"
#include "ui/frame.h"
#include "ui/info_dialogs.h"
#include "ui/saved_rules.h"
#include "ui/screen_size.h"

bool Frame::sessionUnderWay() const { return game->turn != TURN_IDLE || game->seats[0].connection != -1; }

long Frame::onSetupTimer(FXObject*, FXSelector, void*)
{
    showBegButton(false);
    heldMove = nullptr;
    canvas->clearNotes();
    game->sessionMode = MODE_SETUP;
    if (!setupDialog) {
        setupDialog = new GameSetup(this, *game, *parts.names, *parts.computerChoice);
        setupDialog->create();
    }
    setupDialog->open();
    centreOnWindow(setupDialog);
    return 1;
}

long Frame::onCmdStartGame(FXObject*, FXSelector, void*)
{
    if (!deferWhileApplying(ID_START_GAME)) parts.session->onStartGame();
    return 1;
}

long Frame::onCmdNewLocalGame(FXObject*, FXSelector, void*)
{
    if (deferWhileApplying(ID_NEW_LOCAL_GAME)) return 1;
    if (FXMessageBox::question(this, MBOX_YES_NO, "New Game", "Begin a new game?") == MBOX_CLICKED_YES)
        parts.session->newLocalGame();
    return 1;
}

long Frame::onCmdNetworkGame(FXObject*, FXSelector, void*)
{
    if (deferWhileApplying(ID_NETWORK_GAME)) return 1;
    if (sessionUnderWay()) {
        if (FXMessageBox::question(this, MBOX_YES_NO, "Network Game", "End this game and begin a network game?") !=
            MBOX_CLICKED_YES)
            return 1;
        parts.session->newLocalGame();
        // The network dialog stands in for the setup dialog; a cancel below
        // brings that back.
        getApp()->removeTimeout(this, ID_SETUP_TIMER);
    }
    const NetworkChoice choice = chooseNetworkGame(this, *game, *parts.names, parts.settings);
    if (choice == NETWORK_CANCELLED) {
        scheduleSetupDialog();
        return 1;
    }
    if (setupDialog) setupDialog->hide();
    // A host that gives up, or fails, brings the setup dialog back itself.
    if (choice == NETWORK_HOST) {
        parts.session->hostNetworkGame();
    } else if (choice == NETWORK_INVITE) {
        const auto relay = relaySetting(parts.settings);
        if (relay)
            parts.session->hostInternetGame(*relay);
        else
            scheduleSetupDialog();
    } else if (!joinNetworkGameWithPrompt(this, *parts.session, *game, NET_LISTEN_PORT, parts.settings)) {
        scheduleSetupDialog();
    }
    return 1;
}

long Frame::onCmdRuleVariations(FXObject*, FXSelector, void*)
{
    runRuleDialog(ruleDialog, this, game->pendingRules);
    if (parts.settings) saveRules(*parts.settings, game->pendingRules);
    return 1;
}

// The speed menu's entries in the order of their ids.
static GameSpeed speedOfEntry(FXSelector sel)
{
    static const GameSpeed SPEEDS[] = {GameSpeed::SLOW, GameSpeed::NORMAL, GameSpeed::FAST};
    return SPEEDS[FXSELID(sel) - Frame::ID_SPEED_SLOW];
}

long Frame::onCmdSpeed(FXObject*, FXSelector sel, void*)
{
    speed = speedOfEntry(sel);
    if (parts.settings) saveGameSpeed(*parts.settings, speed);
    return 1;
}

long Frame::onUpdSpeed(FXObject* sender, FXSelector sel, void*)
{
    const bool chosen = speedOfEntry(sel) == speed;
    sender->handle(this, FXSEL(SEL_COMMAND, chosen ? FXWindow::ID_CHECK : FXWindow::ID_UNCHECK), nullptr);
    return 1;
}

void Frame::playDealAgain(const RecordHeader& header, GameState::StackedDeal deal)
{
    // The seats as Game Setup would leave them for this record's people.
    setSeatName(game->seats[0], header.names[0]);
    const bool partner = header.seatCount == 4 && header.kinds[1] == LOCAL_HUMAN;
    if (partner) {
        setSeatName(game->seats[1], header.names[1]);
        game->seats[1].kind = LOCAL_HUMAN;
    } else {
        clearSeatName(game->seats[1]);
    }
    game->localPlayers = partner ? 2 : 1;
    game->seatCount = header.seatCount;
    game->stackedDeal = std::move(deal);
    if (setupDialog) setupDialog->hide();
    handle(this, FXSEL(SEL_COMMAND, ID_START_GAME), nullptr);
}

long Frame::onCmdStatistics(FXObject*, FXSelector, void*)
{
    showStatistics(this, gatherStatistics(defaultRecordFolder()));
    return 1;
}

long Frame::onCmdHighScores(FXObject*, FXSelector, void*)
{
    showHighScores(this, *parts.highScores);
    return 1;
}

long Frame::onCmdInfo(FXObject*, FXSelector sel, void*)
{
    switch (FXSELID(sel)) {
    case ID_ABOUT: showAbout(this); break;
    case ID_HOW_TO_PLAY: showHowToPlay(this); break;
    default: showRules(this); break;
    }
    return 1;
}

long Frame::onCmdBackground(FXObject*, FXSelector sel, void*)
{
    if (FXSELID(sel) == ID_BACKGROUND_SOLID) {
        setBackgroundImage(nullptr);
        parts.settings->writeString(BACKGROUND_SECTION, BACKGROUND_KEY, BACKGROUND_SOLID);
        parts.settings->flush();
        drawTable(true);
        return 1;
    }
    chooseBackgroundImage();
    return 1;
}

void Frame::chooseBackgroundImage()
{
    FXFileDialog dialog(this, "Load Background Image", 0, 0, 0, 500, 300);
    dialog.setPatternList("*.jpg");
    if (dialog.execute(PLACEMENT_CURSOR)) {
        const FXString path = dialog.getFilename();
        FXImage* image = loadBackgroundImage(getApp(), path);
        if (!image) {
            // The table and the setting stay as they were.
            FXMessageBox::error(this, MBOX_OK, "Error", "Could not load image.");
            return;
        }
        setBackgroundImage(image);
        // Pictures are laid out for the small table, which a larger one only magnifies.
        const CardScale scale = cardScale();
        const BackgroundFit fit =
            backgroundFit(image->getWidth(), image->getHeight(), unscaled(getWidth(), scale), unscaled(getHeight(), scale));
        if (const char* warning = backgroundWarning(fit))
            FXMessageBox::warning(this, MBOX_OK, "Warning", "%s", warning);
        parts.settings->writeString(BACKGROUND_SECTION, BACKGROUND_KEY, path.text());
        parts.settings->flush();
    }
    drawTable(true);
}

namespace {

CardScale scaleOfCommand(FXSelector sel)
{
    return CARD_SCALES[FXSELID(sel) - Frame::ID_CARD_SIZE_SMALL];
}

}  // namespace

long Frame::onCmdCardSize(FXObject*, FXSelector sel, void*)
{
    const CardScale scale = scaleOfCommand(sel);
    if (!fitsWorkArea(scale, workAreaSize(*getApp()))) return 1;
    parts.settings->writeString(CARD_SIZE_SECTION, CARD_SIZE_KEY, cardScaleName(scale));
    parts.settings->flush();
    setCardScale(scale);
    return 1;
}

long Frame::onUpdCardSize(FXObject* sender, FXSelector sel, void*)
{
    const CardScale scale = scaleOfCommand(sel);
    const bool chosen = scale == cardScale();
    sender->handle(this, FXSEL(SEL_COMMAND, chosen ? ID_CHECK : ID_UNCHECK), nullptr);
    // A window larger than the screen would put its title and menus out of reach.
    const bool fits = fitsWorkArea(scale, workAreaSize(*getApp()));
    sender->handle(this, FXSEL(SEL_COMMAND, fits ? ID_ENABLE : ID_DISABLE), nullptr);
    const PixelSize size = tableSize(scale);
    FXString tip = fits ? FXString() : FXStringFormat("Too large for this screen: the table needs %d x %d", size.width, size.height);
    sender->handle(this, FXSEL(SEL_COMMAND, ID_SETTIPSTRING), &tip);
    return 1;
}
