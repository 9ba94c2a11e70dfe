// The person's clicks and keys: cards, the BEG button and the last-trick
// view. A click or key only sends an action; the table changes when the
// action comes back.
#include <algorithm>

#include <fxkeys.h>

#include "engine/actions.h"
#include "ui/typed_key.h"
#include "ui/click_rules.h"
#include "ui/frame.h"
#include "records/record_writer.h"
#include "ui/replay_view.h"

long Frame::onCanvasPress(FXObject*, FXSelector, void*) { return 1; }

long Frame::onCanvasRelease(FXObject*, FXSelector, void* ptr)
{
    // A replay on the table takes no card from it.
    if (replayView->active()) return 1;
    if (canvas->lastTrickShown()) {
        canvas->restoreTable();
        return 1;
    }
    const auto* event = static_cast<const FXEvent*>(ptr);
    actOnCard(decideCardClick(*game, tableLayout(), event->win_x, event->win_y));
    return 1;
}

void Frame::actOnCard(const CardClick& click)
{
    // The person's next decision: the summary has been read.
    if (click.outcome != ClickOutcome::IGNORED) closeRoundSummary();
    switch (click.outcome) {
    case ClickOutcome::FORCED_TO_BEG:
        showError("Forced to Beg", "You have no trumps and must beg.");
        break;
    case ClickOutcome::MUST_FOLLOW:
        showError("Pick Again", "You must follow suit.");
        break;
    case ClickOutcome::PLAY:
        sendPlay(*game, game->turn, click.card);
        break;
    case ClickOutcome::IGNORED:
        break;
    }
}

long Frame::onKeyPress(FXObject* sender, FXSelector sel, void* ptr)
{
    FXEvent typed = typedKey(ptr);
    const FXEvent* event = &typed;
    // Keys with a modifier are the menus' and the accelerators'; a menu
    // walked by keys or a text field being typed in (the chat line) takes
    // every key.
    FXWindow* focused = this;
    while (focused->getFocus()) focused = focused->getFocus();
    bool menuOpen = false;
    for (const FXMenuPane* pane : {gameMenu, displayMenu, infoMenu, backgroundMenu, cardSizeMenu, speedMenu})
        menuOpen = menuOpen || (pane && pane->shown());
    const bool toTable = !menuOpen && !focused->isMemberOf(FXMETACLASS(FXTextField));
    const bool plain = (event->state & (CONTROLMASK | ALTMASK | METAMASK)) == 0;
    // Any key says the summary has been read, and does its own work too.
    if (toTable) closeRoundSummary();
    if (plain && toTable && (replayView->active() ? replayView->onKey(event->code) : playByKey(event->code))) return 1;
    return FXMainWindow::onKeyPress(sender, sel, &typed);
}

bool Frame::playByKey(FXuint key)
{
    if (!gameInProgress()) return false;
    if (canvas->lastTrickShown()) {
        // As with a click, the first key only puts the table back.
        canvas->restoreTable();
        return true;
    }
    switch (key) {
    case KEY_Left:
    case KEY_KP_Left:
        canvas->moveKeyPick(-1);
        return true;
    case KEY_Right:
    case KEY_KP_Right:
        canvas->moveKeyPick(1);
        return true;
    case KEY_Return:
    case KEY_KP_Enter:
    case KEY_space:
        if (localHumanToAct(*game)) actOnCard(decideCardPlay(*game, canvas->currentKeyPick()));
        return true;
    case KEY_b:
    case KEY_B:
        if (begEnabled()) handle(this, FXSEL(SEL_COMMAND, ID_BEG), nullptr);
        return true;
    case KEY_l:
    case KEY_L:
        handle(this, FXSEL(SEL_COMMAND, ID_LAST_TRICK), nullptr);
        return true;
    default:
        return false;
    }
}

long Frame::onCmdBeg(FXObject*, FXSelector, void*)
{
    if (canvas->lastTrickShown()) {
        canvas->restoreTable();
        return 1;
    }
    // The button is also open while a computer eldest hand decides.
    if (!localHumanToAct(*game)) return 1;
    closeRoundSummary();
    setBegEnabled(false);
    sendBeg(*game, game->turn);
    return 1;
}

long Frame::onCmdLastTrick(FXObject*, FXSelector, void*)
{
    canvas->showLastTrick();
    return 1;
}

long Frame::onCmdHint(FXObject*, FXSelector, void*)
{
    if (!hintUseful()) return 1;
    if (parts.records) parts.records->onHint(game->turn);
    parts.expert->advise(*game, game->turn, [this](const BackgroundExpert::Advice& advice) { canvas->setHint(advice); });
    return 1;
}

long Frame::onIoExpertReady(FXObject*, FXSelector, void*)
{
    if (parts.expert) parts.expert->deliver(*game);
    return 1;
}
