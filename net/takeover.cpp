// A seated player's program is lost mid-game: the host's computer plays on
// in that seat, announced to every copy by ACTION_TAKEOVER. A joiner that
// loses the host cannot go on, and ends its session.
#include <algorithm>

#include "engine/table.h"
#include "net/session.h"

void Session::noteLostConnection(int slot)
{
    if (slot == -1) return;
    if (game_.sessionMode == MODE_JOINED && slot == joinedTo_.hostSlot) joinedTo_.hostLost = true;
    for (int i = 0; i < 4; ++i) {
        if (hosted_.returnSlot[i] == slot) {
            // Gone again before its seat came back: the computer plays on.
            hosted_.returnSlot[i] = -1;
            hosted_.returnReady[i] = false;
        }
        if (joinedTo_.returningPeer[i] == slot) joinedTo_.returningPeer[i] = -1;
        if (joinedTo_.pendingClaim[i] == slot) joinedTo_.pendingClaim[i] = -1;
        Seat& seat = game_.seats[i];
        if (!seat.inPlay() || seat.connection != slot || slot == self_.clientSlot || slot == self_.acceptedSlot) continue;
        // Before the game the session's waits still name who left by it.
        if (!hostGameStarted() && !(game_.sessionMode == MODE_JOINED && joinedTo_.readySent)) continue;
        // The slot may soon carry someone else.
        seat.connection = -1;
        if (game_.sessionMode == MODE_JOINED && slot != joinedTo_.hostSlot && seat.kind == REMOTE) joinedTo_.cutOff[i] = true;
        if (game_.sessionMode != MODE_HOSTING || seat.kind != REMOTE) continue;
        hosted_.lostSeats[i] = true;
        // The partner who played at the same machine is lost with it.
        const int partner = PARTNER_SEAT[i];
        const Seat& other = game_.seats[partner];
        if (game_.seatCount == 4 && other.inPlay() && other.kind == REMOTE && other.connection == -1 && !other.standIn)
            hosted_.lostSeats[partner] = true;
    }
}

void Session::onConnectionLost(int, bool midMessage)
{
    // A session that ended over this close has told the person why.
    const bool network = game_.sessionMode == MODE_JOINED || game_.sessionMode == MODE_HOSTING;
    if (!network) return;
    if (midMessage) game_.table->showError("Network error", "Error receiving data.");
    // A game that ended has left every seat without its name.
    const bool underWay = std::any_of(game_.seats.begin(), game_.seats.end(), [](const Seat& s) { return s.inPlay(); });
    if (!underWay) return;
    if (game_.sessionMode == MODE_JOINED) {
        if (joinedTo_.hostLost) {
            const std::string via = internet_.relay ? " through the relay " + relayText(*internet_.relay) : "";
            abandonSession("Lost connection to " + game_.seats[0].name + via + "! Without the host the game cannot go on.");
        }
        // Another player: the host's computer takes the seat over, if the
        // host lost that player too. A link that broke only between us
        // would leave us waiting for that player's actions for ever.
        if (!cutOffSeats().empty()) startWait(WAIT_TAKEOVER, waits_.takeover);
        return;
    }
    if (hostGameStarted()) takeOverLostSeats();
}

void Session::takeOverLostSeats()
{
    for (int i = 0; i < 4; ++i) {
        if (!hosted_.lostSeats[i]) continue;
        hosted_.lostSeats[i] = false;
        sendTakeover(game_, i);
    }
}

std::vector<int> Session::cutOffSeats() const
{
    std::vector<int> seats;
    for (int i = 0; i < 4; ++i)
        if (joinedTo_.cutOff[i] && game_.seats[i].inPlay() && !game_.seats[i].standIn) seats.push_back(i);
    return seats;
}

void Session::seatTakenOver(GameState&, int seat)
{
    joinedTo_.cutOff[seat] = false;
    if (waiting_ == WAIT_TAKEOVER && cutOffSeats().empty()) stopWait();
    Seat& s = game_.seats[seat];
    if (game_.sessionMode == MODE_HOSTING && s.kind == REMOTE) {
        s.kind = COMPUTER;
        s.connection = -1;
    } else if (s.kind == LOCAL_HUMAN) {
        // The host holds us for lost: its computer plays here now, and two
        // processes must never drive one seat.
        s.kind = REMOTE;
    }
}
