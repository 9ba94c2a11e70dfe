// The network-game dialogs: the host's Add Players dialog, the Network Game
// chooser and the joiner's prompt for the host's address.
#pragma once

#include <cstdint>

#include <fx.h>

#include "net/player_names.h"
#include "net/session.h"
#include "records/settings_store.h"

// The host seats the players who joined, one line per joining machine. It
// runs from SessionUi::runAddPlayers(); while it is open the main window's
// SessionUi::listJoiner/unlistJoiner forward to it.
class AddPlayersDialog : public FXDialogBox {
    FXDECLARE(AddPlayersDialog)

protected:
    AddPlayersDialog() {}

public:
    enum {
        ID_ADD_TEAM_PLAYER = FXDialogBox::ID_LAST,
        ID_ADD_OTHER_PLAYER,
        ID_ADD_TEAM_COMPUTER,
        ID_ADD_OTHER_COMPUTER,
        ID_COPY_INVITATION,
        ID_LAST
    };

    AddPlayersDialog(FXWindow* owner, Session& session, const GameState& game);
    // Lists the joiners already known and runs modally, centred on the
    // screen; true when every seat was filled.
    bool run();
    // Adds the joiner's line, or renames it when it is listed already.
    void listJoiner(int slot);
    void unlistJoiner(int slot);
    // A seated joiner left: its team's button may be needed again.
    void seatsChanged() { updateButtons(); }

    long onCmdAddTeamPlayer(FXObject*, FXSelector, void*);
    long onCmdAddOtherPlayer(FXObject*, FXSelector, void*);
    long onCmdAddComputer(FXObject*, FXSelector, void*);

private:
    // The slot of the current line, or -1 when no line is current.
    int currentSlot() const;
    int lineOf(int slot) const;
    void answer(SeatingResult result);
    // A button stays enabled while its team has a seat free.
    void updateButtons();

    Session* session = nullptr;
    const GameState* game = nullptr;
    FXList* playerList = nullptr;
    FXButton* teamButton = nullptr;
    FXButton* otherButton = nullptr;
    FXButton* teamComputerButton = nullptr;
    FXButton* otherComputerButton = nullptr;
    // An internet game's invitation, for copying.
    FXTextField* invitationField = nullptr;
    bool filled = false;

public:
    long onCmdCopyInvitation(FXObject*, FXSelector, void*);
};

enum NetworkChoice { NETWORK_CANCELLED, NETWORK_HOST, NETWORK_JOIN, NETWORK_INVITE };

// The relay of internet games, "SETTINGS"/"relay" (host:port); none while
// unset or unreadable.
std::optional<RelayAddress> relaySetting(const SettingsStore* settings);

// Asks whether to host or join, with this machine's player names; the
// choice stores the names (and remembers them) as the setup dialog's start
// button does. Offered only while no game or session is under way. Host
// with "Invite over the internet" ticked is NETWORK_INVITE, once the Relay:
// field names a relay; the field is remembered in settings.
NetworkChoice chooseNetworkGame(FXWindow* owner, GameState& game, PlayerNames& names, SettingsStore* settings = nullptr);

// Prompts for the host until a connection succeeds or an internet game's
// search has begun (true), or the player cancels the prompt or a connect
// under way (false). The field takes a host's address or name, an
// invitation code (through the relay in settings) or code@host:port. Needs
// a player at seat 0 and no game under way.
bool joinNetworkGameWithPrompt(FXWindow* owner, Session& session, const GameState& game,
                               uint16_t port = NET_LISTEN_PORT, const SettingsStore* settings = nullptr);
