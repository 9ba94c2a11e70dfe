// A seated player's program is lost mid-game: the host's computer plays on
// in that seat, announced to every copy by ACTION_TAKEOVER. A joiner that
// loses the host cannot go on, and ends its session.
#include "engine/table.h"
#include "net/session.h"

void Session::noteLostConnection(int slot)
{
    if (slot == -1) return;
    if (game_.sessionMode == MODE_JOINED && slot == hostSlot_) hostLost_ = true;
    for (int i = 0; i < 4; ++i) {
        if (returnSlot_[i] == slot) {
            // Gone again before its seat came back: the computer plays on.
            returnSlot_[i] = -1;
            returnReady_[i] = false;
        }
        Seat& seat = game_.seats[i];
        if (!seat.inPlay() || seat.connection != slot || slot == selfClientSlot_ || slot == selfAcceptedSlot_) continue;
        // Before the game the session's waits still name who left by it.
        if (!hostGameStarted() && !(game_.sessionMode == MODE_JOINED && readySent_)) continue;
        // The slot may soon carry someone else.
        seat.connection = -1;
        if (game_.sessionMode != MODE_HOSTING || seat.kind != REMOTE) continue;
        lostSeats_[i] = true;
        // The partner who played at the same machine is lost with it.
        const int partner = PARTNER_SEAT[i];
        const Seat& other = game_.seats[partner];
        if (game_.seatCount == 4 && other.inPlay() && other.kind == REMOTE && other.connection == -1 && !other.standIn)
            lostSeats_[partner] = true;
    }
}

bool Session::onPlayerLost(int)
{
    if (game_.sessionMode == MODE_JOINED) {
        if (hostLost_) {
            abandonSession("Lost connection to " + game_.seats[0].name + "! Without the host the game cannot go on.");
            return true;
        }
        // Another player: the host's computer takes the seat over.
        return seated_;
    }
    if (!hostGameStarted()) return false;
    takeOverLostSeats();
    return true;
}

void Session::takeOverLostSeats()
{
    for (int i = 0; i < 4; ++i) {
        if (!lostSeats_[i]) continue;
        lostSeats_[i] = false;
        sendTakeover(game_, i);
    }
}

void Session::seatTakenOver(GameState&, int seat)
{
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
