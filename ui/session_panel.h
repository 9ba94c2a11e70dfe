// The session's side of the main window: the host's Add Players dialog, the
// session's clock, its notes on the table and the chat bar.
#pragma once

#include <string>

#include <fx.h>

#include "engine/game_state.h"
#include "net/session.h"

class AddPlayersDialog;
class ChatBar;
class Frame;

class SessionPanel : public FXObject, public SessionUi {
    FXDECLARE(SessionPanel)

protected:
    SessionPanel() {}

public:
    enum { ID_SESSION_WAIT = 1, ID_CHAT_ENTRY };

    // The chat bar goes into the window, hidden until a network game seats.
    SessionPanel(Frame* window, GameState* game);
    ~SessionPanel() override;

    void setSession(Session* s) { session = s; }
    // The window's new size: the chat bar stays along its bottom.
    void windowResized(int width, int height);

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

    long onSessionWait(FXObject*, FXSelector, void*);
    long onCmdChatEntry(FXObject*, FXSelector, void*);

private:
    Frame* window = nullptr;
    GameState* game = nullptr;
    Session* session = nullptr;
    ChatBar* chatBar = nullptr;
    // Only while the host seats its players.
    AddPlayersDialog* addPlayersDialog = nullptr;
};
