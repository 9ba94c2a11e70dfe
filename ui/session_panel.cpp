#include "ui/session_panel.h"

#include "net/network_dialog.h"
#include "ui/chat_bar.h"
#include "ui/frame.h"

FXDEFMAP(SessionPanel) SessionPanelMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, SessionPanel::ID_SESSION_WAIT, SessionPanel::onSessionWait),
    FXMAPFUNC(SEL_COMMAND, SessionPanel::ID_CHAT_ENTRY, SessionPanel::onCmdChatEntry),
};

FXIMPLEMENT(SessionPanel, FXObject, SessionPanelMap, ARRAYNUMBER(SessionPanelMap))

SessionPanel::SessionPanel(Frame* frame, GameState* state) : window(frame), game(state)
{
    // Placed at fixed points, the bar takes no room from the canvas; it is
    // raised over it when shown.
    chatBar = new ChatBar(window, this, ID_CHAT_ENTRY);
    chatBar->hide();
}

SessionPanel::~SessionPanel() { stopWait(); }

void SessionPanel::windowResized(int width, int height)
{
    if (chatBar->shown()) chatBar->placeAtBottom(width, height);
}

void SessionPanel::scheduleSetupDialog() { window->scheduleSetupDialog(); }

void SessionPanel::relayoutTable() { window->relayoutTable(); }

bool SessionPanel::runAddPlayers()
{
    AddPlayersDialog dialog(window, *session, *game);
    addPlayersDialog = &dialog;
    const bool filled = dialog.run();
    addPlayersDialog = nullptr;
    return filled;
}

void SessionPanel::listJoiner(int slot)
{
    if (addPlayersDialog) addPlayersDialog->listJoiner(slot);
}

void SessionPanel::unlistJoiner(int slot)
{
    if (addPlayersDialog) addPlayersDialog->unlistJoiner(slot);
}

void SessionPanel::seatsChanged()
{
    if (addPlayersDialog) addPlayersDialog->seatsChanged();
}

void SessionPanel::showStatus(const std::string& text) { window->table().setStatus(text); }

void SessionPanel::setChatOpen(bool open)
{
    if (open == chatBar->shown()) return;
    if (open) {
        // The last session's lines are not this one's.
        chatBar->clear();
        chatBar->placeAtBottom(window->getWidth(), window->getHeight());
        chatBar->show();
    } else {
        chatBar->hide();
    }
    window->recalc();
}

void SessionPanel::showChatLine(const std::string& from, const std::string& text) { chatBar->addLine(from, text); }

void SessionPanel::startWait(int ms)
{
    window->getApp()->addTimeout(this, ID_SESSION_WAIT, static_cast<FXuint>(ms));
}

void SessionPanel::stopWait() { window->getApp()->removeTimeout(this, ID_SESSION_WAIT); }

long SessionPanel::onSessionWait(FXObject*, FXSelector, void*)
{
    session->waitOver();
    return 1;
}

long SessionPanel::onCmdChatEntry(FXObject*, FXSelector, void*)
{
    session->sendChat(chatBar->takeEntry());
    return 1;
}
