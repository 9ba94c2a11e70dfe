// A player whose program was lost joins again under the same name: the host
// sends the seating, the rules and the game so far, relays what follows, and
// at the seat's next turn hands it back with ACTION_RETURN, when no other
// process can be sending.
#include <algorithm>

#include "engine/headless_table.h"
#include "engine/table.h"
#include "net/session.h"

void Session::offerSeatBack(int slot)
{
    const auto& join = transport_.joinInfo(slot);
    int seat = -1;
    for (int i = 1; i < 4 && join && seat == -1; ++i) {
        const Seat& s = game_.seats[i];
        if (!s.inPlay() || !s.standIn || hosted_.returnSlot[i] != -1 || s.name != join->name) continue;
        if (join->players == 2) {
            const Seat& partner = game_.seats[PARTNER_SEAT[i]];
            if (game_.seatCount != 4 || !partner.standIn || !join->partner || partner.name != *join->partner) continue;
        } else if (join->players != 1) {
            continue;
        }
        seat = i;
    }
    if (seat == -1) {
        transport_.sendRejoinRefused(slot);
        transport_.closeConnection(slot);
        return;
    }
    hosted_.returnSlot[seat] = slot;
    if (join->players == 2) hosted_.returnSlot[PARTNER_SEAT[seat]] = slot;

    Seating seating = seatingFor(slot);
    seating[seat].addr = join->addr;
    // The others take the returning program's connection only once told:
    // before it is seated, so they know before it calls.
    for (int peer : peerSlots())
        if (peer != slot) transport_.sendSeatReturning(peer, seating[seat]);
    transport_.sendSeating(slot, seating);
    transport_.sendRules(slot, game_.rules);
    ActionBlock block;
    for (size_t i = 0; i <= hosted_.stream.size(); ++i) {
        if (block.size() == MSG_BLOCK_ACTIONS || i == hosted_.stream.size()) {
            transport_.sendActionBlock(slot, block);
            block.clear();
        }
        if (i < hosted_.stream.size()) block.push_back(hosted_.stream[i]);
    }
}

void Session::recordAndRelay(int fromSlot, const GameAction& action)
{
    hosted_.stream.push_back(action);
    // Who follows the game through the host: a returning player until its
    // seat is back, and in an internet game every joiner. Each machine gets
    // the action once, through the outbox that every action leaves by.
    std::vector<int> to;
    for (int slot : hosted_.returnSlot)
        if (slot != -1) to.push_back(slot);
    if (starGame()) {
        // A LAN joiner's program applied its own action when it sent it.
        for (int slot : peerSlots())
            if (slot != fromSlot || transport_.isSealed(slot)) to.push_back(slot);
    }
    std::sort(to.begin(), to.end());
    to.erase(std::unique(to.begin(), to.end()), to.end());
    for (int slot : to) game_.outbox->sendAction(slot, action);
}

bool Session::handSeatBack(GameState&, int seat)
{
    if (game_.sessionMode != MODE_HOSTING || !hosted_.returnReady[seat]) return false;
    const int slot = hosted_.returnSlot[seat];
    const auto& join = transport_.joinInfo(slot);
    if (!join) return false;
    std::vector<int> seats;
    for (int i = 0; i < 4; ++i) {
        if (hosted_.returnSlot[i] != slot) continue;
        Seat& s = game_.seats[i];
        // From now on the person's program plays it; the computer no more.
        s.kind = REMOTE;
        s.connection = s.name == join->name ? slot : -1;
        hosted_.returnSlot[i] = -1;
        hosted_.returnReady[i] = false;
        seats.push_back(i);
    }
    for (int i : seats) sendReturn(game_, i);
    return true;
}

void Session::onActionBlock(int slot, const ActionBlock& actions)
{
    // Only a process that has just been seated, before any action, starts
    // catching up.
    if (!fromHost(slot) || !steps_.seated || (!rejoin_.catchingUp && rejoin_.actionSeen)) return;
    if (!rejoin_.catchingUp) {
        rejoin_.catchingUp = true;
        for (int i = 0; i < 4; ++i) {
            Seat& seat = game_.seats[i];
            rejoin_.seatsComingBack[i] = seat.inPlay() && seat.kind == LOCAL_HUMAN;
            // The host's computer plays them until they are handed back.
            if (rejoin_.seatsComingBack[i]) seat.kind = REMOTE;
        }
        // Those above us were seated long ago and will not call us.
        for (int i = game_.localSeat + 1; i < 4; ++i) {
            if (game_.seats[i].connection != -1 || connectToPeer(i)) continue;
            peerUnreached(i);
            return;
        }
    }
    catchUp(actions);
    sendReadyWhenConnected();
}

void Session::catchUp(const ActionBlock& actions)
{
    // The game so far, applied without pictures, pauses or boxes.
    Table* shown = game_.table;
    HeadlessTable quiet;
    game_.table = &quiet;
    for (const GameAction& action : actions) receiveAction(game_, action);
    game_.table = shown;
    shown->setBegEnabled(false);
    shown->updateScoreLabels();
    shown->drawTable(true);
}

void Session::onSeatClaim(int slot, const SeatRecord& record)
{
    // The game is under way: only a returning player calls now, the one
    // the host announces, and the first to call.
    const int i = record.seat;
    const Seat& seat = game_.seats[i];
    const bool ours = isGameConnection(slot) || slot == joinedTo_.hostSlot || slot == self_.clientSlot;
    // Its seat may be back already when its program gets round to us.
    const bool claimable = i != game_.localSeat && seat.inPlay() && seat.kind == REMOTE &&
                           (seat.standIn || seat.connection == -1) && record.name == seat.name.substr(0, MSG_NAME_MAX) &&
                           joinedTo_.returningPeer[i] == -1 && joinedTo_.pendingClaim[i] == -1;
    if (ours) return;
    if (!claimable) {
        transport_.closeConnection(slot);
        return;
    }
    joinedTo_.pendingClaim[i] = slot;
    settleSeatClaim(i);
}

void Session::settleSeatClaim(int i)
{
    const int slot = joinedTo_.pendingClaim[i];
    const auto& announced = joinedTo_.returnAnnounced[i];
    if (slot == -1 || !announced) return;
    joinedTo_.pendingClaim[i] = -1;
    // Announced from where it called: a name alone would let anyone in.
    const auto peer = transport_.peerAddress(slot);
    if (!peer || peer->ipv4 != announced->ipv4) {
        transport_.closeConnection(slot);
        return;
    }
    // Until the seat is back its player follows the game through the host
    // alone: an action of ours could reach it before the host's catch-up
    // and land on a game it does not have yet.
    if (game_.seats[i].standIn)
        joinedTo_.returningPeer[i] = slot;
    else
        game_.seats[i].connection = slot;
    joinedTo_.returnAnnounced[i].reset();
}

void Session::onSeatReturning(int slot, const SeatRecord& record)
{
    if (!fromHost(slot) || !joinedTo_.readySent || !game_.isSeat(record.seat) || record.seat == game_.localSeat) return;
    const Seat& seat = game_.seats[record.seat];
    if (!seat.inPlay() || !seat.standIn || seat.kind != REMOTE) return;
    joinedTo_.returnAnnounced[record.seat] = record.addr;
    settleSeatClaim(record.seat);
}

void Session::seatReturned(GameState&, int seat)
{
    // The host announces a return before it hands the seat back: a claim
    // still unannounced now is a stranger's.
    if (joinedTo_.pendingClaim[seat] != -1) transport_.closeConnection(joinedTo_.pendingClaim[seat]);
    if (game_.sessionMode == MODE_JOINED && joinedTo_.returningPeer[seat] != -1) {
        game_.seats[seat].connection = joinedTo_.returningPeer[seat];
        joinedTo_.returningPeer[seat] = -1;
    }
    if (!rejoin_.seatsComingBack[seat]) return;
    rejoin_.seatsComingBack[seat] = false;
    game_.seats[seat].kind = LOCAL_HUMAN;
    bool waiting = false;
    for (bool b : rejoin_.seatsComingBack) waiting = waiting || b;
    rejoin_.catchingUp = waiting;
}

void Session::onRejoinRefused(int slot)
{
    if (!fromHost(slot) || steps_.seated) return;
    abandonSession("The host's game is under way, and no player who left it was called " + game_.seats[0].name +
                   ". Only a player who left can join it again, under the same name.");
}
