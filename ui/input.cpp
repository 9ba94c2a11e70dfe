// The person's clicks and keys: cards, the BEG button and the last-trick
// view. A click or key only sends an action; the table changes when the
// action comes back.
#include <algorithm>

#include <fxkeys.h>

#include "engine/actions.h"
#include "net/typed_key.h"
#include "ui/click_rules.h"
#include "ui/frame.h"

long Frame::onCanvasPress(FXObject*, FXSelector, void*) { return 1; }

long Frame::onCanvasRelease(FXObject*, FXSelector, void* ptr)
{
    if (lastTrickShowing) {
        restoreTable();
        return 1;
    }
    const auto* event = static_cast<const FXEvent*>(ptr);
    actOnCard(decideCardClick(*game, layout, event->win_x, event->win_y));
    return 1;
}

void Frame::actOnCard(const CardClick& click)
{
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
    if (plain && toTable && playByKey(event->code)) return 1;
    return FXMainWindow::onKeyPress(sender, sel, &typed);
}

bool Frame::playByKey(FXuint key)
{
    if (!gameInProgress()) return false;
    if (lastTrickShowing) {
        // As with a click, the first key only puts the table back.
        restoreTable();
        return true;
    }
    switch (key) {
    case KEY_Left:
    case KEY_KP_Left:
        moveKeyPick(-1);
        return true;
    case KEY_Right:
    case KEY_KP_Right:
        moveKeyPick(1);
        return true;
    case KEY_Return:
    case KEY_KP_Enter:
    case KEY_space:
        if (localHumanToAct(*game)) actOnCard(decideCardPlay(*game, currentKeyPick()));
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

int Frame::currentKeyPick() const
{
    if (keyPick < 0 || keyPickAt != game->appliedActions || !localHumanToAct(*game)) return -1;
    return std::min(keyPick, countCards(game->seats[game->turn].hand) - 1);
}

void Frame::moveKeyPick(int step)
{
    if (!localHumanToAct(*game)) return;
    const int count = countCards(game->seats[game->turn].hand);
    if (count == 0) return;
    const int now = currentKeyPick();
    keyPick = now < 0 ? (step > 0 ? 0 : count - 1) : std::max(0, std::min(now + step, count - 1));
    keyPickAt = game->appliedActions;
    drawTable(true);
}

long Frame::onCmdBeg(FXObject*, FXSelector, void*)
{
    if (lastTrickShowing) {
        restoreTable();
        return 1;
    }
    // The button is also open while a computer eldest hand decides.
    if (!localHumanToAct(*game)) return 1;
    setBegEnabled(false);
    sendBeg(*game, game->turn);
    return 1;
}

long Frame::onCmdLastTrick(FXObject*, FXSelector, void*)
{
    // A running animation erases its frames from the saved copy, which the
    // view would overwrite; a second press would save the view itself.
    if (animation.running() || lastTrickShowing) return 1;
    copyImage(tableImage, savedTableImage);
    const std::vector<ShownCard> cards = lastTrickCards(*game);
    if (cards.empty()) return 1;
    {
        FXDCWindow dc(tableImage);
        for (const ShownCard& card : cards) {
            const Point slot = layout.trickSlots()[card.position];
            drawCard(dc, card.index, slot.x, slot.y, true);
        }
    }
    paintAll();
    lastTrickShowing = true;
    return 1;
}

void Frame::restoreTable()
{
    if (!lastTrickShowing) return;
    lastTrickShowing = false;
    copyImage(savedTableImage, tableImage);
    paintAll();
}

long Frame::onCmdHint(FXObject*, FXSelector, void*)
{
    if (!parts.expert || !localHumanToAct(*game)) return 1;
    parts.expert->advise(*game, game->turn, [this](const BackgroundExpert::Advice& advice) {
        hint = advice;
        hintView = makeSeatView(*game, advice.seat, begEnabled() && game->turn == advice.seat);
        hintShown = true;
        drawTable(true);
    });
    return 1;
}

long Frame::onIoExpertReady(FXObject*, FXSelector, void*)
{
    if (parts.expert) parts.expert->deliver(*game);
    return 1;
}
