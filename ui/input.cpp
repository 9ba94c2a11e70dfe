// The person's clicks: cards, the BEG button and the last-trick view. A click
// only sends an action; the table changes when the action comes back.
#include "engine/actions.h"
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
    const CardClick click = decideCardClick(*game, layout, event->win_x, event->win_y);
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
    return 1;
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
