// Internet games: every connection goes out to a relay, so nobody has to
// accept one from outside. The joiners reach the host alone, and the host
// forwards every action and chat line in the order it applies them, so that
// every copy applies the host's order.
#include "engine/table.h"
#include "net/session.h"

bool Session::starGame() const
{
    if (game_.sessionMode == MODE_HOSTING) return !internet_.code.empty();
    return game_.sessionMode == MODE_JOINED && transport_.isSealed(joinedTo_.hostSlot);
}

std::string Session::invitationText() const
{
    if (internet_.code.empty() || !internet_.relay) return std::string();
    return internet_.code + "@" + relayText(*internet_.relay);
}

bool Session::hostInternetGame(const RelayAddress& relay)
{
    if (game_.turn != TURN_IDLE) return false;
    const std::string code = newInvitationCode();
    const auto secrets = deriveInvitationSecrets(code);
    if (!secrets || !transport_.inviteThroughRelay(relay, *secrets)) {
        game_.table->showError("Network error", secrets ? transport_.relayError() : "This machine could not spare the memory to make an invitation.");
        game_.sessionMode = MODE_SETUP;
        ui_.scheduleSetupDialog();
        return false;
    }
    internet_.code = code;
    internet_.relay = relay;
    return hostNetworkGame();
}

bool Session::joinByInvitation(const std::string& code, const RelayAddress& relay)
{
    if (!game_.seats[0].inPlay() || game_.turn != TURN_IDLE) return false;
    const auto secrets = deriveInvitationSecrets(code);
    if (!secrets || !transport_.joinThroughRelay(relay, *secrets)) return false;
    enterJoinedMode();
    internet_.relay = relay;
    ui_.showStatus("Looking for the host's game at the relay " + relayText(relay) + "...");
    startWait(WAIT_RELAY, waits_.relay);
    return true;
}

void Session::onRelayJoined(int slot)
{
    if (game_.sessionMode != MODE_JOINED || joinedTo_.hostSlot != -1 || waiting_ != WAIT_RELAY) {
        transport_.closeConnection(slot);
        return;
    }
    stopWait();
    if (!announceJoin(slot, "the relay " + relayText(*internet_.relay)))
        abandonSession("Could not connect to host.\n");
}

void Session::onRelayFailed(const std::string& why)
{
    if (game_.sessionMode == MODE_JOINED && joinedTo_.hostSlot == -1) {
        abandonSession(why);
    } else if (game_.sessionMode == MODE_HOSTING) {
        // Those who came in already play on; nobody else can.
        game_.table->showError("Network error", why + " Nobody more can join with the invitation.");
    }
}

Seating Session::seatingFor(int slot) const
{
    Seating seating = buildSeating();
    if (!starGame()) return seating;
    for (int i = 0; i < 4; ++i) {
        const Seat& seat = game_.seats[i];
        const bool partnerOnSlot = seat.connection == -1 && game_.seats[PARTNER_SEAT[i]].connection == slot;
        if (seat.connection != slot && !partnerOnSlot) seating[i].addr = WireAddress{};
    }
    return seating;
}

void Session::forwardChat(int fromSlot, const TextMessage& message)
{
    if (!starGame()) return;
    // The joiners see the sender by the seat it holds here.
    TextMessage forwarded = message;
    forwarded.from = listOfNames(namesOnSlot(fromSlot)).substr(0, MSG_NAME_MAX);
    for (int slot : peerSlots())
        if (slot != fromSlot) transport_.sendText(slot, forwarded);
}
