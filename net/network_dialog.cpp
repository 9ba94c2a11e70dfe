#include "net/network_dialog.h"

#include <cstdint>
#include <optional>

#include "net/prompt_dialog.h"
#include "net/setup_dialog.h"
#include "ui/typed_key.h"

namespace {

constexpr FXuint FIXED = LAYOUT_FIX_X | LAYOUT_FIX_Y;

void* slotData(int slot) { return reinterpret_cast<void*>(static_cast<intptr_t>(slot)); }
int slotOf(void* data) { return static_cast<int>(reinterpret_cast<intptr_t>(data)); }

constexpr const char* RELAY_SECTION = "SETTINGS";
constexpr const char* RELAY_KEY = "relay";

constexpr const char* NO_RELAY_TEXT =
    "An internet game needs a relay: a small server on any machine that every player can reach, which pairs "
    "the players' connections and passes on their sealed messages. Type its address as host:port in Relay: "
    "(\"Playing over the internet\" in the README says how to run one).";

// A session is under way from the moment seat 0 has its connection.
bool noSessionUnderWay(const GameState& game) { return game.turn == TURN_IDLE && game.seats[0].connection == -1; }

}  // namespace

FXDEFMAP(AddPlayersDialog) AddPlayersDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, AddPlayersDialog::ID_ADD_TEAM_PLAYER, AddPlayersDialog::onCmdAddTeamPlayer),
    FXMAPFUNC(SEL_COMMAND, AddPlayersDialog::ID_ADD_OTHER_PLAYER, AddPlayersDialog::onCmdAddOtherPlayer),
    FXMAPFUNCS(SEL_COMMAND, AddPlayersDialog::ID_ADD_TEAM_COMPUTER, AddPlayersDialog::ID_ADD_OTHER_COMPUTER,
               AddPlayersDialog::onCmdAddComputer),
    FXMAPFUNC(SEL_COMMAND, AddPlayersDialog::ID_COPY_INVITATION, AddPlayersDialog::onCmdCopyInvitation),
};
FXIMPLEMENT(AddPlayersDialog, FXDialogBox, AddPlayersDialogMap, ARRAYNUMBER(AddPlayersDialogMap))

AddPlayersDialog::AddPlayersDialog(FXWindow* ownerWindow, Session& hostSession, const GameState& gameState)
    : FXDialogBox(ownerWindow, "Add Players", DECOR_TITLE | DECOR_BORDER), session(&hostSession), game(&gameState)
{
    auto* frame = new FXHorizontalFrame(
        this, FRAME_SUNKEN | FRAME_THICK | LAYOUT_CENTER_X | LAYOUT_FIX_Y | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 10,
        240, 160, 0, 0, 0, 0);
    playerList = new FXList(frame, nullptr, 0, LIST_BROWSESELECT | LAYOUT_FILL);
    teamButton = new FXButton(this, " On my team ", nullptr, this, ID_ADD_TEAM_PLAYER, BUTTON_NORMAL | FIXED, 10, 180);
    otherButton =
        new FXButton(this, " On other team ", nullptr, this, ID_ADD_OTHER_PLAYER, BUTTON_NORMAL | FIXED, 145, 180);
    teamComputerButton =
        new FXButton(this, " Computer on my team ", nullptr, this, ID_ADD_TEAM_COMPUTER, BUTTON_NORMAL | FIXED, 10, 212);
    otherComputerButton = new FXButton(this, " Computer on other team ", nullptr, this, ID_ADD_OTHER_COMPUTER,
                                       BUTTON_NORMAL | FIXED, 10, 242);
    // What the joiners type to reach this machine.
    std::vector<std::string> addresses = localIpv4Addresses();
    if (addresses.empty()) addresses.push_back("127.0.0.1");
    std::string text = "This machine: " + addresses.front();
    for (size_t i = 1; i < addresses.size(); ++i) text += ", " + addresses[i];
    new FXLabel(this, text.c_str(), nullptr, LABEL_NORMAL | FIXED, 10, 275);
    const std::string note = session->reachNote();
    if (!note.empty()) new FXLabel(this, note.c_str(), nullptr, LABEL_NORMAL | FIXED, 10, 297);
    if (hostSession.invitationCode().empty()) return;
    // Those who join with the invitation come into the same list.
    new FXLabel(this, ("Invitation: " + hostSession.invitationCode()).c_str(), nullptr, LABEL_NORMAL | FIXED, 10, 322);
    invitationField = new FXTextField(this, 30, nullptr, 0, TEXTFIELD_READONLY | FRAME_SUNKEN | FRAME_THICK | FIXED, 10, 347);
    invitationField->setText(hostSession.invitationText().c_str());
    new FXButton(this, " Copy invitation ", nullptr, this, ID_COPY_INVITATION, BUTTON_NORMAL | FIXED, 10, 377);
}

long AddPlayersDialog::onCmdCopyInvitation(FXObject*, FXSelector, void*)
{
    // The field owns the clipboard from here, for as long as the dialog is open.
    invitationField->selectAll();
    invitationField->handle(this, FXSEL(SEL_COMMAND, FXTextField::ID_COPY_SEL), nullptr);
    return 1;
}

bool AddPlayersDialog::run()
{
    for (int slot = 0; slot < NET_CONNECTION_COUNT; ++slot)
        if (session->isListableJoiner(slot)) listJoiner(slot);
    updateButtons();
    fitToFixedChildren(this);
    execute(PLACEMENT_SCREEN);
    return filled;
}

int AddPlayersDialog::lineOf(int slot) const { return playerList->findItemByData(slotData(slot)); }

int AddPlayersDialog::currentSlot() const
{
    const FXint line = playerList->getCurrentItem();
    return line < 0 ? -1 : slotOf(playerList->getItemData(line));
}

void AddPlayersDialog::listJoiner(int slot)
{
    const FXString text = session->joinerText(slot).c_str();
    const int line = lineOf(slot);
    if (line < 0) {
        playerList->appendItem(text, nullptr, slotData(slot));
    } else {
        playerList->setItemText(line, text);
    }
}

void AddPlayersDialog::unlistJoiner(int slot)
{
    const int line = lineOf(slot);
    if (line >= 0) playerList->removeItem(line);
}

void AddPlayersDialog::updateButtons()
{
    const bool fourSeats = game->seatCount == 4;
    // Two local players, or two seats, leave no place on the host's team.
    const bool teamSeatFree = fourSeats && !game->seats[1].inPlay();
    const bool otherSeatFree = !game->seats[2].inPlay() || (fourSeats && !game->seats[3].inPlay());
    for (FXButton* button : {teamButton, teamComputerButton}) {
        if (teamSeatFree) {
            button->enable();
        } else {
            button->disable();
        }
    }
    for (FXButton* button : {otherButton, otherComputerButton}) {
        if (otherSeatFree) {
            button->enable();
        } else {
            button->disable();
        }
    }
}

void AddPlayersDialog::answer(SeatingResult result)
{
    switch (result) {
    case TEAM_FULL:
        FXMessageBox::error(getOwner(), MBOX_OK, "Pick again", "You team only needs one more player.");
        break;
    case OTHER_TEAM_FULL:
        FXMessageBox::error(getOwner(), MBOX_OK, "Pick again", "The other team only needs one more player.");
        break;
    case SEATS_FULL:
        filled = true;
        handle(this, FXSEL(SEL_COMMAND, ID_ACCEPT), nullptr);
        break;
    case SEATED:
    case NOT_A_JOINER:
    case NO_FREE_SEAT:
        break;
    }
    updateButtons();
}

long AddPlayersDialog::onCmdAddTeamPlayer(FXObject*, FXSelector, void*)
{
    const int slot = currentSlot();
    if (slot >= 0) answer(session->addTeamPlayer(slot));
    return 1;
}

long AddPlayersDialog::onCmdAddOtherPlayer(FXObject*, FXSelector, void*)
{
    const int slot = currentSlot();
    if (slot >= 0) answer(session->addOtherPlayer(slot));
    return 1;
}

long AddPlayersDialog::onCmdAddComputer(FXObject*, FXSelector sel, void*)
{
    answer(session->addComputer(FXSELID(sel) == ID_ADD_TEAM_COMPUTER));
    return 1;
}

// Host or join, with the same name controls as the setup dialog.
class NetworkGameDialog : public FXDialogBox {
    FXDECLARE(NetworkGameDialog)

protected:
    NetworkGameDialog() {}

public:
    enum {
        ID_DUVANTO = FXDialogBox::ID_LAST,
        ID_HOST,
        ID_JOIN,
        ID_LAST
    };

    NetworkGameDialog(FXWindow* ownerWindow, GameState& gameState, PlayerNames& playerNames, SettingsStore* store)
        : FXDialogBox(ownerWindow, "Network Game", DECOR_TITLE | DECOR_BORDER), game(&gameState), names(&playerNames),
          settings(store)
    {
        controls.build(this, ID_DUVANTO);
        new FXButton(this, " Host ", nullptr, this, ID_HOST, BUTTON_NORMAL | FIXED, 20, 98);
        new FXButton(this, " Join ", nullptr, this, ID_JOIN, BUTTON_NORMAL | FIXED, 85, 98);
        new FXButton(this, " Cancel ", nullptr, this, ID_CANCEL, BUTTON_NORMAL | FIXED, 150, 98);
        inviteCheck = new FXCheckButton(this, "Invite over the internet", nullptr, 0, CHECKBUTTON_NORMAL | FIXED, 20, 132);
        new FXLabel(this, "Relay:", nullptr, LABEL_NORMAL | FIXED, 20, 160);
        relayField = new FXTextField(this, 22, nullptr, 0, TEXTFIELD_NORMAL | FIXED, 70, 158);
        if (settings) relayField->setText(settings->readString(RELAY_SECTION, RELAY_KEY).value_or("").c_str());
    }

    NetworkChoice run()
    {
        controls.addNobody();
        controls.fillNameLists(*names);
        fitToFixedChildren(this);
        execute(PLACEMENT_OWNER);
        return choice;
    }

    // The field can take the focus only once it exists: execute() has
    // created the dialog by now.
    void show(FXuint placement) override
    {
        controls.focusName();
        FXDialogBox::show(placement);
    }

    long onCmdDuvanto(FXObject*, FXSelector, void*)
    {
        controls.showPartner();
        return 1;
    }

    // Return in a name field hosts, the first of the dialog's choices.
    long onKeyPress(FXObject* sender, FXSelector sel, void* ptr)
    {
        FXEvent typed = typedKey(ptr);
        if (controls.isEnterInNames(&typed)) return onCmdChoose(this, FXSEL(SEL_COMMAND, ID_HOST), nullptr);
        return FXDialogBox::onKeyPress(sender, sel, &typed);
    }

    long onCmdChoose(FXObject*, FXSelector sel, void*)
    {
        if (!controls.hasName()) return 1;
        const std::string relay = relayField->getText().text();
        const bool invite = FXSELID(sel) == ID_HOST && inviteCheck->getCheck();
        const bool relayNamed = relay.find_first_not_of(" \t") != std::string::npos;
        if (invite && !relayNamed) {
            FXMessageBox::information(this, MBOX_OK, "Relay", "%s", NO_RELAY_TEXT);
            return 1;
        }
        if (relayNamed && !parseRelayAddress(relay)) {
            FXMessageBox::error(this, MBOX_OK, "Relay", "Type the relay as host:port, for example relay.example.org:4001.");
            return 1;
        }
        if (settings) {
            settings->writeString(RELAY_SECTION, RELAY_KEY, relayNamed ? relayText(*parseRelayAddress(relay)) : "");
            settings->flush();
        }
        controls.storeNames(*game, *names);
        choice = invite ? NETWORK_INVITE : FXSELID(sel) == ID_HOST ? NETWORK_HOST : NETWORK_JOIN;
        handle(this, FXSEL(SEL_COMMAND, ID_ACCEPT), nullptr);
        return 1;
    }

private:
    GameState* game = nullptr;
    PlayerNames* names = nullptr;
    SettingsStore* settings = nullptr;
    NameControls controls;
    FXCheckButton* inviteCheck = nullptr;
    FXTextField* relayField = nullptr;
    NetworkChoice choice = NETWORK_CANCELLED;
};

FXDEFMAP(NetworkGameDialog) NetworkGameDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, NetworkGameDialog::ID_DUVANTO, NetworkGameDialog::onCmdDuvanto),
    FXMAPFUNCS(SEL_COMMAND, NetworkGameDialog::ID_HOST, NetworkGameDialog::ID_JOIN, NetworkGameDialog::onCmdChoose),
    FXMAPFUNC(SEL_KEYPRESS, 0, NetworkGameDialog::onKeyPress),
};
FXIMPLEMENT(NetworkGameDialog, FXDialogBox, NetworkGameDialogMap, ARRAYNUMBER(NetworkGameDialogMap))

std::optional<RelayAddress> relaySetting(const SettingsStore* settings)
{
    if (!settings) return std::nullopt;
    const auto text = settings->readString(RELAY_SECTION, RELAY_KEY);
    return text ? parseRelayAddress(*text) : std::nullopt;
}

NetworkChoice chooseNetworkGame(FXWindow* owner, GameState& game, PlayerNames& names, SettingsStore* settings)
{
    if (!noSessionUnderWay(game)) return NETWORK_CANCELLED;
    NetworkGameDialog dialog(owner, game, names, settings);
    return dialog.run();
}

namespace {

enum JoinOutcome { JOIN_FAILED, JOIN_ANNOUNCED, JOIN_CANCELLED };

// Starts the connect to the host and, while it tries (up to the transport's
// limit), keeps a box open whose " Cancel " gives it up. The window stays
// alive meanwhile: the connect is watched by the event loop.
JoinOutcome joinOnce(FXWindow* owner, Session& session, const std::string& host, uint16_t port)
{
    FXDialogBox box(owner, "Joining", DECOR_TITLE | DECOR_BORDER, 0, 0, 0, 0, 16, 16, 12, 12, 4, 8);
    new FXLabel(&box, ("Connecting to " + host + "...").c_str());
    new FXButton(&box, " Cancel ", nullptr, &box, FXDialogBox::ID_CANCEL, BUTTON_DEFAULT | FRAME_RAISED | LAYOUT_CENTER_X);
    std::optional<bool> announced;
    const bool started = session.joinNetworkGame(host, port, [&announced, &box](bool ok) {
        announced = ok;
        if (box.shown()) box.handle(&box, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
    });
    if (!started) return JOIN_FAILED;
    if (!announced) box.execute(PLACEMENT_OWNER);
    if (!announced) {
        session.cancelJoin();
        return JOIN_CANCELLED;
    }
    return *announced ? JOIN_ANNOUNCED : JOIN_FAILED;
}

}  // namespace

bool joinNetworkGameWithPrompt(FXWindow* owner, Session& session, const GameState& game, uint16_t port,
                               const SettingsStore* settings)
{
    // Without these the session would refuse every address, and the prompt
    // would come back for ever.
    if (!game.seats[0].inPlay() || !noSessionUnderWay(game)) return false;
    PromptDialog prompt(owner, "Connect to host (testing)", "Enter IP address: ");
    while (prompt.execute(PLACEMENT_CURSOR)) {
        const auto target = prompt.getResult() ? parseJoinField(*prompt.getResult()) : std::nullopt;
        prompt.clearResult();
        if (target && target->code) {
            const auto relay = target->relay ? target->relay : relaySetting(settings);
            if (!relay) {
                FXMessageBox::information(owner, MBOX_OK, "Relay", "%s", NO_RELAY_TEXT);
                continue;
            }
            if (session.joinByInvitation(*target->code, *relay)) return true;
            FXMessageBox::error(owner, MBOX_OK, "Error", "%s", session.relayError().c_str());
            continue;
        }
        const JoinOutcome outcome = target ? joinOnce(owner, session, target->host, port) : JOIN_FAILED;
        if (outcome == JOIN_ANNOUNCED) return true;
        if (outcome == JOIN_CANCELLED) return false;
        FXMessageBox::error(owner, MBOX_OK, "Error", "Could not connect to host.\n");
    }
    return false;
}
